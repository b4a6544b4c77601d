#include "extras/FilmSql.h"

#include "core/Dates.h"
#include "db/SqlEscape.h"
#include "extras/NawSql.h"

namespace extras {

namespace {

QString num(int n)
{
    return QString::number(n);
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + SqlEscape(text) + QLatin1Char('\'');
}

}  // namespace

QDate FilmWeekStart(const QDate &today)
{
    const int weekday = core::WeekdayNumber(today);  // Monday 1 ... Sunday 7, Thursday 4
    if (weekday == 5 || weekday == 6)
        return today.addDays(4 - weekday);
    return today.addDays((4 - weekday + 7) % 7);
}

QString FilmListSql(const QString &search)
{
    return QStringLiteral("select f.id,trim(f.naam) || ', ' || b.naam from tblfilm f, tblbioscoop b "
                          "where b.id = f.bioscoop and lower(f.naam) like '") +
           LikeEscape(search.toLower()) + QStringLiteral("%' order by f.naam");
}

QString CinemaListSql()
{
    return QStringLiteral("select id,naam from tblbioscoop order by naam");
}

QString ShowFilmSql(int film)
{
    return QStringLiteral("select id,naam,bioscoop from tblfilm where id = ") + num(film);
}

QString DayTimesSql(int film, const QDate &day)
{
    return QStringLiteral("select * from tblfilmtijden where filmid = ") + num(film) +
           QStringLiteral(" and datum = '") + core::DateToYmd(day) + QStringLiteral("' order by tijd asc");
}

QString StoreFilmSql(int film, const QString &title, int cinema)
{
    return QStringLiteral("update tblfilm set naam = ") + quoted(title) + QStringLiteral(", bioscoop = ") +
           num(cinema) + QStringLiteral(" where id = ") + num(film);
}

QString DeleteDayTimesSql(int film, const QDate &day)
{
    return QStringLiteral("delete from tblfilmtijden where filmid = ") + num(film) + QStringLiteral(" and datum = '") +
           core::DateToYmd(day) + QLatin1Char('\'');
}

QString InsertTimeSql(int film, const QDate &day, const QString &time)
{
    return QStringLiteral("insert into tblfilmtijden values (") + num(film) + QStringLiteral(",'") +
           core::DateToYmd(day) + QStringLiteral("',") + quoted(time) + QLatin1Char(')');
}

QString InsertFilmSql(const QString &title, int cinema)
{
    return QStringLiteral("insert into tblfilm (naam,bioscoop) values (") + quoted(title) + QLatin1Char(',') +
           num(cinema) + QLatin1Char(')');
}

QStringList DeleteFilmSql(int film)
{
    return {QStringLiteral("delete from tblfilmtijden where filmid = ") + num(film),
            QStringLiteral("delete from tblfilm where id = ") + num(film)};
}

QString InsertCinemaSql(const QString &name)
{
    return QStringLiteral("insert into tblbioscoop (naam) values (") + quoted(name) + QLatin1Char(')');
}

QString UpdateCinemaSql(int cinema, const QString &name)
{
    return QStringLiteral("update tblbioscoop set naam = ") + quoted(name) + QStringLiteral(" where id = ") +
           num(cinema);
}

QString DeleteCinemaSql(int cinema)
{
    return QStringLiteral("delete from tblbioscoop where id = ") + num(cinema);
}

QString CinemaFilmCountSql(int cinema)
{
    return QStringLiteral("select count(*) from tblfilm where bioscoop = ") + num(cinema);
}

QString FilmEntry(const QString &id, const QString &text)
{
    return id + QLatin1Char(' ') + text;
}

int FilmEntryId(const QString &entry)
{
    bool ok = false;
    const int id = entry.section(QLatin1Char(' '), 0, 0).toInt(&ok);
    return ok ? id : -1;
}

QString FilmEntryText(const QString &entry)
{
    const qsizetype space = entry.indexOf(QLatin1Char(' '));
    return space < 0 ? QString() : entry.mid(space + 1);
}

QString FilmHeader(const QString &title)
{
    return QStringLiteral("Filmtijden voor ") + title;
}

QString WeekLabel(const QDate &start)
{
    return QStringLiteral("De week van ") + core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), start);
}

QString DayLabel(const QDate &day)
{
    return core::FormatDateTime(QStringLiteral("dddd dd mmm yyyy"), day);
}

QString JoinTimes(const QStringList &fields)
{
    QStringList times;
    for (const QString &f : fields)
        if (!f.trimmed().isEmpty())
            times << f.trimmed();
    return times.join(QLatin1Char(','));
}

QStringList SplitTimes(const QString &value)
{
    QStringList fields;
    if (!value.isEmpty())
        fields = value.split(QLatin1Char(','));
    fields << QString();
    return fields;
}

bool TimeKeyAllowed(QChar key, bool backspace)
{
    return backspace || (key >= u'0' && key <= u'9');
}

QString BeforeDigit(const QString &field)
{
    return field.size() == 2 ? field + QLatin1Char(':') : field;
}

QString CompleteTime(const QString &field)
{
    QString time = field;
    while (time.size() < TimeFieldLength)
        time += time.size() == 2 ? QLatin1Char(':') : QLatin1Char('0');
    return time;
}

}  // namespace extras
