#include "core/Colors.h"

namespace core {

QColor ColorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 ColorToBgr(const QColor &color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

std::optional<quint32> ParseHex(const QString &text)
{
    QStringView digits = QStringView(text).trimmed();
    if (digits.startsWith(u'$'))
        digits = digits.mid(1);
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (QChar c : digits) {
        const int d = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                      : (c >= u'a' && c <= u'f')       ? c.unicode() - 'a' + 10
                      : (c >= u'A' && c <= u'F')       ? c.unicode() - 'A' + 10
                                                       : -1;
        if (d < 0)
            return std::nullopt;
        value = value * 16 + quint32(d);
    }
    return value;
}

std::optional<QColor> ParseBgrColor(const QString &text)
{
    if (const auto value = ParseHex(text))
        return ColorFromBgr(*value);
    return std::nullopt;
}

QString BgrHex(const QColor &color)
{
    return QStringLiteral("%1").arg(ColorToBgr(color), 6, 16, QLatin1Char('0')).toUpper();
}

}  // namespace core
