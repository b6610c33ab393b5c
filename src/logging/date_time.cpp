#include "logging/date_time.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <chrono>
#include <langinfo.h>
#include <locale.h>

namespace trazvik::logging {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's
// algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

// 1899-12-30 counted from 1970-01-01.
constexpr long long kEpochOffset = -25569;
constexpr double kMsPerDay = 86400000.0;

std::string twoDigits(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

}  // namespace

DateTime dateOf(int year, int month, int day) {
  return static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                             kEpochOffset);
}

DateTime toDateTime(const CivilTime& t) {
  const double ms = ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
  return dateOf(t.year, t.month, t.day) + ms / kMsPerDay;
}

CivilTime toCivil(DateTime t) {
  long long totalMs = std::llround(t * kMsPerDay);
  long long days = totalMs / 86400000;
  long long ms = totalMs % 86400000;
  if (ms < 0) {
    ms += 86400000;
    --days;
  }
  CivilTime c;
  civilFromDays(days + kEpochOffset, c.year, c.month, c.day);
  c.hour = static_cast<int>(ms / 3600000);
  c.minute = static_cast<int>(ms / 60000 % 60);
  c.second = static_cast<int>(ms / 1000 % 60);
  c.millisecond = static_cast<int>(ms % 1000);
  return c;
}

DateTime localNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return toDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                     static_cast<int>(ms < 0 ? ms + 1000 : ms)});
}

Clock systemClock() {
  return [] { return localNow(); };
}

std::string formatLogTime(DateTime t) {
  const CivilTime c = toCivil(t);
  return std::to_string(c.year) + "-" + twoDigits(c.month) + "-" + twoDigits(c.day) + " " + twoDigits(c.hour) + ":" +
         twoDigits(c.minute) + ":" + twoDigits(c.second);
}

std::string formatMonthStamp(DateTime t) {
  const CivilTime c = toCivil(t);
  return std::to_string(c.year) + "_" + twoDigits(c.month);
}

std::string formatFileStamp(DateTime t) {
  const CivilTime c = toCivil(t);
  return std::to_string(c.year) + "_" + twoDigits(c.month) + "_" + twoDigits(c.day) + "_" + twoDigits(c.hour) + "_" +
         twoDigits(c.minute) + "_" + twoDigits(c.second);
}

std::string formatDuration(DateTime days) {
  if (!(days > 0)) days = 0;  // also NaN
  const long long seconds = std::llround(days * 86400.0 * 1000.0) / 1000;
  return twoDigits(static_cast<int>(seconds / 3600 % 24)) + ":" + twoDigits(static_cast<int>(seconds / 60 % 60)) + ":" +
         twoDigits(static_cast<int>(seconds % 60));
}

std::string isoDateTimeText(DateTime t) {
  const CivilTime c = toCivil(t);
  std::string text = std::to_string(c.year) + "-" + twoDigits(c.month) + "-" + twoDigits(c.day);
  if (c.hour != 0 || c.minute != 0 || c.second != 0 || c.millisecond != 0)
    text += " " + twoDigits(c.hour) + ":" + twoDigits(c.minute) + ":" + twoDigits(c.second);
  return text;
}

DateTimeText userDateTimeText() {
  return [](DateTime t) -> std::string {
    locale_t user = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (user == static_cast<locale_t>(0)) return isoDateTimeText(t);
    const CivilTime c = toCivil(t);
    std::tm tm{};
    tm.tm_year = c.year - 1900;
    tm.tm_mon = c.month - 1;
    tm.tm_mday = c.day;
    tm.tm_hour = c.hour;
    tm.tm_min = c.minute;
    tm.tm_sec = c.second;
    tm.tm_wday =
        static_cast<int>(((static_cast<long long>(std::floor(t)) % 7) + 7 + 6) % 7);  // 1899-12-30 was a Saturday
    char date[128] = {};
    char time[128] = {};
    const bool midnight = c.hour == 0 && c.minute == 0 && c.second == 0 && c.millisecond == 0;
    std::size_t dn = strftime_l(date, sizeof date, "%x", &tm, user);
    std::size_t tn = midnight ? 1 : strftime_l(time, sizeof time, "%X", &tm, user);
    freelocale(user);
    if (dn == 0 || tn == 0) return isoDateTimeText(t);
    return midnight ? std::string(date) : std::string(date) + " " + time;
  };
}

}  // namespace trazvik::logging
