#include "texts/Clocks.h"

#include "core/Dates.h"
#include "platform/Errors.h"

namespace texts {

namespace {

QString shownTime(const QString &time)
{
    return core::FormatDateTime(QStringLiteral("hh:nn"), ReadTime(time));
}

QString shownDate(const QString &ymd)
{
    return core::FormatDateTime(QStringLiteral("dd-mm-yyyy"), core::YmdToDate(ymd));
}

}  // namespace

QTime ReadTime(const QString &text)
{
    const QStringList parts = text.trimmed().split(u':');
    QTime time;
    if (parts.size() == 2 || parts.size() == 3) {
        bool ok[3] = {false, false, true};
        const int h = parts.at(0).toInt(&ok[0]);
        const int m = parts.at(1).toInt(&ok[1]);
        const int s = parts.size() == 3 ? parts.at(2).toInt(&ok[2]) : 0;
        if (ok[0] && ok[1] && ok[2])
            time = QTime(h, m, s);
    }
    if (!time.isValid())
        throw platform::ConversionError(QStringLiteral("'%1' is geen geldige tijd").arg(text));
    return time;
}

QString ClockLineText(const ClockEntry &c)
{
    return QStringLiteral("Van: ") + shownDate(c.startDate) + QStringLiteral(" tot: ") + shownDate(c.endDate) +
           QStringLiteral(" starttijd: ") + shownTime(c.startTime) + QStringLiteral(" eindtijd: ") +
           shownTime(c.endTime) + QStringLiteral(" intijd: ") + shownTime(c.inTime) + QStringLiteral(" uittijd: ") +
           shownTime(c.outTime) + QStringLiteral(" dagen: ") + c.days;
}

ClockDefaults ClockDefaults::from(const QDate &today)
{
    ClockDefaults d;
    d.startDate = today;
    d.endDate = today.addDays(6);
    return d;
}

ClockEntry ClockDefaults::entry() const
{
    const QString t = QStringLiteral("hh:nn:ss");
    return {core::DateToYmd(startDate),
            core::DateToYmd(endDate),
            core::FormatDateTime(t, startTime),
            core::FormatDateTime(t, endTime),
            core::FormatDateTime(t, inTime),
            core::FormatDateTime(t, outTime),
            days};
}

void TClockList::setEntries(const QList<ClockEntry> &entries)
{
    m_entries = entries;
    m_selected = -1;
}

void TClockList::select(int i)
{
    m_selected = i >= 0 && i < m_entries.size() ? i : -1;
    if (m_selected >= 0)
        m_fields = m_entries.at(m_selected);
}

void TClockList::StoreClock()
{
    if (m_selected < 0 && !m_entries.isEmpty())
        m_selected = 0;
    if (m_selected >= 0) {
        m_entries[m_selected] = m_fields;
    } else {
        m_entries << m_fields;
        m_selected = 0;
    }
}

void TClockList::AddClock(const ClockEntry &defaults)
{
    m_entries << defaults;
    select(int(m_entries.size()) - 1);
}

bool TClockList::RemoveClock()
{
    if (m_selected < 0)
        return false;
    m_entries.removeAt(m_selected);
    m_selected = -1;
    if (!m_entries.isEmpty())
        select(0);
    return true;
}

}  // namespace texts
