#include "scripted_terminal.h"

#include <algorithm>
#include <utility>

namespace zentrill::test_support {

ScriptedTerminal::ScriptedTerminal(std::string_view input) { type(input); }

ScriptedTerminal& ScriptedTerminal::type(std::string_view bytes) {
  if (!bytes.empty()) script_.push_back({Event::Kind::bytes, std::string(bytes)});
  return *this;
}

ScriptedTerminal& ScriptedTerminal::pause() {
  script_.push_back({Event::Kind::pause, {}});
  return *this;
}

ScriptedTerminal& ScriptedTerminal::signal(int signal_number) {
  script_.push_back({Event::Kind::signal, {}, signal_number});
  return *this;
}

ScriptedTerminal& ScriptedTerminal::signal_while_held(int signal_number) {
  signal_while_held_ = signal_number;
  return *this;
}

ScriptedTerminal& ScriptedTerminal::resume() {
  script_.push_back({Event::Kind::resume, {}});
  return *this;
}

ScriptedTerminal& ScriptedTerminal::resize(std::size_t columns) {
  script_.push_back({Event::Kind::resize, {}, 0, columns});
  return *this;
}

ScriptedTerminal& ScriptedTerminal::set_output_is_terminal(bool is_terminal) {
  output_is_terminal_ = is_terminal;
  return *this;
}

ScriptedTerminal& ScriptedTerminal::set_input_is_terminal(bool is_terminal) {
  input_is_terminal_ = is_terminal;
  return *this;
}

ScriptedTerminal& ScriptedTerminal::set_width(std::size_t columns) {
  width_ = columns;
  screen_.resize(columns);
  return *this;
}

std::size_t ScriptedTerminal::unread_bytes() const {
  std::size_t count = 0;
  for (const Event& event : script_) count += event.bytes.size();
  return count;
}

Terminal::ReadResult ScriptedTerminal::read(std::span<char> buffer,
                                            std::optional<std::chrono::milliseconds> timeout) {
  for (;;) {
    if (pending_signal_ != 0) return {Input::signalled, 0};
    if (script_.empty()) return {Input::ended, 0};
    Event& event = script_.front();
    switch (event.kind) {
      case Event::Kind::signal:
        pending_signal_ = event.signal_number;
        script_.pop_front();
        continue;
      case Event::Kind::resume:
        script_.pop_front();
        if (output_is_terminal_ && line_started_) {
          output_ += "\r\n";
          screen_.play("\r\n");
          line_started_ = false;
        }
        screen_.play("[1] + Stopped                 zentrill\r\n$ fg\r\nzentrill\r\n");
        return {Input::resumed, 0};
      case Event::Kind::resize:
        width_ = script_.front().columns;
        script_.pop_front();
        screen_.resize(width_);
        return {Input::resized, 0};
      case Event::Kind::pause:
        if (timeout && timeout->count() == 0) return {Input::timed_out, 0};
        script_.pop_front();
        if (timeout) return {Input::timed_out, 0};
        continue;
      case Event::Kind::bytes: {
        // Bytes of one piece and of the pieces right after it are all there.
        std::size_t size = 0;
        while (size < buffer.size() && !script_.empty() && script_.front().kind == Event::Kind::bytes) {
          std::string& bytes = script_.front().bytes;
          const std::size_t n = std::min(buffer.size() - size, bytes.size());
          std::copy_n(bytes.begin(), n, buffer.begin() + static_cast<std::ptrdiff_t>(size));
          size += n;
          bytes.erase(0, n);
          if (bytes.empty()) script_.pop_front();
        }
        return {Input::bytes, size};
      }
    }
  }
}

void ScriptedTerminal::write(std::string_view bytes) {
  output_ += bytes;
  writes_.emplace_back(bytes);
  if (output_is_terminal_) screen_.play(bytes);
}

std::optional<int> ScriptedTerminal::take_terminating_signal() {
  if (pending_signal_ == 0) {
    // A signal next in the script has arrived by now.
    if (script_.empty() || script_.front().kind != Event::Kind::signal) return std::nullopt;
    pending_signal_ = script_.front().signal_number;
    script_.pop_front();
  }
  return std::exchange(pending_signal_, 0);
}

void ScriptedTerminal::hold_terminating_signals(bool held) {
  signals_held_ = held;
  if (held) ++holds_;
  if (!held && signal_while_held_ != 0) pending_signal_ = std::exchange(signal_while_held_, 0);
}

}  // namespace zentrill::test_support
