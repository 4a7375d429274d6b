// A prompt double: records every message box and answers Yes/No questions from a script.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/prompts.h"

namespace tw::test {

struct PromptCall {
  bool question;  // AskYesNo, otherwise Tell
  std::string title;
  std::string text;
  PromptIcon icon;
  PromptAnswer defaultAnswer;  // No for Tell
};

class RecordingPrompts : public IPrompts {
 public:
  // Questions take the scripted answers in turn, then the default answer.
  void Answer(PromptAnswer answer) { answers_.push_back(answer); }
  PromptAnswer AskYesNo(const std::string& title, const std::string& text, PromptIcon icon,
                        PromptAnswer defaultAnswer) override {
    calls.push_back({true, title, text, icon, defaultAnswer});
    if (onCall) onCall();
    if (answers_.empty()) return defaultAnswer;
    const PromptAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  void Tell(const std::string& title, const std::string& text, PromptIcon icon) override {
    calls.push_back({false, title, text, icon, PromptAnswer::No});
    if (onCall) onCall();
  }

  std::vector<PromptCall> calls;
  std::function<void()> onCall;  // runs while a message box is up

 private:
  std::deque<PromptAnswer> answers_;
};

}  // namespace tw::test
