#pragma once
// The clock rule: when a text version counts as current. Without widgets and
// in core, because the versions window edits clock lists and the rubric cycle
// reads them, and neither subsystem may include the other.
//
// DESIGN
// A clock is seven fields, each followed by U+00FF: start date, end date
// ("yyyymmdd"), start time, end time, in time, out time ("hh:nn:ss") and the
// days (seven characters from Monday, "x" for a chosen day). A clock list
// (tblteksten.klok) is clocks one after another. Every comparison of the
// activity rule is a comparison of texts, so a clock is active or not exactly
// as it always was, whatever odd values it holds.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace core {

struct ClockEntry {
    QString startDate;  // "yyyymmdd"
    QString endDate;  // "yyyymmdd"
    QString startTime;  // "hh:nn:ss"
    QString endTime;
    QString inTime;  // daily start
    QString outTime;  // daily end
    QString days;  // "x"/"-" from Monday

    bool operator==(const ClockEntry &) const = default;
};

// The entry as stored: each field followed by U+00FF.
QString FormatClock(const ClockEntry &clock);
QString FormatClockList(const QList<ClockEntry> &clocks);

// Cuts seven fields at a time, each up to the next U+00FF, while text
// remains; a last clock cut short gets empty fields for what is missing.
QList<ClockEntry> ParseClockList(const QString &list);

// A tblklok row ("select *"): columns 2 to 8 are the seven fields.
ClockEntry ClockFromRow(const QStringList &row);

// The activity rule at date ymd ("yyyymmdd") and time hhnn ("hh:nn").
bool ClockActive(const ClockEntry &clock, const QString &ymd, const QString &hhnn);
// Any clock of the list active; a list without clocks never is.
bool ClockListActive(const QString &list, const QDateTime &moment);

}  // namespace core
