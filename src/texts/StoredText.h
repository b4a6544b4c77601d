#pragma once
// The stored form of a text body (tblteksten.body): the characters of every
// display line followed by "<hrt>" when the line ends with a hard return and
// by "<br>" otherwise. Reading it back keeps only the hard returns, so soft
// wraps are recomputed by whoever lays the text out again, and markup from
// elsewhere (the views' "<bold>", HTML from a mail) falls away.
//
// Escaping "<". Every "<" opens a tag for the reader, so a "<" the user typed
// would swallow the text up to the next ">". The writer therefore stores a
// typed "<" as the tag "<≤>" (U+2264 between the brackets), which the reader
// turns back into "<". Stored texts from before this escape were written from
// an 8-bit string in the Windows code page, which has no U+2264, so none of
// them contains this tag and all of them read exactly as they always did.
// Readers that only drop tags (playout, highlight view) show nothing for it,
// which is what they showed for a typed "<" before; readers that only
// replace the line-end tags should use readStoredText() instead.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace texts {

inline constexpr QStringView SoftBreakTag = u"<br>";
inline constexpr QStringView HardReturnTag = u"<hrt>";
inline constexpr QStringView LessThanTag = u"<\u2264>";

inline constexpr QChar HardReturn = u'\r';

// Appends the characters of one display line (without its CR), with "<"
// escaped, followed by the line-end tag.
void appendStoredLine(QString &out, QStringView chars, bool hardReturn);

// The plain text of a stored form:
//  - characters outside a tag are kept, except LF, which is dropped;
//  - "<" opens a tag that runs to the next ">" (to the end when there is
//    none); its name is trimmed and lowercased;
//  - "hrt" gives a hard return (CR), the escape tag gives "<", every other
//    tag ("br" included) gives nothing.
QString readStoredText(QStringView stored);

// The lines of a stored form as the editor showed them, for printing and for
// every other reader that puts a text out line by line: "<br>" and "<hrt>"
// (any case) both end a line, the escape tag gives "<", other tags give
// nothing. The line end after the last line opens no empty line of its own.
QStringList storedTextLines(QStringView stored);

}  // namespace texts
