#pragma once
// Colours are stored as the classic 0x00BBGGRR number (team colours in
// tblredactie.color, playout colours in the settings, "back" tags in the log)
// and converted here only, so red is 0x0000FF everywhere in stored data.

#include <QColor>
#include <QString>

#include <optional>

namespace core {

QColor ColorFromBgr(quint32 bgr);  // the top byte is ignored
quint32 ColorToBgr(const QColor &color);

// Reads a hexadecimal number, with or without a leading "$", blanks around it
// allowed; at most eight digits. nullopt when it is not one.
std::optional<quint32> ParseHex(const QString &text);

// ParseHex read as 0x00BBGGRR.
std::optional<QColor> ParseBgrColor(const QString &text);

// The colour as six hexadecimal digits BBGGRR (upper case, no "$"), the form
// written back to stored data.
QString BgrHex(const QColor &color);

}  // namespace core
