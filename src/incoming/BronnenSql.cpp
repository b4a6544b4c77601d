#include "incoming/BronnenSql.h"

#include "core/Dates.h"
#include "core/Tokens.h"
#include "db/SqlEscape.h"

namespace incoming {

namespace {
// A stored datum as a date; invalid when it cannot be read (drawing and
// showing leave the date out then rather than stopping).
QDate ymd(const QString &text)
{
    try {
        return core::YmdToDate(text);
    } catch (...) {
        return {};
    }
}
}  // namespace

QString SourcesSql()
{
    return QStringLiteral("select id,naam from tblnet order by naam");
}

QString ItemsSql(int sourceId)
{
    return QStringLiteral("select id,datum,time,kop from tblnetinfo where netid = ") + QString::number(sourceId) +
           QStringLiteral(" order by datum desc, time desc");
}

QString ItemTextSql(int itemId)
{
    return QStringLiteral("select body,url from tblnetinfo where id = ") + QString::number(itemId);
}

QString ItemViewSql(int itemId)
{
    return QStringLiteral("select kop,datum,body,time from tblnetinfo where id = ") + QString::number(itemId);
}

QString ItemLine(const QStringList &row)
{
    return row.value(0) + QLatin1Char(' ') + row.value(1) + QLatin1Char(' ') + row.value(2) + QLatin1Char(' ') +
           row.value(3);
}

QString RefreshCommand(int sourceId, const QString &sourceName)
{
    return QStringLiteral("job new eenmalig \"import ") + QString::number(sourceId) +
           QStringLiteral("\" \"Verversen van ") + sourceName + QLatin1Char('"');
}

QString RefreshEnd(const QString &jobArgument, const QString &sourceName)
{
    const QString start = QStringLiteral("log Verversen van ") + sourceName;
    if (!jobArgument.startsWith(start))
        return {};
    const QString rest = jobArgument.mid(start.size());
    if (!rest.startsWith(QLatin1String(" klaar: ")) && !rest.startsWith(QLatin1String(" mislukt: ")))
        return {};
    return jobArgument.mid(4);
}

QString ItemViewMarkup(const QString &kop, const QString &datum, const QString &time, const QString &body)
{
    const QDate d = ymd(datum);
    return QStringLiteral("<bold>") + kop + QStringLiteral("<normal>\r\n<green>Opgehaald op <bold>") +
           (d.isValid() ? core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), d) : datum) +
           QStringLiteral("<normal> om <bold>") + time + QStringLiteral("<normal><black>\r\n\r\n") + body;
}

QString BoardCaption(const QString &key)
{
    const QString lower = key.toLower();
    return lower.isEmpty() ? lower : lower.left(1).toUpper() + lower.mid(1);
}

QString LinkTarget(const QString &label)
{
    // An https link keeps its own scheme; "http://" in front of it would break it.
    const QString lower = label.trimmed().toLower();
    if (lower.contains(QLatin1String("http://")) || lower.contains(QLatin1String("https://")))
        return label;
    return QStringLiteral("http://") + label;
}

QString BronaddLine(const QString &argument, int sourceId)
{
    QString rest = argument;
    const QString kind = core::TakeWhile(rest, core::Letters);
    core::TakeWhile(rest, core::Blanks);
    if (kind != QLatin1String("internet"))
        return {};
    bool ok = false;
    const int id = core::TakeWhile(rest, core::Digits).toInt(&ok);
    core::TakeWhile(rest, core::Blanks);
    return ok && id == sourceId ? rest : QString();
}

ItemDrawText ItemDrawParts(const QString &line)
{
    const QStringList f = line.split(QLatin1Char(' '));
    ItemDrawText out;
    const QDate d = ymd(f.value(1));
    if (d.isValid())
        out.when = core::FormatDateTime(QStringLiteral("dd mmm"), d) + QLatin1Char(' ');
    out.when += f.value(2).left(5);
    out.title = f.mid(3).join(QLatin1Char(' '));
    return out;
}

QString SearchNetSql(const QString &text)
{
    const QString s = SqlEscape(text.toLower());
    return QStringLiteral("select id,kop,datum from tblnetinfo where lower(kop) like '%") + s +
           QStringLiteral("%' or lower(body) like '%") + s + QStringLiteral("%' ");
}

QString SearchAnpSql(const QString &text)
{
    const QString s = SqlEscape(text.toLower());
    return QStringLiteral("select id,kop,datum from tblanp where lower(kop) like '%") + s +
           QStringLiteral("%' or lower(body) like '%") + s + QStringLiteral("%' ");
}

QString HitSql(const QString &kind, int id)
{
    if (kind == QLatin1String("internet"))
        return QStringLiteral("select body,kop,datum from tblnetinfo where id = ") + QString::number(id);
    if (kind == QLatin1String("anp"))
        return QStringLiteral("select body,kop,datum from tblanp where id = ") + QString::number(id);
    return {};
}

QString HitLine(const QString &kind, const QString &id, const QString &datum, const QString &kop)
{
    return kind + QLatin1Char(' ') + id + QLatin1Char(' ') + datum + QLatin1Char(' ') + kop;
}

HitParts ParseHit(const QString &line)
{
    const QStringList f = line.split(QLatin1Char(' '));
    return {f.value(0), f.value(1), f.value(2), f.mid(3).join(QLatin1Char(' '))};
}

int HitInsertPosition(const QStringList &lines, const QString &datum)
{
    for (int i = 0; i < lines.size(); ++i)
        if (!(ParseHit(lines[i]).datum > datum))
            return i;
    return int(lines.size());
}

QString MarkWord(const QString &body, const QString &word)
{
    if (word.isEmpty())
        return body;
    QString out;
    const QString mark = QStringLiteral("<bold><red>") + word.toUpper() + QStringLiteral("<black><normal>");
    qsizetype from = 0;
    while (true) {
        const qsizetype at = body.indexOf(word, from, Qt::CaseInsensitive);
        if (at < 0)
            break;
        out += body.mid(from, at - from) + mark;
        from = at + word.size();
    }
    return out + body.mid(from);
}

QString HitMarkup(const QString &kop, const QString &datum, const QString &markedBody)
{
    const QDate d = ymd(datum);
    return QStringLiteral("<bold>") + kop + QStringLiteral("<normal> <green>") +
           (d.isValid() ? core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), d) : datum) +
           QStringLiteral("<black>\r\n\r\n") + markedBody;
}

}  // namespace incoming
