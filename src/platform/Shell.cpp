#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QRegularExpression>

namespace platform {

namespace {
OpenUrlHook &hook()
{
    static OpenUrlHook h;
    return h;
}
}  // namespace

OpenUrlHook setOpenUrlHook(OpenUrlHook h)
{
    OpenUrlHook previous = std::move(hook());
    hook() = std::move(h);
    return previous;
}

QUrl shellTarget(const QString &target)
{
    const QString t = target.trimmed();
    if (t.isEmpty())
        return {};
    // A scheme is two or more letters, so "C:\\map\\x.doc" stays a path.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(t).hasMatch())
        return QUrl(t, QUrl::TolerantMode);
    if (t.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + t, QUrl::TolerantMode);
    return QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath());
}

bool shellOpen(const QString &target)
{
    const QUrl url = shellTarget(target);
    if (!url.isValid() || url.isEmpty())
        return false;
    return hook() ? hook()(url) : QDesktopServices::openUrl(url);
}

}  // namespace platform
