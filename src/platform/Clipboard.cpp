#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

namespace {
Clipboard *g_installed = nullptr;

Clipboard &defaultClipboard()
{
    static QtClipboard qt;
    return qt;
}

// QClipboard needs a QGuiApplication; without one the Qt clipboard behaves
// as an empty clipboard that forgets what it is given.
QClipboard *desktopClipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}
}  // namespace

Clipboard &clipboard()
{
    return g_installed ? *g_installed : defaultClipboard();
}

Clipboard *setClipboard(Clipboard *c)
{
    Clipboard *previous = g_installed;
    g_installed = c;
    return previous;
}

QString toCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            out.append(u"\r\n");
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            out.append(u"\r\n");
        } else {
            out.append(c);
        }
    }
    return out;
}

QString QtClipboard::text() const
{
    QClipboard *cb = desktopClipboard();
    return cb ? toCrLf(cb->text()) : QString();
}

void QtClipboard::setText(const QString &text)
{
    QClipboard *cb = desktopClipboard();
    if (!cb)
        return;
    // Qt speaks LF and converts to the desktop's own convention.
    QString lf = toCrLf(text);
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    cb->setText(lf);
}

}  // namespace platform
