#include "texts/ArchiefSearch.h"

#include "core/Dates.h"
#include "db/SqlEscape.h"
#include "platform/Errors.h"
#include "texts/StoredText.h"

#include <QHash>

#include <algorithm>

namespace texts {

namespace {

bool isWordStart(char32_t c)
{
    return QChar::isLetter(c) || QChar::isDigit(c);
}

// Combining marks carry on a word: the vowel signs of many scripts, or an
// accent that was not composed with its letter.
bool isWordChar(char32_t c)
{
    return isWordStart(c) || QChar::isMark(c);
}

// The first year whose texts live in a table of their own, and the last.
constexpr int FirstYearTable = 1999;
constexpr int LastYearTable = 2001;

bool isAscii(const QString &word)
{
    return std::all_of(word.begin(), word.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Every letter beyond ASCII whose lower case is a given one, the letter
// itself not listed, in code point order. Built once, for all of Unicode.
const QHash<char32_t, QList<char32_t>> &otherCases()
{
    static const QHash<char32_t, QList<char32_t>> cases = [] {
        QHash<char32_t, QList<char32_t>> map;
        for (char32_t c = 0x80; c <= QChar::LastValidCodePoint; ++c) {
            const char32_t lower = QChar::toLower(c);
            if (lower != c)
                map[lower].append(c);
        }
        return map;
    }();
    return cases;
}

QString fromCodePoint(char32_t c)
{
    return QString::fromUcs4(&c, 1);
}

QString likeCondition(const QString &word)
{
    return QStringLiteral("lower(body) like '%") + SqlEscape(word) + QStringLiteral("%' ");
}

// The condition for one word. lower() of the byte-ordered body lowers only
// A to Z, so a word with other letters cannot be compared as typed: each
// letter beyond ASCII that has other cases becomes a bracket of every letter
// that lowers to it ("maës" matches "ma[ëË]s"). A word holds letters, digits
// and marks only, so nothing in it is special to LIKE or to the regular
// expression.
QString wordCondition(const QString &word)
{
    if (isAscii(word))
        return likeCondition(word);
    QString pattern;
    bool bracketed = false;
    for (const uint c : word.toUcs4()) {
        const QList<char32_t> others = c < 0x80 ? QList<char32_t>{} : otherCases().value(c);
        if (others.isEmpty()) {
            pattern += fromCodePoint(c);
            continue;
        }
        bracketed = true;
        pattern += u'[' + fromCodePoint(c);
        for (const char32_t o : others)
            pattern += fromCodePoint(o);
        pattern += u']';
    }
    if (!bracketed)
        return likeCondition(word);
    return QStringLiteral("lower(body) ~ '") + SqlEscape(pattern) + QStringLiteral("' ");
}

}  // namespace

QStringList SplitSearchWords(const QString &typed)
{
    const QString text = typed.normalized(QString::NormalizationForm_C);
    const qsizetype n = text.size();
    // The code point at i and how many UTF-16 units it takes.
    const auto at = [&text, n](qsizetype i, qsizetype *units) -> char32_t {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            *units = 2;
            return QChar::surrogateToUcs4(c, text.at(i + 1));
        }
        *units = 1;
        return c.unicode();
    };
    QStringList words;
    qsizetype i = 0;
    qsizetype units = 0;
    while (i < n) {
        while (i < n && !isWordStart(at(i, &units)))
            i += units;
        const qsizetype start = i;
        while (i < n && isWordChar(at(i, &units)))
            i += units;
        if (i > start)
            words << text.mid(start, i - start).toLower();
    }
    return words;
}

QString ArchiveSearchStatement(const QStringList &words, const QDate &from, const QDate &until)
{
    QString conditions;
    for (const QString &word : words)
        conditions += QStringLiteral("and ") + wordCondition(word);
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
    if (!digits || year.toInt() < FirstYearTable || year.toInt() > LastYearTable)
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
    // A hard return ends a paragraph, as in the editor (whose reader takes
    // the tag in any case); soft breaks the view places again itself.
    shown.replace(HardReturnTag.toString(), QStringLiteral("\r\n"), Qt::CaseInsensitive);
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
