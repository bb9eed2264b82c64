#include "driver/output_files.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "textio/console.h"

namespace zentrill {
namespace {

// The phases read and write in blocks of 64 KiB (file_slots.h), some
// milliseconds apart. Not while an exception is on its way out already:
// FileSlots then flushes its buffers, in its destructor.
void look_for_signal(Terminal& terminal) {
  if (std::uncaught_exceptions() == 0) end_if_signalled(terminal);
}

// The phases' handles on a pending file, which the set keeps.
class PendingWriter final : public WritableFile {
 public:
  PendingWriter(PendingFile& file, Terminal& terminal) : file_(file), terminal_(terminal) {}
  void write(std::string_view bytes) override {
    look_for_signal(terminal_);
    file_.write(bytes);
  }
  void close() override { file_.close(); }

 private:
  PendingFile& file_;
  Terminal& terminal_;
};

class PendingReader final : public ReadableFile {
 public:
  PendingReader(std::unique_ptr<ReadableFile> file, Terminal& terminal)
      : file_(std::move(file)), terminal_(terminal) {}
  std::uint64_t length() const override { return file_->length(); }
  std::size_t read(std::span<char> buffer) override {
    look_for_signal(terminal_);
    return file_->read(buffer);
  }

 private:
  std::unique_ptr<ReadableFile> file_;
  Terminal& terminal_;
};

}  // namespace

OutputFiles::OutputFiles(ReplacingFileSystem& file_system, std::span<const std::string_view> names,
                         Terminal& terminal)
    : file_system_(file_system), terminal_(terminal) {
  for (const std::string_view name : names) outputs_.push_back({std::string(name), nullptr, false});
}

OutputFiles::~OutputFiles() = default;

OutputFiles::Output& OutputFiles::output(const std::string& name) {
  for (Output& output : outputs_) {
    if (output.name == name) return output;
  }
  throw std::logic_error(name + " is not one of the run's output files");
}

void OutputFiles::check_replaceable() {
  std::vector<std::pair<FileIdentity, std::string_view>> replaced;
  for (const Output& output : outputs_) {
    const std::optional<FileIdentity> identity = file_system_.check_replaceable(output.name);
    if (!identity) continue;
    for (const auto& [earlier, name] : replaced) {
      if (earlier == *identity) {
        throw FileError(output.name, "the same file as " + std::string(name), FileAction::replace);
      }
    }
    replaced.emplace_back(*identity, output.name);
  }
}

std::unique_ptr<ReadableFile> OutputFiles::open_for_reading(const std::string& name) {
  Output& read = output(name);
  if (!read.pending) throw std::logic_error(name + " is read before it is written");
  return std::make_unique<PendingReader>(read.pending->open_for_reading(), terminal_);
}

std::unique_ptr<WritableFile> OutputFiles::open_for_writing(const std::string& name) {
  Output& written = output(name);
  written.pending.reset();
  written.pending = file_system_.create_pending(name);
  return std::make_unique<PendingWriter>(*written.pending, terminal_);
}

void OutputFiles::finish() {
  for (Output& output : outputs_) {
    look_for_signal(terminal_);
    if (output.pending) output.pending->finish();
  }
  look_for_signal(terminal_);
}

void OutputFiles::lock_folders(const std::function<void()>& on_long_wait) {
  for (const Output& output : outputs_) {
    if (!output.pending) continue;
    std::unique_ptr<Folder> folder = file_system_.open_folder(output.pending->folder());
    // One lock per folder, whatever the paths that lead to it: a second
    // flock on it would wait for the first.
    const auto same = [&](const LockedFolder& f) { return f.folder->identity() == folder->identity(); };
    if (folder && std::none_of(folders_.begin(), folders_.end(), same)) {
      folders_.push_back({std::move(folder), output.name});
    }
  }
  // In one order for every run, so that two never wait for each other.
  std::sort(folders_.begin(), folders_.end(), [](const LockedFolder& a, const LockedFolder& b) {
    return a.folder->identity() < b.folder->identity();
  });
  const auto start = std::chrono::steady_clock::now();
  bool told = false;
  for (const LockedFolder& locked : folders_) {
    while (!locked.folder->try_lock()) {
      look_for_signal(terminal_);
      if (!told && std::chrono::steady_clock::now() - start >= std::chrono::seconds(1)) {
        on_long_wait();
        told = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  look_for_signal(terminal_);
}

void OutputFiles::move_into_place() {
  for (Output& output : outputs_) {
    if (!output.pending) continue;
    output.pending->move_into_place();
    output.pending.reset();
    output.moved = true;
  }
  std::optional<FileError> failure;
  for (const LockedFolder& locked : folders_) {
    const int error = locked.folder->flush();
    if (error != 0 && !failure) failure.emplace(locked.first_file, std::strerror(error), FileAction::flush);
  }
  if (failure) throw *failure;
}

std::vector<std::string_view> OutputFiles::replaced() const {
  std::vector<std::string_view> names;
  for (const Output& output : outputs_) {
    if (output.moved) names.push_back(output.name);
  }
  return names;
}

}  // namespace zentrill
