#include "memory_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zentrill::test_support {
namespace {

class MemoryReadableFile final : public ReadableFile {
 public:
  MemoryReadableFile(std::string name, std::string data, bool fails)
      : name_(std::move(name)), data_(std::move(data)), fails_(fails) {}

  std::uint64_t length() const override { return data_.size(); }

  std::size_t read(std::span<char> buffer) override {
    if (fails_) throw FileError(name_, std::strerror(EIO), FileAction::read);
    const std::size_t count = std::min(buffer.size(), data_.size() - offset_);
    std::memcpy(buffer.data(), data_.data() + offset_, count);
    offset_ += count;
    return count;
  }

 private:
  std::string name_;
  std::string data_;  // a snapshot: later writes to the name do not show
  bool fails_;
  std::size_t offset_ = 0;
};

class MemoryWritableFile final : public WritableFile {
 public:
  MemoryWritableFile(MemoryFileSystem& owner, std::string name, std::string stored_as)
      : owner_(owner), name_(std::move(name)), stored_as_(std::move(stored_as)) {}

  void write(std::string_view bytes) override {
    const std::size_t used = owner_.used();
    const std::size_t room = owner_.capacity > used ? owner_.capacity - used : 0;
    std::string& contents = owner_.files[stored_as_];
    contents.append(bytes.substr(0, room));
    if (bytes.size() > room) throw FileError(name_, std::strerror(ENOSPC));
  }

  void close() override {}

 private:
  MemoryFileSystem& owner_;
  std::string name_;       // for messages
  std::string stored_as_;  // the key in owner_.files
};

class MemoryPendingFile final : public PendingFile {
 public:
  MemoryPendingFile(MemoryFileSystem& owner, std::string name, std::string stored_as)
      : owner_(owner), name_(std::move(name)), stored_as_(std::move(stored_as)),
        writer_(owner, name_, stored_as_) {
    owner_.files[stored_as_];
  }
  ~MemoryPendingFile() override { owner_.files.erase(stored_as_); }

  void write(std::string_view bytes) override { writer_.write(bytes); }
  void close() override {}
  std::unique_ptr<ReadableFile> open_for_reading() override {
    return std::make_unique<MemoryReadableFile>(name_, owner_.files[stored_as_],
                                                owner_.unreadable.contains(name_));
  }
  void finish() override {}
  void move_into_place() override {
    owner_.files[name_] = std::move(owner_.files[stored_as_]);
    owner_.files.erase(stored_as_);
  }

 private:
  MemoryFileSystem& owner_;
  std::string name_;
  std::string stored_as_;
  MemoryWritableFile writer_;
};

}  // namespace

std::unique_ptr<ReadableFile> MemoryFileSystem::open_for_reading(const std::string& name) {
  const auto found = files.find(name);
  if (found == files.end()) return nullptr;
  return std::make_unique<MemoryReadableFile>(name, found->second, unreadable.contains(name));
}

std::unique_ptr<WritableFile> MemoryFileSystem::open_for_writing(const std::string& name) {
  if (uncreatable.contains(name)) throw FileError(name, std::strerror(EISDIR));
  files[name].clear();
  return std::make_unique<MemoryWritableFile>(*this, name, name);
}

void MemoryFileSystem::check_replaceable(const std::string& name) {
  if (uncreatable.contains(name)) throw FileError(name, std::strerror(EISDIR), FileAction::replace);
}

std::unique_ptr<PendingFile> MemoryFileSystem::create_pending(const std::string& name) {
  check_replaceable(name);
  const std::string stored_as = "." + name + "." + std::to_string(++pending_files_made_);
  return std::make_unique<MemoryPendingFile>(*this, name, stored_as);
}

std::size_t MemoryFileSystem::used() const {
  std::size_t total = 0;
  for (const auto& [name, contents] : files) total += contents.size();
  return total;
}

}  // namespace zentrill::test_support
