#include "incoming/Mail.h"

#include "core/Dates.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace incoming {

namespace {

constexpr int kMaxDepth = 32;  // nested multiparts; deeper ones are read as body lines
const QByteArray kReadMark = QByteArrayLiteral("Read: yes\r\n");

// Lines of the data: LF ends a line, CR is dropped.
class LineReader {
public:
    explicit LineReader(const QByteArray &d) : m_data(d) {}
    bool next(QByteArray &line)
    {
        if (m_pos >= m_data.size())
            return false;
        qsizetype lf = m_data.indexOf('\n', m_pos);
        if (lf < 0)
            lf = m_data.size();
        line = m_data.mid(m_pos, lf - m_pos);
        line.replace('\r', QByteArray());
        m_pos = lf + 1;
        return true;
    }

private:
    const QByteArray &m_data;
    qsizetype m_pos = 0;
};

QString param(const QString &value, const QString &word)
{
    const QString lower = value.toLower();
    qsizetype at = lower.indexOf(word);
    if (at < 0)
        return {};
    at = value.indexOf(QLatin1Char('='), at);
    if (at < 0)
        return {};
    ++at;
    while (at < value.size() && (value[at] == QLatin1Char('"') || value[at] == QLatin1Char(' ')))
        ++at;
    qsizetype end = at;
    while (end < value.size() && value[end] != QLatin1Char('"') && value[end] != QLatin1Char(';'))
        ++end;
    return value.mid(at, end - at).trimmed();
}

QString htmlEscape(const QString &s)
{
    return s.toHtmlEscaped();
}

enum class End { Outer, Next, Data };

// Reads one part's headers and, unless headersOnly, its body and sub-parts
// (the procedure of the design note). Returns how the part ended.
End parsePart(LineReader &in, QList<TPart> &parts, const QString &outer, bool headersOnly, int depth)
{
    parts.append(TPart());
    const qsizetype index = parts.size() - 1;
    parts[index].setHeader(QStringLiteral("content-type"), QStringLiteral("text/plain"));
    QByteArray line;
    QString current;
    auto store = [&] {
        if (current.isEmpty())
            return;
        const qsizetype colon = current.indexOf(QLatin1Char(':'));
        if (colon > 0)
            parts[index].setHeader(current.left(colon).trimmed().toLower(), current.mid(colon + 1).trimmed());
        current.clear();
    };
    bool more = false;
    while ((more = in.next(line))) {
        if (line.trimmed().isEmpty())
            break;
        const QString text = DecodeHeaderWords(line);
        if (line.startsWith(' ') || line.startsWith('\t'))
            current += QLatin1Char(' ') + text.trimmed();
        else {
            store();
            current = text;
        }
    }
    store();
    if (headersOnly || !more)
        return End::Data;
    const QString own =
        parts[index].actualContentType().startsWith(QLatin1String("multipart")) ? parts[index].boundary() : QString();
    const QByteArray ownStart = "--" + own.toUtf8();
    const QByteArray outerStart = "--" + outer.toUtf8();
    const QByteArray outerEnd = outerStart + "--";
    while (in.next(line)) {
        if (!own.isEmpty() && line == ownStart && depth < kMaxDepth) {
            // Sub-parts until one ends the list; then this part reads on.
            End e = End::Next;
            while (e == End::Next)
                e = parsePart(in, parts, own, false, depth + 1);
            if (e == End::Data)
                return End::Data;
            continue;
        }
        if (line == outerEnd)
            return End::Outer;
        if (line == outerStart)
            return End::Next;
        parts[index].body += line + "\r\n";
    }
    return End::Data;
}

QString safeName(QString name)
{
    name = QFileInfo(name.replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
    QString out;
    for (const QChar c : name)
        if (c.unicode() >= 0x20 && c != QLatin1Char(':') && c != QLatin1Char('/'))
            out += c;
    out = out.trimmed();
    return out == QLatin1String(".") || out == QLatin1String("..") ? QString() : out.left(120);
}

}  // namespace

QString TPart::header(const QString &name) const
{
    for (const auto &h : m_headers)
        if (h.first == name)
            return h.second;
    return {};
}

void TPart::setHeader(const QString &name, const QString &value)
{
    for (auto &h : m_headers) {
        if (h.first == name) {
            h.second = value;
            return;
        }
    }
    m_headers.append({name, value});
}

QString TPart::actualContentType() const
{
    return header(QStringLiteral("content-type")).section(QLatin1Char(';'), 0, 0).trimmed().toLower();
}

QString TPart::boundary() const
{
    const QString ct = header(QStringLiteral("content-type"));
    const qsizetype at = ct.toLower().indexOf(QLatin1String("boundary"));
    return at < 0 ? QString() : param(ct.mid(at), QStringLiteral("boundary"));
}

QString TPart::decodedText() const
{
    const QString cte = header(QStringLiteral("content-transfer-encoding")).toLower();
    QByteArray bytes = body;
    if (cte.contains(QLatin1String("quoted-printable")))
        bytes = DecodeQuotedPrintable(body);
    else if (cte.contains(QLatin1String("base64")))
        bytes = DecodeBase64Lines(body);
    return DecodeCharset(bytes, param(header(QStringLiteral("content-type")), QStringLiteral("charset")));
}

QString TPart::fileName() const
{
    const QString ct = header(QStringLiteral("content-type")).toLower();
    QString name;
    if (ct.contains(QLatin1String("name")))
        name = param(ct.mid(ct.indexOf(QLatin1String("name"))), QStringLiteral("name"));
    else if (ct.contains(QLatin1String("file")))
        name = param(ct, QStringLiteral("file"));
    if (name.isEmpty()) {
        const QString cd = header(QStringLiteral("content-disposition")).toLower();
        if (cd.contains(QLatin1String("filename")))
            name = param(cd.mid(cd.indexOf(QLatin1String("filename"))), QStringLiteral("filename"));
    }
    return safeName(name);
}

QStringList TPart::render(const QString &attachmentDir, QString *error) const
{
    const QString type = actualContentType();
    const QString cte = header(QStringLiteral("content-transfer-encoding")).toLower();
    if (type.contains(QLatin1String("plain")) || type.contains(QLatin1String("html"))) {
        QString text = decodedText();
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QStringList lines = text.split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        if (type.contains(QLatin1String("plain")))
            for (QString &l : lines)
                l = htmlEscape(l) + QStringLiteral("<br>");
        lines << QStringLiteral("<hr>");
        return lines;
    }
    if (type.contains(QLatin1String("multipart")))
        return {};
    const QStringList raw = QString::fromLatin1(body).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QString name = fileName();
    if (!cte.contains(QLatin1String("base64")) || name.isEmpty() || attachmentDir.isEmpty())
        return raw;
    QFile f(QDir(attachmentDir).filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(DecodeBase64Lines(body)) < 0) {
        if (error)
            *error = f.errorString();
        return raw;
    }
    f.close();
    if (type.contains(QLatin1String("image")))
        return {QStringLiteral("<img src=\"file://") + attachmentDir + QLatin1Char('/') + name.toHtmlEscaped() +
                QStringLiteral("\">")};
    return {};
}

TMail::TMail(const QString &attachmentDir) : m_dir(attachmentDir)
{
    if (m_dir.isEmpty())
        return;
    QDir dir(m_dir);
    dir.mkpath(QStringLiteral("."));
    for (const QString &f : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(f);
}

TMail::~TMail()
{
    if (m_dir.isEmpty())
        return;
    QDir dir(m_dir);
    for (const QString &f : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(f);
}

void TMail::parse(const QByteArray &data, bool headersOnly)
{
    m_parts.clear();
    LineReader in(data);
    parsePart(in, m_parts, QStringLiteral("$$##!!"), headersOnly, 0);
}

bool TMail::load(const QString &path, bool headersOnly)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // A header read needs only the start; a page of 64 KiB holds any header.
    parse(headersOnly ? f.read(64 * 1024) : f.readAll(), headersOnly);
    return true;
}

QString TMail::header(const QString &name) const
{
    return m_parts.isEmpty() ? QString() : m_parts.first().header(name);
}

QString TMail::sender() const
{
    const QString from = header(QStringLiteral("from"));
    const QString before = from.section(QLatin1Char('<'), 0, 0).trimmed();
    if (!before.isEmpty())
        return before;
    const qsizetype lt = from.indexOf(QLatin1Char('<'));
    const qsizetype gt = from.indexOf(QLatin1Char('>'), lt + 1);
    return lt < 0 ? QString() : from.mid(lt + 1, gt < 0 ? -1 : gt - lt - 1);
}

bool TMail::isRead() const
{
    return header(QStringLiteral("read")) == QLatin1String("yes");
}

QString TMail::renderPage(QString *subject, QString *plainText, QStringList *errors) const
{
    QStringList page = {QStringLiteral("<html><head></head><body bgcolor=white topmargin=3 leftmargin=3>"),
                        QStringLiteral("<style type=\"text/css\">"),
                        QStringLiteral("body,td { font-family: verdana,arial; font-size: 9; color: black }"),
                        QStringLiteral("</style>"), QStringLiteral("<table width=\"100%\" bgcolor=\"#d0d0d0\">")};
    const QPair<QString, QString> rows[] = {
        {QStringLiteral("Van"), header(QStringLiteral("from"))},
        {QStringLiteral("Datum"), MailDateText(header(QStringLiteral("date")))},
        {QStringLiteral("Onderwerp"), header(QStringLiteral("subject"))},
        {QStringLiteral("Status"),
         isRead() ? QStringLiteral("gelezen") : QStringLiteral("nog niet gemarkeerd als gelezen")}};
    for (const auto &[label, value] : rows)
        if (!value.trimmed().isEmpty())
            page << QStringLiteral("<tr><td width=70><b>") + label + QStringLiteral("</b>: </td><td>") +
                        htmlEscape(value) + QStringLiteral("</td></tr>");
    if (subject)
        *subject = header(QStringLiteral("subject"));
    page << QStringLiteral("</table><p>");
    QString plain;
    for (const TPart &p : m_parts) {
        QString error;
        const QStringList lines = p.render(m_dir, &error);
        if (!error.isEmpty() && errors)
            *errors << QStringLiteral("Error: ") + error;
        if (plain.isEmpty() && p.actualContentType().contains(QLatin1String("text")))
            plain = StripTags(lines.join(QStringLiteral("\r\n")));
        page << lines;
    }
    page << QStringLiteral("</body></html>");
    if (plainText)
        *plainText = plain;
    return page.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QByteArray DecodeQuotedPrintable(const QByteArray &data)
{
    QByteArray out;
    out.reserve(data.size());
    auto hex = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c != '=') {
            out += c;
            continue;
        }
        // A soft line break: "=" at the end of a line (blanks may follow).
        qsizetype j = i + 1;
        while (j < data.size() && (data[j] == ' ' || data[j] == '\t'))
            ++j;
        if (j < data.size() && (data[j] == '\r' || data[j] == '\n')) {
            if (data[j] == '\r' && j + 1 < data.size() && data[j + 1] == '\n')
                ++j;
            i = j;
            continue;
        }
        if (j >= data.size()) {
            i = j;
            continue;
        }
        const int h = i + 2 < data.size() ? hex(data[i + 1]) : -1;
        const int l = i + 2 < data.size() ? hex(data[i + 2]) : -1;
        if (h < 0 || l < 0) {
            out += c;  // not an escape: kept as written
            continue;
        }
        out += char(h * 16 + l);
        i += 2;
    }
    return out;
}

QByteArray DecodeBase64Lines(const QByteArray &data)
{
    QByteArray clean;
    clean.reserve(data.size());
    for (char c : data)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/' ||
            c == '=')
            clean += c;
    return QByteArray::fromBase64(clean);
}

