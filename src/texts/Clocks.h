#pragma once
// Text clocks: when a text version counts as current. Without widgets, so
// the versions window, the rubric cycle and the server read clock lists with
// the same code.
//
// DESIGN
// A clock is seven fields, each followed by U+00FF: start date, end date
// ("yyyymmdd"), start time, end time, in time, out time ("hh:nn:ss") and the
// days (seven characters from Monday, "x" for a chosen day). A clock list
// (tblteksten.klok) is clocks one after another. Every comparison of the
// activity rule is a comparison of texts, so a clock is active or not exactly
// as it always was, whatever odd values it holds.
//
// TClockList is the clock page without its controls: the entries of klokbox,
// the selected one, and the fields the controls show. The page copies its
// controls into fields() before StoreClock and shows fields() afterwards.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace texts {

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

// Reads "h:mm" or "h:mm:ss"; throws platform::ConversionError otherwise.
QTime ReadTime(const QString &text);

// The line klokbox draws. Throws platform::ConversionError when a date or
// time of the entry does not read; the list draws such an entry blank.
QString ClockLineText(const ClockEntry &clock);

// The values a new clock starts with; template start commands change them.
struct ClockDefaults {
    QDate startDate;
    QDate endDate;
    QTime startTime{0, 0, 0};
    QTime endTime{23, 59, 59};
    QTime inTime{0, 0, 0};
    QTime outTime{23, 59, 59};
    QString days = QStringLiteral("xxxxxxx");

    // today, today + 6 days, the whole day, every day.
    static ClockDefaults from(const QDate &today);
    ClockEntry entry() const;
};

class TClockList {
public:
    const QList<ClockEntry> &entries() const { return m_entries; }
    int selected() const { return m_selected; }  // -1: none
    ClockEntry &fields() { return m_fields; }
    const ClockEntry &fields() const { return m_fields; }

    // The list stored for the version (the fields are left as they are).
    void setEntries(const QList<ClockEntry> &entries);
    // Selects entry i (or none for -1) and shows it in the fields.
    void select(int i);
    // The fields into the selected entry; with none selected, into the first
    // entry, or as the only entry of an empty list. A version saved always
    // keeps at least one clock.
    void StoreClock();
    // A new clock with the defaults at the end of the list, selected and
    // shown. ("Toevoegen" adds: it never overwrites a clock the editor set.)
    void AddClock(const ClockEntry &defaults);
    // Removes the selected entry (false when none is); the first remaining
    // one is selected and shown, and with none remaining the fields stay.
    bool RemoveClock();

    QString list() const { return FormatClockList(m_entries); }

private:
    QList<ClockEntry> m_entries;
    int m_selected = -1;
    ClockEntry m_fields;
};

}  // namespace texts
