#include "extras/NawSearch.h"

#include "db/SqlEscape.h"

namespace extras {

namespace {

constexpr QChar Separator(0xFF);

// pattern with each "%s" and "%d", left to right, replaced by the next value;
// the values are not scanned again, so a "%s" typed into a field stays text.
QString fill(const QString &pattern, const QStringList &values)
{
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'%' && i + 1 < pattern.size() && (pattern.at(i + 1) == u's' || pattern.at(i + 1) == u'd') &&
            next < values.size()) {
            out += values.at(next++);
            ++i;
        } else {
            out += c;
        }
    }
    Q_ASSERT(next == values.size());
    return out;
}

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

QString LikeEscape(const QString &text)
{
    QString pattern;
    pattern.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            pattern += u'\\';
        pattern += c;
    }
    return SqlEscape(pattern);
}

QString NawSearchStatement(int book, const QString &text, bool personBook)
{
    const QString t = LikeEscape(text.toLower());
    const QString condition = QStringLiteral(" and (lower(naam) like '%") + t + QStringLiteral("%' or lower(voornaam) like '%") +
                              t + QStringLiteral("%') order by naam");
    const QString select = personBook
                               ? QStringLiteral("select id,trim(voornaam) || rtrim(' ' || tussen) || ' ' || trim(naam),woonplaats "
                                                "from tblnaw where adresboek = ")
                               : QStringLiteral("select id,trim(naam),woonplaats from tblnaw where adresboek = ");
    return select + QString::number(book) + condition;
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

QString NawUpdateStatement(const NawContact &c, int id)
{
    return fill(QStringLiteral("update tblnaw set naam = '%s', voornaam = '%s', straat = '%s', postcode = '%s', "
                               "woonplaats = '%s', gebdatum = '%s', email = '%s', url = '%s', memo = '%s', "
                               "tussen = '%s', telefoon = '%s' where id = %d"),
                {SqlEscape(c.naam), SqlEscape(c.voornaam), SqlEscape(c.straat), SqlEscape(c.postcode),
                 SqlEscape(c.woonplaats), SqlEscape(c.gebdatum), SqlEscape(c.email), SqlEscape(c.url),
                 SqlEscape(c.memo), SqlEscape(c.tussen), SqlEscape(c.telefoon), QString::number(id)});
}

QString NawInsertStatement(const NawContact &c, int book)
{
    return fill(QStringLiteral("insert into tblnaw (naam,voornaam,straat,postcode,woonplaats,gebdatum,email,url,memo,"
                               "telefoon,adresboek,tussen) values ('%s','%s','%s','%s','%s','%s','%s','%s','%s','%s',"
                               "%d,'%s')"),
                {SqlEscape(c.naam), SqlEscape(c.voornaam), SqlEscape(c.straat), SqlEscape(c.postcode),
                 SqlEscape(c.woonplaats), SqlEscape(c.gebdatum), SqlEscape(c.email), SqlEscape(c.url),
                 SqlEscape(c.memo), SqlEscape(c.telefoon), QString::number(book), SqlEscape(c.tussen)});
}

}  // namespace extras
