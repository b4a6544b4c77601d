#include "texts/ArchiefSearch.h"

#include "core/Dates.h"
#include "db/SqlEscape.h"
#include "platform/Errors.h"
#include "texts/StoredText.h"

#include <algorithm>

namespace texts {

namespace {

bool isWordChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

// The last year whose texts live in a table of their own.
constexpr int LastYearTable = 2001;

}  // namespace

QStringList SplitSearchWords(const QString &text)
{
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && !isWordChar(text.at(i)))
            ++i;
        const qsizetype start = i;
        while (i < n && isWordChar(text.at(i)))
            ++i;
        if (i > start)
            words << text.mid(start, i - start).toLower();
    }
    return words;
}

QString ArchiveSearchStatement(const QStringList &words, const QDate &from, const QDate &until)
{
    QString conditions;
    for (const QString &word : words)
        conditions += QStringLiteral("and lower(body) like '%") + SqlEscape(word) + QStringLiteral("%' ");
    conditions += QStringLiteral("and datum >= '") + core::DateToYmd(from) + QStringLiteral("' ");
    conditions += QStringLiteral("and datum < '") + core::DateToYmd(until) + QStringLiteral("' ");
    conditions.remove(0, 4);  // the first "and "
    return QStringLiteral("select id,kop,datum from tblteksten where ") + conditions + QStringLiteral(" ") +
           QStringLiteral("order by datum desc");
}

QString ArchiveTableFor(const QString &datum)
{
    const QString year = datum.left(4);
    const bool digits =
        year.size() == 4 && std::all_of(year.begin(), year.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits || year.toInt() > LastYearTable)
        return QStringLiteral("tblteksten");
    return QStringLiteral("tblteksten_") + year;
}

QString ArchiveReadStatement(int id, const QString &datum)
{
    return QStringLiteral("select body,kop,datum,tijd from ") + ArchiveTableFor(datum) +
           QStringLiteral(" where id = ") + QString::number(id);
}

QString ArchivePlainText(const QString &kop, const QString &body)
{
    QString text = body;
    text.remove(QStringLiteral("<br>"), Qt::CaseSensitive);
    text.replace(QStringLiteral("<hrt>"), QStringLiteral("\r\n"), Qt::CaseSensitive);
    text.replace(LessThanTag.toString(), QStringLiteral("<"));
    return kop + QStringLiteral("\r\n\r\n") + text;
}

QString HighlightWords(const QString &body, const QStringList &words)
{
    QStringList sorted;
    for (const QString &w : words)
        if (!w.isEmpty())
            sorted << w;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString &a, const QString &b) { return a.size() > b.size(); });
    if (sorted.isEmpty())
        return body;

    QString out;
    out.reserve(body.size() + body.size() / 4);
    qsizetype i = 0;
    const qsizetype n = body.size();
    while (i < n) {
        const QChar c = body.at(i);
        if (c == u'<') {
            qsizetype end = body.indexOf(u'>', i);
            end = end < 0 ? n : end + 1;
            out += QStringView(body).mid(i, end - i);
            i = end;
            continue;
        }
        const QString *hit = nullptr;
        for (const QString &w : sorted) {
            if (QStringView(body).mid(i, w.size()).compare(w, Qt::CaseInsensitive) == 0) {
                hit = &w;
                break;
            }
        }
        if (hit) {
            out += QStringLiteral("<bold><red>") + hit->toUpper() + QStringLiteral("<black><normal>");
            i += hit->size();
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString ArchiveLineDate(const QString &datum)
{
    try {
        return core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), core::YmdToDate(datum));
    } catch (const platform::ConversionError &) {
        return datum;
    }
}

QString ArchiveViewMarkup(const QString &kop, const QString &datum, const QString &body, const QStringList &words)
{
    QString shown = HighlightWords(body, words);
    // The view reads "&#60;" as "<"; the escape tag itself it would skip.
    shown.replace(LessThanTag.toString(), QStringLiteral("&#60;"));
    return kop + QStringLiteral("\r\n<green>Van: <bold>") + ArchiveLineDate(datum) +
           QStringLiteral("\r\n\r\n<black><normal>") + shown;
}

QString ArchiveResultLine(const QString &id, const QString &kop, const QString &datum)
{
    return id + QLatin1Char(' ') + kop + QChar(0xFF) + datum;
}

ArchiveLine ParseArchiveResultLine(const QString &line)
{
    ArchiveLine parts;
    const qsizetype space = line.indexOf(u' ');
    bool ok = false;
    const int id = line.left(space < 0 ? line.size() : space).toInt(&ok);
    if (!ok)
        return parts;
    parts.id = id;
    const QString rest = space < 0 ? QString() : line.mid(space + 1);
    const qsizetype sep = rest.lastIndexOf(QChar(0xFF));
    parts.kop = sep < 0 ? rest : rest.left(sep);
    parts.datum = sep < 0 ? QString() : rest.mid(sep + 1);
    return parts;
}

}  // namespace texts
