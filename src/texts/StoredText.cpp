#include "texts/StoredText.h"

namespace texts {

void appendStoredLine(QString &out, QStringView chars, bool hardReturn)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        if (chars[i] == u'<') {
            out.append(chars.sliced(from, i - from));
            out.append(LessThanTag);
            from = i + 1;
        }
    }
    out.append(chars.sliced(from));
    out.append(hardReturn ? HardReturnTag : SoftBreakTag);
}

namespace {

// readStoredText, with "<br>" read as a hard return when softBreaks is set.
QString readStored(QStringView stored, bool softBreaks)
{
    const QStringView escapeName = LessThanTag.sliced(1, LessThanTag.size() - 2);
    QString out;
    out.reserve(stored.size());
    qsizetype i = 0;
    while (i < stored.size()) {
        // Plain characters are copied in runs up to the next tag or LF.
        qsizetype plain = i;
        while (plain < stored.size() && stored[plain] != u'<' && stored[plain] != u'\n')
            ++plain;
        if (plain > i) {
            out.append(stored.sliced(i, plain - i));
            i = plain;
            continue;
        }
        const QChar c = stored[i];
        if (c == u'<') {
            const qsizetype close = stored.indexOf(u'>', i + 1);
            if (close < 0)
                break;  // an open tag runs to the end and takes the rest with it
            const QStringView name = stored.sliced(i + 1, close - i - 1).trimmed();
            if (name.compare(u"hrt", Qt::CaseInsensitive) == 0 ||
                (softBreaks && name.compare(u"br", Qt::CaseInsensitive) == 0))
                out.append(HardReturn);
            else if (name == escapeName)
                out.append(u'<');
            i = close + 1;
            continue;
        }
        if (c != u'\n')
            out.append(c);
        ++i;
    }
    return out;
}

}  // namespace

QString readStoredText(QStringView stored)
{
    return readStored(stored, false);
}

QStringList storedTextLines(QStringView stored)
{
    QString text = readStored(stored, true);
    if (text.endsWith(HardReturn))
        text.chop(1);
    if (text.isEmpty())
        return {};
    return text.split(HardReturn);
}

}  // namespace texts
