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

// The files the phases write and read: opening one for writing starts its
// pending file (file_system.h), and reading it gives back what this run
// wrote. Nothing touches the files in place before move_into_place; the
// destructor removes every pending file not moved, so each other way out
// leaves the files as they were. Each read and write first looks for a
// terminating signal and throws TerminatingSignal (console.h), so that Ctrl-C
// acts at once in any phase. A name outside the set is a logic_error.
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
  // Locks every folder that receives a file, in (device, inode) order, so
  // that a folder always holds one run's whole set; looks for a terminating
  // signal every 50 ms meanwhile and calls `on_long_wait` once after a
  // second. A folder that cannot be locked is moved into without. The locks
  // last as long as the set.
  void lock_folders(const std::function<void()>& on_long_wait);
  // Renames each finished file over the one it replaces, in the set's order,
  // then flushes each folder, so that the renames survive a power loss.
  // Throws FileError (replace) leaving the files renamed before it in place
  // (replaced()), or (flush) once every folder was tried. The caller holds
  // the terminating signals back meanwhile.
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
