// The run's output files as one set, replaced together or not at all.
#ifndef ZENTRILL_DRIVER_OUTPUT_FILES_H_
#define ZENTRILL_DRIVER_OUTPUT_FILES_H_

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "textio/file_system.h"
#include "textio/terminal.h"

namespace zentrill {

// The files the phases write and read, seen through the file system below:
// opening one of the set for writing creates its pending file (file_system.h)
// beside the file it is to replace, and opening it for reading gives back
// what this run wrote there. Nothing the phases do touches the files in
// place; move_into_place puts the whole set there at the end. Every pending
// file not moved is removed when the set is destroyed, so each way out that
// does not reach the move - a failure, a signal, an input without a glide -
// leaves the files exactly as they were, with nothing beside them. Each read
// and write of the phases first looks for a terminating signal on
// `terminal` and throws TerminatingSignal (console.h) when one has come, so
// that it ends the run at once, whatever the phase. A name outside the set is
// a programming error (std::logic_error).
class OutputFiles final : public FileSystem {
 public:
  OutputFiles(ReplacingFileSystem& file_system, std::span<const std::string_view> names, Terminal& terminal);
  ~OutputFiles() override;
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // Throws FileError (replace) for the first file of the set that cannot be
  // replaced, or that is a file of the set before it under another name (a
  // link): both would be renamed over one file. Touches nothing.
  void check_replaceable();

  // This run's bytes of a file of the set that was written; throws FileError
  // (read) when they cannot be read back.
  std::unique_ptr<ReadableFile> open_for_reading(const std::string& name) override;
  // Starts the file's pending file, empty, replacing one this run wrote
  // before under the name. Throws FileError when it cannot be created.
  std::unique_ptr<WritableFile> open_for_writing(const std::string& name) override;

  // Finishes every file written: each is on the disk, ready to be moved.
  // Throws FileError as PendingFile::finish does, and TerminatingSignal for a
  // signal come by the end, looked for before each file and after the last.
  void finish();
  // Locks every folder that receives a file of the set, in (device, inode)
  // order, each once no other run holds it, so that a second run's move
  // waits for the first's and a folder always holds one run's whole set.
  // Meanwhile looks for a terminating signal every 50 ms, and calls
  // `on_long_wait` once after a second. A folder that cannot be opened is
  // moved into without its lock. The locks last until the set is destroyed.
  void lock_folders(const std::function<void()>& on_long_wait);
  // Renames each finished file over the file it replaces, in the set's
  // order, then flushes each folder locked, so that the renames survive a
  // power loss; a file of the set that was never written is left as it was.
  // Throws FileError (replace) as PendingFile does, leaving the files renamed
  // before the failure in place (see replaced()), or (flush) naming the
  // first file moved into the first folder that could not be flushed, once
  // all were tried. The caller holds the terminating signals back meanwhile.
  void move_into_place();
  // The names of the files moved into place so far, in the set's order;
  // they live as long as the set.
  std::vector<std::string_view> replaced() const;

 private:
  struct Output {
    std::string name;
    std::unique_ptr<PendingFile> pending;  // once opened for writing, until moved
    bool moved = false;
  };
  struct LockedFolder {
    std::unique_ptr<Folder> folder;
    std::string_view first_file;  // moved into it, for messages
  };
  Output& output(const std::string& name);

  ReplacingFileSystem& file_system_;
  std::vector<Output> outputs_;
  Terminal& terminal_;
  std::vector<LockedFolder> folders_;  // in (device, inode) order
};

}  // namespace zentrill

#endif  // ZENTRILL_DRIVER_OUTPUT_FILES_H_
