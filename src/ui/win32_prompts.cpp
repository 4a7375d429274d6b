#include "ui/win32_prompts.h"

namespace tw {

namespace {

UINT IconStyle(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::None: return 0;
    case PromptIcon::Information: return MB_ICONINFORMATION;
    case PromptIcon::Warning: return MB_ICONWARNING;
    case PromptIcon::Error: return MB_ICONERROR;
  }
  return 0;
}

}  // namespace

PromptAnswer Win32Prompts::AskYesNo(const std::string& title, const std::string& text, PromptIcon icon,
                                    PromptAnswer defaultAnswer) {
  const UINT defaultButton = defaultAnswer == PromptAnswer::No ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
  const int answer = MessageBoxA(owner_, text.c_str(), title.c_str(), MB_YESNO | IconStyle(icon) | defaultButton);
  return answer == IDYES ? PromptAnswer::Yes : PromptAnswer::No;
}

void Win32Prompts::Tell(const std::string& title, const std::string& text, PromptIcon icon) {
  MessageBoxA(owner_, text.c_str(), title.c_str(), MB_OK | IconStyle(icon));
}

}  // namespace tw
