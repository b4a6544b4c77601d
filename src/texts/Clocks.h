#pragma once
// Text clocks as the versions window edits them. The clock entry, the clock
// list format and the activity rule are core/ClockRule.h.
//
// DESIGN
// TClockList is the clock page without its controls: the entries of klokbox,
// the selected one, and the fields the controls show. The page copies its
// controls into fields() before StoreClock and shows fields() afterwards.

#include "core/ClockRule.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace texts {

// The clock rule itself lives in core, where the rubric cycle reads it too.
using core::ClockActive;
using core::ClockEntry;
using core::ClockFromRow;
using core::ClockListActive;
using core::FormatClock;
using core::FormatClockList;
using core::ParseClockList;

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
