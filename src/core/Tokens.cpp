#include "core/Tokens.h"

namespace core {

QString TakeWhile(QString &text, const CharSet &set)
{
    qsizetype n = 0;
    while (n < text.size() && set.contains(text.at(n)))
        ++n;
    const QString taken = text.left(n);
    text.remove(0, n);
    return taken;
}

QString TakeUntil(QString &text, const CharSet &set)
{
    qsizetype n = 0;
    while (n < text.size() && !set.contains(text.at(n)))
        ++n;
    const QString taken = text.left(n);
    text.remove(0, n);
    return taken;
}

}  // namespace core
