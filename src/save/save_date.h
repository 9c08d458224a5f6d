// The save date: a day count as the platform's date-time type keeps it. The whole part counts days since
// 30 December 1899, the fraction is the time of day (0.5 = noon), both in local time.
#pragma once

#include <cstdint>

namespace mokuren {

struct CivilTime {
  int32_t year = 1899, month = 12, day = 30;
  int32_t hour = 0, minute = 0, second = 0, millisecond = 0;
  friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

// The local clock now, to the millisecond.
double SaveDateNow();
double SaveDateFromCivil(const CivilTime& t);
// Day counts before year 1 or after year 9999, and values that are not numbers (a damaged slot), give
// the zero date, 30 December 1899 00:00:00.
CivilTime CivilFromSaveDate(double date);

}  // namespace mokuren
