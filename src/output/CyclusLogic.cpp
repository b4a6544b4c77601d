#include "output/CyclusLogic.h"

#include "core/ClockRule.h"
#include "core/Dates.h"
#include "platform/Errors.h"

#include <algorithm>

namespace output {

namespace {

bool isIdChar(QChar c)
{
    return c.isDigit() || c == QLatin1Char('-');
}

QString takeField(QString &rest)
{
    const qsizetype at = rest.indexOf(RubricSeparator);
    const QString f = at < 0 ? rest : rest.left(at);
    rest.remove(0, at < 0 ? rest.size() : at + 1);
    return f;
}

QString hintDate(const QString &ymd)
{
    try {
        return core::FormatDateTime(QStringLiteral("dd-mm-yyyy"), core::YmdToDate(ymd));
    } catch (const platform::ConversionError &) {
        return ymd;  // a hint shows what is there rather than nothing
    }
}

}  // namespace

QString FormatRubricContent(const QList<int> &ids)
{
    QString out;
    for (int id : ids)
        out += QString::number(id) + RubricSeparator;
    return out;
}

std::optional<QList<int>> ParseRubricContent(const QString &content, QString *error)
{
    QList<int> ids;
    qsizetype pos = 0;
    while (pos < content.size()) {
        qsizetype end = pos;
        while (end < content.size() && content.at(end) != RubricSeparator)
            ++end;
        const QString word = content.mid(pos, end - pos);
        bool ok = !word.isEmpty() && std::all_of(word.begin(), word.end(), isIdChar);
        const int id = ok ? word.toInt(&ok) : 0;
        if (!ok) {
            if (error)
                *error = QStringLiteral("onleesbaar tekstnummer \"%1\" op positie %2")
                             .arg(word.left(20).replace(RubricSeparator, QLatin1Char('|')))
                             .arg(pos + 1);
            return std::nullopt;
        }
        ids << id;
        pos = end + 1;
    }
    return ids;
}

QString FormatRubricLine(const RubricLine &line)
{
    QString out = line.id + RubricSeparator + line.kop + RubricSeparator + line.pages + RubricSeparator;
    if (!line.status.isEmpty())
        out += line.status + RubricSeparator;
    return out;
}

RubricLine ParseRubricLine(const QString &line)
{
    QString rest = line;
    RubricLine r;
    for (QString *f : {&r.id, &r.kop, &r.pages, &r.status})
        *f = takeField(rest);
    return r;
}

int RubricLineId(const QString &line)
{
    qsizetype n = 0;
    while (n < line.size() && isIdChar(line.at(n)))
        ++n;
    bool ok = false;
    const int id = line.left(n).toInt(&ok);
    return ok ? id : 0;
}

QList<int> RubricLineIds(const QStringList &lines)
{
    QList<int> ids;
    ids.reserve(lines.size());
    for (const QString &line : lines)
        ids << RubricLineId(line);
    return ids;
}

bool ContainsTextId(const QStringList &lines, int id)
{
    for (const QString &line : lines)
        if (RubricLineId(line) == id)
            return true;
    return false;
}

QString PagesText(const QString &pages)
{
    return pages == QLatin1String("1") ? pages + QStringLiteral(" pagina") : pages + QStringLiteral(" pagina's");
}

int PagesNumber(const QString &pages)
{
    const QString t = pages.trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok)
        throw platform::ConversionError(QStringLiteral("'%1' is geen geldig getal").arg(pages));
    return n;
}

RubricFill FillRubric(const QList<int> &ids, const std::function<std::optional<StoredText>(int)> &fetch,
                      const QDateTime &moment)
{
    RubricFill fill;
    for (int id : ids) {
        const std::optional<StoredText> text = fetch(id);
        RubricLine line{QString::number(id), QString(), QStringLiteral("0"), QString()};
        QString klok;
        if (text) {
            line.kop = text->kop;
            line.pages = text->pages;
            klok = text->klok;
        }
        const bool onAir = core::ClockListActive(klok, moment);
        line.status = onAir ? QStringLiteral("ok") : QStringLiteral("***");
        if (onAir)
            fill.pageTotal += PagesNumber(line.pages);
        if (!line.kop.isEmpty())
            fill.lines << FormatRubricLine(line);
    }
    return fill;
}

