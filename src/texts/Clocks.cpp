#include "texts/Clocks.h"

#include "core/Dates.h"
#include "platform/Errors.h"

namespace texts {

namespace {

constexpr QChar kSep = QChar(0xFF);

QString hhnn(const QString &time)
{
    return time.left(5);
}

QString shownTime(const QString &time)
{
    return core::FormatDateTime(QStringLiteral("hh:nn"), ReadTime(time));
}

QString shownDate(const QString &ymd)
{
    return core::FormatDateTime(QStringLiteral("dd-mm-yyyy"), core::YmdToDate(ymd));
}

}  // namespace

QString FormatClock(const ClockEntry &c)
{
    QString out;
    for (const QString *f : {&c.startDate, &c.endDate, &c.startTime, &c.endTime, &c.inTime, &c.outTime, &c.days})
        out += *f + kSep;
    return out;
}

QString FormatClockList(const QList<ClockEntry> &clocks)
{
    QString out;
    for (const ClockEntry &c : clocks)
        out += FormatClock(c);
    return out;
}

QList<ClockEntry> ParseClockList(const QString &list)
{
    QList<ClockEntry> clocks;
    qsizetype pos = 0;
    auto cut = [&]() {
        const qsizetype at = list.indexOf(kSep, pos);
        const QString f = list.mid(pos, at < 0 ? -1 : at - pos);
        pos = at < 0 ? list.size() : at + 1;
        return f;
    };
    while (pos < list.size()) {
        ClockEntry c;
        for (QString *f : {&c.startDate, &c.endDate, &c.startTime, &c.endTime, &c.inTime, &c.outTime, &c.days})
            *f = cut();
        clocks << c;
    }
    return clocks;
}

ClockEntry ClockFromRow(const QStringList &row)
{
    return {row.value(2), row.value(3), row.value(4), row.value(5), row.value(6), row.value(7), row.value(8)};
}

bool ClockActive(const ClockEntry &c, const QString &ymd, const QString &time)
{
    if (ymd < c.startDate || ymd > c.endDate)
        return false;
    bool isDate = false;
    const QDate d =
        ymd.size() == 8 ? QDate(ymd.left(4).toInt(&isDate), ymd.mid(4, 2).toInt(), ymd.mid(6, 2).toInt()) : QDate();
    if (!d.isValid())
        return false;
    const int weekday = core::WeekdayNumber(d);
    if (c.days.size() < weekday || c.days.at(weekday - 1) != QLatin1Char('x'))
        return false;
    if (time < hhnn(c.inTime) || time >= hhnn(c.outTime))
        return false;
    if (ymd == c.startDate && time < hhnn(c.startTime))
        return false;
    if (ymd == c.endDate && time > hhnn(c.endTime))
        return false;
    return true;
}

bool ClockListActive(const QString &list, const QDateTime &moment)
{
    const QString ymd = core::DateToYmd(moment.date());
    const QString time = core::FormatDateTime(QStringLiteral("hh:nn"), moment.time());
    for (const ClockEntry &c : ParseClockList(list))
        if (ClockActive(c, ymd, time))
            return true;
    return false;
}

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