QString DecodeCharset(const QByteArray &data, const QString &charset)
{
    const QString name = charset.trimmed().toLower();
    if (!name.isEmpty() && name != QLatin1String("us-ascii")) {
        QStringDecoder decoder(name.toLatin1().constData());
        if (decoder.isValid()) {
            const QString text = decoder.decode(data);
            if (!decoder.hasError())
                return text;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(data);
    return utf8.hasError() ? QString::fromLatin1(data) : text;
}

QString DecodeHeaderWords(const QByteArray &raw)
{
    const QString in = DecodeCharset(raw, QString());
    QString out;
    qsizetype pos = 0;
    bool lastWasWord = false;
    while (pos < in.size()) {
        const qsizetype start = in.indexOf(QLatin1String("=?"), pos);
        if (start < 0)
            break;
        const qsizetype q1 = in.indexOf(QLatin1Char('?'), start + 2);
        const qsizetype q2 = q1 < 0 ? -1 : in.indexOf(QLatin1Char('?'), q1 + 1);
        const qsizetype end = q2 < 0 ? -1 : in.indexOf(QLatin1String("?="), q2 + 1);
        if (end < 0 || q2 != q1 + 2)
            break;
        const QString between = in.mid(pos, start - pos);
        // Blanks between two encoded words are not part of the text.
        if (!(lastWasWord && between.trimmed().isEmpty()))
            out += between;
        const QString charset = in.mid(start + 2, q1 - start - 2).section(QLatin1Char('*'), 0, 0);
        const QChar enc = in[q1 + 1].toLower();
        QByteArray text = in.mid(q2 + 1, end - q2 - 1).toLatin1();
        if (enc == QLatin1Char('q')) {
            text.replace('_', ' ');
            out += DecodeCharset(DecodeQuotedPrintable(text), charset);
        } else if (enc == QLatin1Char('b')) {
            out += DecodeCharset(DecodeBase64Lines(text), charset);
        } else {
            out += in.mid(start, end + 2 - start);
        }
        pos = end + 2;
        lastWasWord = true;
    }
    return out + in.mid(pos);
}

QString StripTags(const QString &html)
{
    QString out;
    bool inTag = false, inQuote = false;
    for (const QChar c : html) {
        if (inTag) {
            if (c == QLatin1Char('"'))
                inQuote = !inQuote;
            else if (c == QLatin1Char('>') && !inQuote)
                inTag = false;
            continue;
        }
        if (c == QLatin1Char('<')) {
            inTag = true;
            inQuote = false;
            continue;
        }
        out += c;
    }
    out.replace(QLatin1String("&lt;"), QLatin1String("<"));
    out.replace(QLatin1String("&gt;"), QLatin1String(">"));
    out.replace(QLatin1String("&quot;"), QLatin1String("\""));
    out.replace(QLatin1String("&#39;"), QLatin1String("'"));
    out.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return out;
}

QString MailDateText(const QString &header)
{
    const QDateTime moment = QDateTime::fromString(header.trimmed(), Qt::RFC2822Date);
    if (!moment.isValid())
        return header;
    return core::FormatDateTime(QStringLiteral("ddd d mmm yyyy hh:nn"), QDateTime(moment.date(), moment.time()));
}

bool ToggleReadMark(const QString &path, QString *error)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = in.errorString();
        return false;
    }
    const QByteArray data = in.readAll();
    const QDateTime modified = in.fileTime(QFileDevice::FileModificationTime);
    in.close();
    const QByteArray fresh = data.startsWith(kReadMark) ? data.mid(kReadMark.size()) : kReadMark + data;
    // Written aside and put in place at once: a failed write leaves the message as it was.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(fresh) != fresh.size() || !out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    QFile done(path);
    if (done.open(QIODevice::ReadWrite))
        done.setFileTime(modified, QFileDevice::FileModificationTime);
    return true;
}

}  // namespace incoming
