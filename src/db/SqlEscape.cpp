#include "db/SqlEscape.h"

QString SqlEscape(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c.unicode() == 0)
            continue;  // PostgreSQL text cannot hold NUL, and TPostgres refuses a statement with one
        if (c == QLatin1Char('\'') || c == QLatin1Char('\\'))
            out.append(QLatin1Char('\\'));
        out.append(c);
    }
    return out;
}
