#include <windows.h>

#include "platform/win32/win32_system.h"

#include "platform/win32/exact_ansi.h"

namespace tw {
namespace {

LocalTime ToLocalTime(const SYSTEMTIME& st) {
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.milliseconds = st.wMilliseconds;
  t.dayOfWeek = st.wDayOfWeek;
  return t;
}

// The layout of RTL_OSVERSIONINFOW, which RtlGetVersion fills without the compatibility shims that
// make GetVersionEx report an older Windows.
struct RtlVersionInfo {
  ULONG size;
  ULONG major;
  ULONG minor;
  ULONG build;
  ULONG platformId;
  WCHAR servicePack[128];
};

}  // namespace

OsVersion Win32System::Version() {
  OsVersion v;
  using RtlGetVersionFn = LONG(WINAPI*)(RtlVersionInfo*);
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  RtlVersionInfo info{};
  info.size = sizeof info;
  if (rtlGetVersion && rtlGetVersion(&info) == 0) {
    v.major = info.major;
    v.minor = info.minor;
    v.build = info.build;
    v.platformId = info.platformId;
    return v;
  }
  OSVERSIONINFOA legacy{};
  legacy.dwOSVersionInfoSize = sizeof legacy;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&legacy)) {
#pragma GCC diagnostic pop
    v.major = legacy.dwMajorVersion;
    v.minor = legacy.dwMinorVersion;
    v.build = legacy.dwBuildNumber & 0xFFFF;
    v.platformId = legacy.dwPlatformId;
  }
  return v;
}

std::string Win32System::UserName() {
  char buffer[257];
  DWORD size = sizeof buffer;
  if (!GetUserNameA(buffer, &size) || size == 0) return std::string();
  return std::string(buffer, size - 1);  // the count includes the terminator
}

uint32_t Win32System::TickCount() { return GetTickCount(); }

LocalTime Win32System::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return ToLocalTime(st);
}

int Win32System::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int Win32System::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

void Win32System::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

bool Win32System::IsLeadByte(uint8_t byte) { return IsDBCSLeadByte(byte) != FALSE; }

std::u16string Win32System::AnsiToUtf16(const std::string& text) {
  if (text.empty()) return std::u16string();
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::u16string();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return std::u16string(wide.begin(), wide.end());
}

LocalTime Win32System::FileTimeToLocal(uint64_t fileTime) {
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return FileTimeToCalendar(fileTime);
  return ToLocalTime(st);
}

std::string Win32System::FormatDateTime(const LocalTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wDayOfWeek = static_cast<WORD>(t.dayOfWeek);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  char date[128], time[128];
  if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date) ||
      !GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time))
    return ISystem::FormatDateTime(t);
  return std::string(date) + " " + time;
}

bool RunningOnWine() {
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

bool Win32System::Utf16ToAnsi(const std::u16string& text, std::string* out) {
  return ExactAnsi(reinterpret_cast<const wchar_t*>(text.data()), text.size(), out);
}

namespace {

// A named mutex owned by this thread; a second holder's wait with no time-out fails at once.
class MutexLock : public ISessionLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }

 private:
  HANDLE mutex_;
};

}  // namespace

std::unique_ptr<ISessionLock> Win32System::TryLock(const std::string& name) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  // An elevated holder's mutex may refuse full access, but never waiting on it.
  if (!mutex && GetLastError() == ERROR_ACCESS_DENIED) mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
  if (!mutex) return nullptr;
  const DWORD result = WaitForSingleObject(mutex, 0);
  if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::make_unique<MutexLock>(mutex);
}

}  // namespace tw
