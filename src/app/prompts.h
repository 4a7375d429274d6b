// Message boxes the logic shows: ask Yes/No, tell with OK. The titles and texts are the callers'.
#pragma once
#include <string>

namespace tw {

enum class PromptAnswer { Yes, No };
enum class PromptIcon { None, Information, Warning, Error };

// Implemented by Win32Prompts (ui/win32_prompts) and RecordingPrompts (tests).
class IPrompts {
 public:
  virtual ~IPrompts() = default;
  // Yes and No buttons; `defaultAnswer` is the button Enter presses.
  virtual PromptAnswer AskYesNo(const std::string& title, const std::string& text, PromptIcon icon,
                                PromptAnswer defaultAnswer) = 0;
  // One OK button.
  virtual void Tell(const std::string& title, const std::string& text, PromptIcon icon) = 0;
};

}  // namespace tw
