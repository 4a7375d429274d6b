#include "platform/system.h"

namespace tw {

// Days since 1601-01-01 to a civil date (the proleptic Gregorian calendar), counted from 0000-03-01 so that the
// leap day falls at the end of each year.
LocalTime FileTimeToCalendar(uint64_t fileTime) {
  constexpr uint64_t kTicksPerSecond = 10000000;
  constexpr int64_t kDaysFrom0000To1601 = 584694;  // 0000-03-01 to 1601-01-01
  const uint64_t seconds = fileTime / kTicksPerSecond;
  const int64_t days = static_cast<int64_t>(seconds / 86400) + kDaysFrom0000To1601;
  const int64_t era = days / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  LocalTime t;
  t.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  t.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
  const uint64_t secondOfDay = seconds % 86400;
  t.hour = static_cast<int>(secondOfDay / 3600);
  t.minute = static_cast<int>(secondOfDay / 60 % 60);
  t.second = static_cast<int>(secondOfDay % 60);
  t.milliseconds = static_cast<int>(fileTime / 10000 % 1000);
  t.dayOfWeek = static_cast<int>((seconds / 86400 + 1) % 7);  // 1601-01-01 was a Monday
  return t;
}

}  // namespace tw
