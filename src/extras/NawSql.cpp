#include "extras/NawSql.h"

#include "db/SqlEscape.h"

namespace extras {

namespace {

QString num(int n)
{
    return QString::number(n);
}

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

}  // namespace

QString PlacesSql()
{
    return QStringLiteral("select naam from tblwoonplaats order by naam");
}

QString BooksSql()
{
    return QStringLiteral("select id,naam from tbladresboek order by naam");
}

QString ContactCountSql(int book)
{
    return QStringLiteral("select count(*) from tblnaw where adresboek = ") + num(book);
}

QString BookTypeSql(int book)
{
    return QStringLiteral("select boektype from tbladresboek where id = ") + num(book);
}

QString ContactSql(int id)
{
    return QStringLiteral("select * from tblnaw where id = ") + num(id);
}

QString ContactBookSql(int id)
{
    return QStringLiteral("select adresboek from tblnaw where id = ") + num(id);
}

QString DeleteContactSql(int id)
{
    return QStringLiteral("delete from tblnaw where id = ") + num(id);
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
    const QString condition = QStringLiteral(" and (lower(naam) like '%") + t +
                              QStringLiteral("%' or lower(voornaam) like '%") + t + QStringLiteral("%') order by naam");
    const QString select =
        personBook ? QStringLiteral("select id,trim(voornaam) || rtrim(' ' || tussen) || ' ' || trim(naam),woonplaats "
                                    "from tblnaw where adresboek = ")
                   : QStringLiteral("select id,trim(naam),woonplaats from tblnaw where adresboek = ");
    return select + QString::number(book) + condition;
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

QString ContactLockName(int id)
{
    return QStringLiteral("naw_") + num(id);
}

QString UnlockContactCommand(int id)
{
    return QStringLiteral("unlock ") + ContactLockName(id);
}

}  // namespace extras
