#pragma once
// OEM code page 850 (the DOS code page of Western Europe) to Unicode and
// back. The classic client typed "ALT codes" and offered special characters
// by their OEM number; those numbers stay the user's vocabulary, so the
// client keeps the one table that gives them meaning. Codes 0 to 127 are
// ASCII; 128 to 255 come from the table in CodePage.cpp.

#include <QByteArray>
#include <QChar>
#include <QString>

namespace platform {

// The Unicode character of OEM code `code` (0 to 255).
QChar oemToUnicode(unsigned char code);

// The OEM code of c, or -1 when code page 850 has no such character.
int unicodeToOem(QChar c);

// Whole strings. Characters without an OEM code become `fallback`.
QString oemToUnicode(const QByteArray &oem);
QByteArray unicodeToOem(const QString &text, char fallback = '?');

}  // namespace platform
