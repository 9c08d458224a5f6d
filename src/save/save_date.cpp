#include "save/save_date.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace mokuren {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (valid for all years used here).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int32_t& y, int32_t& m, int32_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int32_t>(yoe + era * 400 + (m <= 2));
}

const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);  // day 0 of the save date, in Unix days
constexpr double kMinDate = -693593.0;                     // 0001-01-01, the earliest date
constexpr double kMaxDate = 2958466.0;                     // 10000-01-01, just past the latest
constexpr int64_t kMsPerDay = 86400000;

}  // namespace

double SaveDateNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t secs = system_clock::to_time_t(now);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&secs, &local);
  return SaveDateFromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                            local.tm_sec, static_cast<int32_t>(ms < 0 ? ms + 1000 : ms)});
}

double SaveDateFromCivil(const CivilTime& t) {
  const int64_t days = DaysFromCivil(t.year, t.month, t.day) - kEpochOffset;
  const int64_t ms = ((int64_t{t.hour} * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
  // Before day 0 the whole part counts backwards while the fraction still runs forwards (-1.25 is
  // 29 December 1899, 06:00), as the date-time type does.
  const double fraction = static_cast<double>(ms) / kMsPerDay;
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

CivilTime CivilFromSaveDate(double date) {
  CivilTime t;
  if (!std::isfinite(date) || date < kMinDate || date >= kMaxDate) return t;
  const double whole = std::trunc(date);
  int64_t ms = std::llround(std::fabs(date - whole) * kMsPerDay);
  int64_t days = static_cast<int64_t>(whole);
  if (ms >= kMsPerDay) {  // rounding carried into the next day
    ms -= kMsPerDay;
    days += date >= 0 ? 1 : -1;
  }
  CivilFromDays(days + kEpochOffset, t.year, t.month, t.day);
  t.hour = static_cast<int32_t>(ms / 3600000);
  t.minute = static_cast<int32_t>(ms / 60000 % 60);
  t.second = static_cast<int32_t>(ms / 1000 % 60);
  t.millisecond = static_cast<int32_t>(ms % 1000);
  return t;
}

}  // namespace mokuren