int InsertTexts(QStringList &lines, int pos, const QList<int> &ids, const AdmitText &admit)
{
    pos = std::clamp(pos, 0, int(lines.size()));
    int inserted = 0;
    for (int id : ids) {
        if (!admit(lines, id))
            continue;
        lines.insert(pos++, QString::number(id) + RubricSeparator);
        ++inserted;
    }
    return inserted;
}

int MoveLines(QStringList &lines, QList<int> rows, int pos, const AdmitText &admit)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList taken;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < 0 || *it >= lines.size())
            continue;
        taken.prepend(lines.takeAt(*it));
        if (*it < pos)
            --pos;
    }
    pos = std::clamp(pos, 0, int(lines.size()));
    const int first = pos;
    for (const QString &line : taken)
        if (admit(lines, RubricLineId(line)))
            lines.insert(pos++, line);
    return first;
}

QString ScheduleHint(const QString &kop, const QString &klok)
{
    QString hint = kop + QStringLiteral("\r\nLoopt van:");
    for (const core::ClockEntry &c : core::ParseClockList(klok))
        hint += QStringLiteral("\r\nVan ") + hintDate(c.startDate) + QLatin1Char(' ') + c.startTime.left(5) +
                QStringLiteral(" tot ") + hintDate(c.endDate) + QLatin1Char(' ') + c.endTime.left(5) +
                QStringLiteral(" (") + c.inTime.left(5) + QStringLiteral(" - ") + c.outTime.left(5) + QLatin1Char(')');
    return hint;
}

QStringList PlayoutBodyLines(const QString &body)
{
    QStringList lines;
    QString line;
    QString tag;
    bool inTag = false;
    for (QChar c : body) {
        if (inTag) {
            if (c != QLatin1Char('>')) {
                tag += c;
                continue;
            }
            inTag = false;
            const QString name = tag.trimmed();
            if (name == QLatin1String("br") || name == QLatin1String("hrt")) {
                lines << line;
                line.clear();
            } else if (name == QStringView(u"\u2264")) {
                line += QLatin1Char('<');  // the editor's escape for a typed "<"
            }
            continue;
        }
        if (c == QLatin1Char('<')) {
            inTag = true;
            tag.clear();
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

namespace {

// line cut into pieces no wider than width, at blanks where possible.
QStringList wrapLine(const QString &line, int width, const std::function<int(const QString &)> &measure)
{
    QStringList out;
    QString rest = line;
    while (measure(rest) > width && rest.size() > 1) {
        int fit = 1;
        while (fit < rest.size() && measure(rest.left(fit + 1)) <= width)
            ++fit;
        const qsizetype blank = rest.lastIndexOf(QLatin1Char(' '), fit);
        const int cut = blank > 0 ? int(blank) : fit;
        out << rest.left(cut);
        rest = rest.mid(cut);
        if (blank > 0)
            rest.remove(0, 1);
    }
    out << rest;
    return out;
}

}  // namespace

QList<QStringList> PlayoutScreens(const QString &body, const PlayoutMetrics &m)
{
    const int h = qMax(1, m.lineHeight);
    const int top = 10 + 4 * h;
    const int step = h + h / 2;
    const int width = qMax(1, m.width - 100);
    const auto measure = m.textWidth ? m.textWidth : [](const QString &s) { return int(s.size()); };
    QList<QStringList> screens{QStringList()};
    int y = top;
    for (const QString &line : PlayoutBodyLines(body)) {
        for (const QString &piece : wrapLine(line, width, measure)) {
            if (y + h > m.height && !screens.last().isEmpty()) {
                screens << QStringList();
                y = top;
            }
            screens.last() << piece;
            y += step;
        }
    }
    return screens;
}

PlayoutPosition PlayoutNext(PlayoutPosition p, int texts, int screensOfText)
{
    if (p.screen + 1 < screensOfText)
        return {p.text, p.screen + 1};
    if (p.text + 1 < texts)
        return {p.text + 1, 0};
    return p;
}

PlayoutPosition PlayoutPrevious(PlayoutPosition p)
{
    if (p.screen > 0)
        return {p.text, p.screen - 1};
    if (p.text > 0)
        return {p.text - 1, 0};
    return p;
}

QString PlayoutCounter(int number, int count, int screen, int screens)
{
    QString text =
        QStringLiteral("Tekst ") + QString::number(number) + QStringLiteral(" van de ") + QString::number(count);
    if (screens > 1)
        text += QStringLiteral(" (%1/%2)").arg(screen + 1).arg(screens);
    return text;
}

}  // namespace output
