#include "memory_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace zentrill::test_support {

class MemoryReadableFile final : public ReadableFile {
 public:
  MemoryReadableFile(MemoryFileSystem& owner, std::string name, std::string data, bool fails)
      : owner_(owner), name_(std::move(name)), data_(std::move(data)), fails_(fails) {
    owner_.opened(name_);
  }
  ~MemoryReadableFile() override { owner_.let_go(name_); }

  std::uint64_t length() const override { return data_.size(); }

  std::size_t read(std::span<char> buffer) override {
    if (fails_) throw FileError(name_, std::strerror(EIO), FileAction::read);
    const std::size_t count = std::min(buffer.size(), data_.size() - offset_);
    std::memcpy(buffer.data(), data_.data() + offset_, count);
    offset_ += count;
    return count;
  }

 private:
  MemoryFileSystem& owner_;
  std::string name_;
  std::string data_;  // a snapshot: later writes to the name do not show
  bool fails_;
  std::size_t offset_ = 0;
};

class MemoryWritableFile final : public WritableFile {
 public:
  MemoryWritableFile(MemoryFileSystem& owner, std::string name, std::string stored_as)
      : owner_(owner), name_(std::move(name)), stored_as_(std::move(stored_as)) {
    owner_.opened(name_);
  }
  ~MemoryWritableFile() override {
    if (!closed_) ++owner_.writers_not_closed;
    owner_.let_go(name_);
  }

  void write(std::string_view bytes) override {
    if (owner_.out_of_memory.contains(name_)) throw std::bad_alloc();
    const std::size_t used = owner_.used();
    const std::size_t room = owner_.capacity > used ? owner_.capacity - used : 0;
    std::string& contents = owner_.files[stored_as_];
    contents.append(bytes.substr(0, room));
    if (bytes.size() > room) throw FileError(name_, std::strerror(ENOSPC), FileAction::write);
  }

  void close() override { closed_ = true; }

 private:
  MemoryFileSystem& owner_;
  std::string name_;       // for messages and the counts
  std::string stored_as_;  // the key in owner_.files
  bool closed_ = false;
};

namespace {

// Its writer counts as open from creation until close(), like the file a
// phase writes in place.
class MemoryPendingFile final : public PendingFile {
 public:
  MemoryPendingFile(MemoryFileSystem& owner, std::string name, std::string stored_as)
      : owner_(owner), name_(std::move(name)), stored_as_(std::move(stored_as)),
        writer_(std::make_unique<MemoryWritableFile>(owner, name_, stored_as_)) {
    owner_.files[stored_as_];
  }
  ~MemoryPendingFile() override {
    writer_.reset();
    owner_.files.erase(stored_as_);
  }

  void write(std::string_view bytes) override { writer_->write(bytes); }
  void close() override {
    writer_->close();
    writer_.reset();
  }
  std::unique_ptr<ReadableFile> open_for_reading() override {
    return std::make_unique<MemoryReadableFile>(owner_, name_, owner_.files[stored_as_],
                                                owner_.unreadable.contains(name_));
  }
  void finish() override {}
  void move_into_place() override {
    if (owner_.unmovable.contains(name_)) throw FileError(name_, std::strerror(EPERM), FileAction::replace);
    owner_.files[name_] = std::move(owner_.files[stored_as_]);
    owner_.files.erase(stored_as_);
  }
  std::string folder() const override { return "."; }

 private:
  MemoryFileSystem& owner_;
  std::string name_;
  std::string stored_as_;
  std::unique_ptr<MemoryWritableFile> writer_;  // until closed
};

}  // namespace

std::unique_ptr<ReadableFile> MemoryFileSystem::open_for_reading(const std::string& name) {
  const auto found = files.find(name);
  if (found == files.end()) return nullptr;
  return std::make_unique<MemoryReadableFile>(*this, name, found->second, unreadable.contains(name));
}

std::unique_ptr<WritableFile> MemoryFileSystem::open_for_writing(const std::string& name) {
  if (uncreatable.contains(name)) throw FileError(name, std::strerror(EISDIR), FileAction::write);
  files[name].clear();
  return std::make_unique<MemoryWritableFile>(*this, name, name);
}

std::optional<FileIdentity> MemoryFileSystem::check_replaceable(const std::string& name) {
  if (uncreatable.contains(name)) throw FileError(name, std::strerror(EISDIR), FileAction::replace);
  if (!files.contains(name)) return std::nullopt;
  return FileIdentity{0, std::hash<std::string>{}(name)};
}

std::unique_ptr<PendingFile> MemoryFileSystem::create_pending(const std::string& name) {
  check_replaceable(name);
  const std::string stored_as = "." + name + "." + std::to_string(++pending_files_made_);
  return std::make_unique<MemoryPendingFile>(*this, name, stored_as);
}

std::unique_ptr<Folder> MemoryFileSystem::open_folder(const std::string&) {
  struct MemoryFolder final : Folder {
    FileIdentity identity() const override { return {0, 0}; }
    bool try_lock() override { return true; }
    int flush() override { return 0; }
  };
  return std::make_unique<MemoryFolder>();
}

int MemoryFileSystem::open_files() const {
  int count = 0;
  for (const auto& [name, open] : open_count_) count += open;
  return count;
}

void MemoryFileSystem::opened(const std::string& name) {
  if (open_count_[name]++ > 0) ++opens_while_open;
}

void MemoryFileSystem::let_go(const std::string& name) { --open_count_[name]; }

std::size_t MemoryFileSystem::used() const {
  std::size_t total = 0;
  for (const auto& [name, contents] : files) total += contents.size();
  return total;
}

}  // namespace zentrill::test_support
