// System information. Implemented by MemorySystem (platform/memory) and Win32System (platform/win32).
#pragma once
#include <cstdint>
#include <memory>
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

// A lock shared by the programs of the user's session; released when the object ends.
class ISessionLock {
 public:
  virtual ~ISessionLock() = default;
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
  // A file time (100 ns ticks since 1601, UTC) as local time. The default takes local time for UTC.
  virtual LocalTime FileTimeToLocal(uint64_t fileTime);
  // The time as the user's short date and long time ("3/14/2008 3:09:26 PM" where nothing else is set up).
  virtual std::string FormatDateTime(const LocalTime& time);
  // The ANSI code page: whether a byte leads a double-byte character, and text converted to UTF-16.
  // The defaults describe a single-byte page whose 256 characters are the first 256 code points.
  virtual bool IsLeadByte(uint8_t) { return false; }
  virtual std::u16string AnsiToUtf16(const std::string& text) {
    std::u16string units;
    for (char c : text) units.push_back(static_cast<uint8_t>(c));
    return units;
  }
  // The text in the ANSI code page; false when a character has no exact form there (nothing is replaced by a
  // look-alike or a "?").
  virtual bool Utf16ToAnsi(const std::u16string& text, std::string* out) {
    std::string bytes;
    for (char16_t unit : text) {
      if (unit > 0xFF) return false;
      bytes += static_cast<char>(unit);
    }
    *out = std::move(bytes);
    return true;
  }
  // Takes the session-wide lock of this name without waiting; null while another holder has it.
  virtual std::unique_ptr<ISessionLock> TryLock(const std::string& name) = 0;
};

// The civil date and time of a file time, without any time zone.
LocalTime FileTimeToCalendar(uint64_t fileTime);

inline LocalTime ISystem::FileTimeToLocal(uint64_t fileTime) { return FileTimeToCalendar(fileTime); }

inline std::string ISystem::FormatDateTime(const LocalTime& t) {
  const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  return std::to_string(t.month) + "/" + std::to_string(t.day) + "/" + std::to_string(t.year) + " " +
         std::to_string(hour12) + ":" + two(t.minute) + ":" + two(t.second) + (t.hour < 12 ? " AM" : " PM");
}

}  // namespace tw
