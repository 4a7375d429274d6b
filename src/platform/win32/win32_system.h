// System information from Windows.
#pragma once
#include <string>

#include "platform/system.h"

namespace tw {

class Win32System : public ISystem {
 public:
  OsVersion Version() override;
  std::string UserName() override;
  uint32_t TickCount() override;
  LocalTime Now() override;
  LocalTime FileTimeToLocal(uint64_t fileTime) override;
  std::string FormatDateTime(const LocalTime& time) override;
  int ScreenWidth() override;
  int ScreenHeight() override;
  void Sleep(uint32_t milliseconds) override;
  bool IsLeadByte(uint8_t byte) override;
  std::u16string AnsiToUtf16(const std::string& text) override;
  bool Utf16ToAnsi(const std::u16string& text, std::string* out) override;
  std::unique_ptr<ISessionLock> TryLock(const std::string& name) override;
};

// Whether the process runs under Wine, which answers a few calls differently from Windows.
bool RunningOnWine();

}  // namespace tw
