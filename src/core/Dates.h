#pragma once
// Dates as the newsroom reads them. DESIGN: every date shown goes through
// FormatDateTime with fixed Dutch names ("ddd dd mmm yyyy" is "do 10 dec 2026"
// on any machine, whatever its locale), and every date stored goes out and
// comes back as eight characters "yyyymmdd". The clock is read through Now()
// so tests can set the time instead of waiting for it.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <functional>

namespace core {

// Names for Monday = 1 ... Sunday = 7 and January = 1 ... December = 12;
// empty outside the range.
QString ShortDayName(int weekday);  // "ma" ... "zo"
QString LongDayName(int weekday);  // "maandag" ... "zondag"
QString ShortMonthName(int month);  // "jan" ... "dec"
QString LongMonthName(int month);  // "januari" ... "december"

// Formats with the classic patterns: d dd ddd dddd (day, two digits, short and
// long day name), m mm mmm mmmm (month likewise; m or mm right after an hour
// means minutes), yy yyyy, h hh, n nn (minutes), s ss, z zzz (milliseconds);
// text in double or single quotes is copied as is, every other character too.
// Examples: "ddd dd mmm yyyy" -> "do 10 dec 2026", "hh:nn:ss" -> "09:05:03",
// "yyyymmdd" -> "20261210", "dddd dd mmm yyyy" -> "donderdag 10 dec 2026".
QString FormatDateTime(const QString &pattern, const QDateTime &moment);
QString FormatDateTime(const QString &pattern, const QDate &date);
QString FormatDateTime(const QString &pattern, const QTime &time);

// A "yyyymmdd" text: year from characters 1-4, month 5-6, day 7-8; anything
// after the eighth character is ignored. Throws platform::ConversionError when
// the text is shorter, holds other characters than digits there, or names no
// real day.
QDate YmdToDate(const QString &text);

// The date as stored: "yyyymmdd".
QString DateToYmd(const QDate &date);

int YearOfDate(const QDate &date);

// Monday = 1 ... Sunday = 7.
int WeekdayNumber(const QDate &date);

// Sunday = 1 ... Saturday = 7, the count of the weekday patterns of repeating
// planning items ("x-x----": position 1 is Sunday).
int SundayWeekdayNumber(const QDate &date);

// The current moment: the system clock, or the test clock when one is set.
QDateTime Now();
QDate Today();
QTime TimeNow();

using ClockHook = std::function<QDateTime()>;
// Installs a clock (empty restores the system clock); returns the previous one.
ClockHook setClock(ClockHook clock);

}  // namespace core
