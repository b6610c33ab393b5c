// Points in time as the logs keep them: local date and time as a number of
// days (with the time of day as the fraction) counted from 1899-12-30, so a
// difference of two of them is a duration in days. The clock is passed in,
// so tests can run the logs at any date.
#pragma once
#include "no_qt.h"

#include <functional>
#include <string>

namespace trazvik::logging {

using DateTime = double;
using Clock = std::function<DateTime()>;

struct CivilTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

DateTime toDateTime(const CivilTime& t);
// Rounded to the millisecond.
CivilTime toCivil(DateTime t);
// Whole days of the date alone.
DateTime dateOf(int year, int month, int day);

// The computer's local time now.
DateTime localNow();
Clock systemClock();

// "yyyy-mm-dd hh:nn:ss" (text logs).
std::string formatLogTime(DateTime t);
// "yyyy_mm" and "yyyy_mm_dd_hh_nn_ss" (file names).
std::string formatMonthStamp(DateTime t);
std::string formatFileStamp(DateTime t);
// A duration in days as "hh:nn:ss"; the hours are those of a day, so 25
// hours show as 01.
std::string formatDuration(DateTime days);

// A date and time as the computer's regional settings write them: the
// short date and the long time, joined by a space; the time is left out
// at exactly midnight (the XML logs).
using DateTimeText = std::function<std::string(DateTime)>;
DateTimeText userDateTimeText();
// The same with fixed formats "yyyy-mm-dd" and "hh:nn:ss" (tests, and the
// fallback when the regional settings cannot be read).
std::string isoDateTimeText(DateTime t);

}  // namespace trazvik::logging
