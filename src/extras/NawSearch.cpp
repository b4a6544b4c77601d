#include "extras/NawSearch.h"

namespace extras {

namespace {

constexpr QChar Separator(0xFF);

QString field(const QStringList &row, int position)
{
    return row.value(position);
}

}  // namespace

BookKind BookKindFromType(const QString &boektype)
{
    if (boektype == QLatin1String("1"))
        return BookKind::Persons;
    if (boektype == QLatin1String("2"))
        return BookKind::Organisations;
    return BookKind::Other;
}

int MinimumSearchLength(int contacts)
{
    return contacts <= WholeBookLimit ? 0 : 2;
}

QString NawEntry(const QString &id, const QString &name, const QString &place)
{
    return id + QLatin1Char(' ') + name + Separator + place;
}

int NawEntryId(const QString &entry)
{
    bool ok = false;
    const int id = entry.section(u' ', 0, 0).toInt(&ok);
    return ok ? id : -1;
}

QString NawEntryName(const QString &entry)
{
    const qsizetype space = entry.indexOf(u' ');
    const QString rest = space < 0 ? QString() : entry.mid(space + 1);
    const qsizetype sep = rest.lastIndexOf(Separator);
    return sep < 0 ? rest : rest.left(sep);
}

QString NawEntryPlace(const QString &entry)
{
    const qsizetype sep = entry.lastIndexOf(Separator);
    return sep < 0 ? QString() : entry.mid(sep + 1);
}

QString JoinPhones(const QStringList &numbers)
{
    QString out;
    for (int i = 0; i < PhoneKinds.size(); ++i)
        out += numbers.value(i).trimmed() + Separator;
    return out;
}

QStringList SplitPhones(const QString &telefoon)
{
    QStringList parts = telefoon.split(Separator);
    QStringList numbers;
    for (int i = 0; i < PhoneKinds.size(); ++i)
        numbers << parts.value(i);
    return numbers;
}

NawContact NawContactFromRow(const QStringList &row)
{
    NawContact c;
    c.voornaam = field(row, 1);
    c.naam = field(row, 2);
    c.straat = field(row, 3);
    c.postcode = field(row, 4);
    c.woonplaats = field(row, 5);
    c.email = field(row, 6);
    c.url = field(row, 7);
    c.gebdatum = field(row, 8);
    c.memo = field(row, 9);
    c.telefoon = field(row, 10);
    c.tussen = field(row, 16);
    return c;
}

}  // namespace extras
