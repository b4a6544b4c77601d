#include "core/Dates.h"

#include "platform/Errors.h"

#include <array>

namespace core {

namespace {

constexpr std::array<const char *, 7> kShortDays = {"ma", "di", "wo", "do", "vr", "za", "zo"};
constexpr std::array<const char *, 7> kLongDays = {"maandag", "dinsdag",  "woensdag", "donderdag",
                                                   "vrijdag", "zaterdag", "zondag"};
constexpr std::array<const char *, 12> kShortMonths = {"jan", "feb", "mrt", "apr", "mei", "jun",
                                                       "jul", "aug", "sep", "okt", "nov", "dec"};
constexpr std::array<const char *, 12> kLongMonths = {"januari",   "februari", "maart",    "april",
                                                      "mei",       "juni",     "juli",     "augustus",
                                                      "september", "oktober",  "november", "december"};

template <std::size_t N>
QString nameAt(const std::array<const char *, N> &names, int oneBased)
{
    if (oneBased < 1 || oneBased > int(N))
        return {};
    return QString::fromLatin1(names[std::size_t(oneBased - 1)]);
}

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

ClockHook &clockHook()
{
    static ClockHook hook;
    return hook;
}

}  // namespace

QString ShortDayName(int weekday)
{
    return nameAt(kShortDays, weekday);
}
QString LongDayName(int weekday)
{
    return nameAt(kLongDays, weekday);
}
QString ShortMonthName(int month)
{
    return nameAt(kShortMonths, month);
}
QString LongMonthName(int month)
{
    return nameAt(kLongMonths, month);
}

// The pattern is read as runs of one letter (case-insensitive). An "m" run
// right after an hour run means minutes, as it always did in these patterns,
// so "hh:mm" and "hh:nn" print the same.
QString FormatDateTime(const QString &pattern, const QDateTime &moment)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    QString out;
    bool afterHour = false;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == u'"' || c == u'\'') {
            const qsizetype close = pattern.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            out += pattern.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        const QChar lower = c.toLower();
        qsizetype n = 1;
        while (i + n < pattern.size() && pattern.at(i + n).toLower() == lower)
            ++n;
        switch (lower.unicode()) {
        case 'd':
            if (n == 1)
                out += QString::number(date.day());
            else if (n == 2)
                out += twoDigits(date.day());
            else if (n == 3)
                out += ShortDayName(date.dayOfWeek());
            else if (n == 4)
                out += LongDayName(date.dayOfWeek());
            else if (n == 5)
                out += FormatDateTime(QStringLiteral("dd-mm-yyyy"), date);
            else
                out += FormatDateTime(QStringLiteral("dddd d mmmm yyyy"), date);
            afterHour = false;
            break;
        case 'm':
            if (afterHour && n <= 2) {
                out += n == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            } else if (n == 1)
                out += QString::number(date.month());
            else if (n == 2)
                out += twoDigits(date.month());
            else if (n == 3)
                out += ShortMonthName(date.month());
            else
                out += LongMonthName(date.month());
            afterHour = false;
            break;
        case 'y':
            out +=
                n <= 2 ? twoDigits(date.year() % 100) : QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            afterHour = false;
            break;
        case 'h':
            out += n == 1 ? QString::number(time.hour()) : twoDigits(time.hour());
            afterHour = true;
            break;
        case 'n':
            out += n == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            afterHour = false;
            break;
        case 's':
            out += n == 1 ? QString::number(time.second()) : twoDigits(time.second());
            afterHour = false;
            break;
        case 'z':
            out +=
                n < 3 ? QString::number(time.msec()) : QStringLiteral("%1").arg(time.msec(), 3, 10, QLatin1Char('0'));
            afterHour = false;
            break;
        default: out += pattern.mid(i, n); break;
        }
        i += n;
    }
    return out;
}

QString FormatDateTime(const QString &pattern, const QDate &date)
{
    return FormatDateTime(pattern, QDateTime(date, QTime(0, 0)));
}

QString FormatDateTime(const QString &pattern, const QTime &time)
{
    return FormatDateTime(pattern, QDateTime(QDate(1899, 12, 30), time));
}

QDate YmdToDate(const QString &text)
{
    const auto fail = [&] {
        return platform::ConversionError(QStringLiteral("'%1' is geen geldige datum (jjjjmmdd)").arg(text));
    };
    if (text.size() < 8)
        throw fail();
    for (int i = 0; i < 8; ++i)
        if (text.at(i) < u'0' || text.at(i) > u'9')
            throw fail();
    const QDate date(text.left(4).toInt(), text.mid(4, 2).toInt(), text.mid(6, 2).toInt());
    if (!date.isValid())
        throw fail();
    return date;
}

QString DateToYmd(const QDate &date)
{
    return FormatDateTime(QStringLiteral("yyyymmdd"), date);
}

int YearOfDate(const QDate &date)
{
    return date.year();
}

int WeekdayNumber(const QDate &date)
{
    return date.dayOfWeek();
}

int SundayWeekdayNumber(const QDate &date)
{
    return date.dayOfWeek() % 7 + 1;
}

QDateTime Now()
{
    return clockHook() ? clockHook()() : QDateTime::currentDateTime();
}

QDate Today()
{
    return Now().date();
}

QTime TimeNow()
{
    return Now().time();
}

ClockHook setClock(ClockHook clock)
{
    ClockHook previous = std::move(clockHook());
    clockHook() = std::move(clock);
    return previous;
}

}  // namespace core
