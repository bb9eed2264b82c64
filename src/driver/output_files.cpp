#include "driver/output_files.h"

#include <optional>
#include <stdexcept>
#include <utility>

namespace zentrill {
namespace {

// The phases' handle on a pending file, which the set keeps.
class PendingWriter final : public WritableFile {
 public:
  explicit PendingWriter(PendingFile& file) : file_(file) {}
  void write(std::string_view bytes) override { file_.write(bytes); }
  void close() override { file_.close(); }

 private:
  PendingFile& file_;
};

}  // namespace

OutputFiles::OutputFiles(ReplacingFileSystem& file_system, std::span<const std::string_view> names)
    : file_system_(file_system) {
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
  return read.pending->open_for_reading();
}

std::unique_ptr<WritableFile> OutputFiles::open_for_writing(const std::string& name) {
  Output& written = output(name);
  written.pending.reset();
  written.pending = file_system_.create_pending(name);
  return std::make_unique<PendingWriter>(*written.pending);
}

void OutputFiles::finish() {
  for (Output& output : outputs_) {
    if (output.pending) output.pending->finish();
  }
}

void OutputFiles::move_into_place() {
  for (Output& output : outputs_) {
    if (!output.pending) continue;
    output.pending->move_into_place();
    output.pending.reset();
    output.moved = true;
  }
}

std::vector<std::string_view> OutputFiles::replaced() const {
  std::vector<std::string_view> names;
  for (const Output& output : outputs_) {
    if (output.moved) names.push_back(output.name);
  }
  return names;
}

}  // namespace zentrill
