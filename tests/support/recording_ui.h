// Recording doubles for what the logic needs from the screen: text targets and the message pump.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "sections/scan_context.h"

namespace tw::test {

// A label or panel that remembers every text it was given.
class RecordingText : public ITextTarget {
 public:
  void SetText(const std::string& text) override {
    text_ = text;
    history_.push_back(text);
  }
  std::string Text() const override { return text_; }
  const std::vector<std::string>& History() const { return history_; }

 private:
  std::string text_;
  std::vector<std::string> history_;
};

// Counts the pumps and runs an optional callback at each, with the pump's running number (1, 2, ...):
// a test uses it to press Abort or Cancel after a number of items.
class RecordingPump : public IMessagePump {
 public:
  RecordingPump() = default;
  explicit RecordingPump(std::function<void(int)> onPump) : onPump_(std::move(onPump)) {}
  void ProcessMessages() override {
    ++count_;
    if (onPump_) onPump_(count_);
  }
  int Count() const { return count_; }
  void OnPump(std::function<void(int)> onPump) { onPump_ = std::move(onPump); }

 private:
  int count_ = 0;
  std::function<void(int)> onPump_;
};

}  // namespace tw::test
