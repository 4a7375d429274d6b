// System information. Implemented by MemorySystem (platform/memory) and Win32System (platform/win32).
#pragma once
#include <cstdint>
#include <string>

namespace tw {

struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platformId = 0;  // 0 Win32s, 1 Windows 9x, 2 NT
};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, milliseconds = 0;
  int dayOfWeek = 0;  // 0 Sunday
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  virtual OsVersion Version() = 0;
  virtual std::string UserName() = 0;
  virtual uint32_t TickCount() = 0;
  virtual LocalTime Now() = 0;
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  // Waits this many milliseconds (the in-memory system advances its clock instead).
  virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace tw
