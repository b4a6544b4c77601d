#pragma once
// TMail and TPart: a bulletin-board message (".cnb", one RFC 822 message per
// file) read into MIME parts, and what the mail viewer makes of it. No
// widgets, so the parser is tested and fuzzed directly.
//
// DESIGN
// The structure is read line by line as the message folders always were: a
// part's headers up to the first blank line, then body lines until a line
// "--" + its own boundary starts its sub-parts, or "--" + the enclosing
// boundary (with "--" after it) ends the part. The outermost boundary is a
// marker that never occurs. Malformed input never stops the reader: what
// cannot be read is kept as raw lines, nesting is bounded, and the end of
// the data ends every part quietly. Decoding follows RFC 2045 (base64 and
// quoted-printable), RFC 2047 for encoded words in headers, and each text
// part's charset is converted to Unicode.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace incoming {

class TPart {
public:
    // Header value by lower-case name ("" when absent); a later header of
    // the same name has replaced an earlier one.
    QString header(const QString &name) const;
    void setHeader(const QString &name, const QString &value);
    const QList<QPair<QString, QString>> &headers() const { return m_headers; }

    // content-type up to the first ";", trimmed, lower case.
    QString actualContentType() const;
    // The boundary parameter of a multipart content-type, "" otherwise.
    QString boundary() const;

    QByteArray body;  // raw lines, each ended with CR LF

    // The part as HTML lines (see the viewer); an attachment is decoded into
    // attachmentDir. `error` receives a message when writing it failed.
    QStringList render(const QString &attachmentDir, QString *error = nullptr) const;
    // The body with its transfer encoding undone and its charset converted.
    QString decodedText() const;
    // The attachment's file name: safe for the attachment folder (no folder
    // parts, no control characters); "" when the part names none.
    QString fileName() const;

private:
    QList<QPair<QString, QString>> m_headers;
};

class TMail {
public:
    // Empties attachmentDir (creating it when missing), as every new message
    // does; an empty path leaves the file system alone (headers-only reads).
    explicit TMail(const QString &attachmentDir = QString());
    ~TMail();
    TMail(const TMail &) = delete;
    TMail &operator=(const TMail &) = delete;

    // Parses a whole message; headersOnly stops after the first part's headers.
    void parse(const QByteArray &data, bool headersOnly = false);
    // Reads the file and parses it; false when it cannot be read.
    bool load(const QString &path, bool headersOnly = false);

    const QList<TPart> &parts() const { return m_parts; }
    QString header(const QString &name) const;  // of the first part: the message's headers
    QString attachmentDir() const { return m_dir; }

    // The sender as the list shows it: the from header before "<", trimmed;
    // when that is empty, the address between "<" and ">".
    QString sender() const;
    bool isRead() const;  // header "read" is "yes"

    // The page the viewer shows ("temp.htm"): the header table, then every
    // part rendered. subject and plainText receive the message's subject and
    // the plain text of its first text part.
    QString renderPage(QString *subject, QString *plainText, QStringList *errors = nullptr) const;

private:
    QList<TPart> m_parts;
    QString m_dir;
};

// RFC 2045 decoders; invalid input is skipped, never fatal.
QByteArray DecodeQuotedPrintable(const QByteArray &data);
QByteArray DecodeBase64Lines(const QByteArray &data);
// Bytes of a charset as text (UTF-8 or Latin-1 when the name is unknown).
QString DecodeCharset(const QByteArray &data, const QString &charset);
// Header text with RFC 2047 encoded words decoded.
QString DecodeHeaderWords(const QByteArray &raw);

// A "Date" header as the desk reads dates: "do 10 dec 2026 09:12" with Dutch
// names, at the sender's stated time of day; a header that does not read as
// an RFC 2822 date is shown as it is.
QString MailDateText(const QString &header);

// Markup tags removed (text between "<" and ">", double-quoted strings
// inside a tag skipped as a whole) and the basic HTML character references
// decoded.
QString StripTags(const QString &html);

// Toggles the read mark: adds the 11 bytes "Read: yes" CR LF in front, or
// removes exactly them. The rest of the file stays byte for byte, and so
// does its modification time (the folder lists by it). False and `error`
// when it cannot be done; the file is then unchanged.
bool ToggleReadMark(const QString &path, QString *error);

}  // namespace incoming
