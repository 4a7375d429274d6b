// Message boxes owned by a window: the Win32 side of IPrompts.
#pragma once
#include <windows.h>

#include "app/prompts.h"

namespace tw {

class Win32Prompts : public IPrompts {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  PromptAnswer AskYesNo(const std::string& title, const std::string& text, PromptIcon icon,
                        PromptAnswer defaultAnswer) override;
  void Tell(const std::string& title, const std::string& text, PromptIcon icon) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace tw
