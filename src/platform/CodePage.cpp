#include "platform/CodePage.h"

#include <array>

namespace platform {

namespace {

// Codes 128 to 255 of code page 850, sixteen to a row.
constexpr char16_t kUpper[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80 Ç ü é â ä à å ç
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88 ê ë è ï î ì Ä Å
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90 É æ Æ ô ö ò û ù
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98 ÿ Ö Ü ø £ Ø × ƒ
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0 á í ó ú ñ Ñ ª º
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8 ¿ ® ¬ ½ ¼ ¡ « »
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0 shades, box, Á Â À
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8 © box, ¢ ¥ box
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0 box, ã Ã
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8 box, ¤
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0 ð Ð Ê Ë È ı Í Î
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8 Ï box, blocks, ¦ Ì
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0 Ó ß Ô Ò õ Õ µ þ
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8 Þ Ú Û Ù ý Ý ¯ ´
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0 soft hyphen ± ‗ ¾ ¶ § ÷ ¸
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8 ° ¨ · ¹ ³ ² ■ no-break space
};

// The reverse table for the Latin-1 range, which holds most of the upper
// half; the few characters beyond it are searched in kUpper.
const std::array<short, 256> &latin1ToOem()
{
    static const std::array<short, 256> table = [] {
        std::array<short, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[c] = c < 128 ? short(c) : short(-1);
        for (int i = 0; i < 128; ++i)
            if (kUpper[i] < 256)
                t[kUpper[i]] = short(128 + i);
        return t;
    }();
    return table;
}

}  // namespace

QChar oemToUnicode(unsigned char code)
{
    return code < 128 ? QChar(char16_t(code)) : QChar(kUpper[code - 128]);
}

int unicodeToOem(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 256)
        return latin1ToOem()[u];
    for (int i = 0; i < 128; ++i)
        if (kUpper[i] == u)
            return 128 + i;
    return -1;
}

QString oemToUnicode(const QByteArray &oem)
{
    QString out;
    out.reserve(oem.size());
    for (char b : oem)
        out.append(oemToUnicode(static_cast<unsigned char>(b)));
    return out;
}

QByteArray unicodeToOem(const QString &text, char fallback)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const int code = unicodeToOem(c);
        out.append(code < 0 ? fallback : char(code));
    }
    return out;
}

}  // namespace platform
