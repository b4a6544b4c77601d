#include "planning/AgendaLines.h"

#include "core/Dates.h"
#include "core/Tokens.h"
#include "db/Postgres.h"

namespace planning {

namespace {

constexpr core::CharSet TimeChars = core::CharSet::range(u'0', u'9') | core::CharSet{u':'};

// Drops the one separator character between two fields, whatever it is.
void skipSeparator(QString &rest)
{
    if (!rest.isEmpty())
        rest.remove(0, 1);
}

QString field(const QStringList &row, int i)
{
    return row.value(i);
}

}  // namespace

AgendaLine ParseAgendaLine(const QString &line)
{
    QString rest = line;
    AgendaLine result;
    result.id = core::TakeWhile(rest, core::Digits);
    skipSeparator(rest);
    result.kind = core::TakeWhile(rest, core::Letters);
    skipSeparator(rest);
    result.datum = core::TakeWhile(rest, core::Digits);
    skipSeparator(rest);
    result.tijd = core::TakeWhile(rest, TimeChars);
    skipSeparator(rest);
    result.kort = rest;
    return result;
}

QString AgendaLineText(const QStringList &row)
{
    QString line;
    line.reserve(field(row, 0).size() + field(row, 1).size() + field(row, 2).size() + field(row, 3).size() +
                 field(row, 4).size() + 4);
    line += field(row, 0);
    line += QLatin1Char(' ');
    line += field(row, 1);
    line += QLatin1Char(' ');
    line += field(row, 3);
    line += QLatin1Char(' ');
    line += field(row, 4);
    line += QLatin1Char(' ');
    line += field(row, 2);
    return line;
}

QString AgendaLineText(const db::TPostgresRowView &row)
{
    static constexpr int kOrder[] = {0, 1, 3, 4, 2};
    qsizetype length = 4;
    for (int col : kOrder)
        length += row.MaxLength(col);
    QString line;
    line.reserve(length);
    for (int col : kOrder) {
        if (col != kOrder[0])
            line += QLatin1Char(' ');
        row.AppendValue(col, line);
    }
    return line;
}

QString LineId(const QString &line)
{
    QString rest = line;
    return core::TakeWhile(rest, core::Digits);
}

QString AddressLineText(const QStringList &row)
{
    return field(row, 0) + QLatin1Char(' ') + field(row, 1) + FieldSeparator + field(row, 2) + FieldSeparator +
           field(row, 3);
}

AddressLine ParseAddressLine(const QString &line)
{
    QString rest = line;
    AddressLine result;
    result.id = core::TakeWhile(rest, core::Digits);
    core::TakeWhile(rest, core::Blanks);
    QStringList fields = rest.split(FieldSeparator);
    result.naam = fields.value(0);
    result.woonplaats = fields.value(1);
    result.further = fields.mid(2);
    return result;
}

QString ArchiveLineText(const QStringList &row)
{
    return field(row, 0) + QLatin1Char(' ') + field(row, 1);
}

QString ArchiveLineHeadline(const QString &line)
{
    QString rest = line;
    core::TakeWhile(rest, core::Digits);
    core::TakeWhile(rest, core::Blanks);
    return rest;
}

bool RepeatsOn(const QString &dagen, const QDate &date)
{
    const int position = core::SundayWeekdayNumber(date);  // 1 = Sunday
    return position >= 1 && position <= dagen.size() && dagen.at(position - 1) == QLatin1Char('x');
}

std::optional<QString> AgendaTimeFromInput(const QString &typed)
{
    const QStringList parts = typed.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 2 || parts[0].isEmpty() || parts[0].size() > 2 || parts[1].size() != 2)
        return std::nullopt;
    for (const QString &p : parts)
        for (const QChar c : p)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
    const int hour = parts[0].toInt();
    const int minute = parts[1].toInt();
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}

}  // namespace planning
