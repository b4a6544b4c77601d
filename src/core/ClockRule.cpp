#include "core/ClockRule.h"

#include "core/Dates.h"

namespace core {

namespace {

constexpr QChar kSep = QChar(0xFF);

QString hhnn(const QString &time)
{
    return time.left(5);
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
    const int weekday = WeekdayNumber(d);
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
    const QString ymd = DateToYmd(moment.date());
    const QString time = FormatDateTime(QStringLiteral("hh:nn"), moment.time());
    for (const ClockEntry &c : ParseClockList(list))
        if (ClockActive(c, ymd, time))
            return true;
    return false;
}

}  // namespace core
