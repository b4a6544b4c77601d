#include "platform/TempDir.h"

#include <QDir>

namespace platform {

QString TempDirectory()
{
    constexpr qsizetype kMaxLength = 512;
    QString path = QDir::toNativeSeparators(QDir::tempPath()).trimmed();
    while (path.size() > 1 && path.endsWith(QDir::separator()))
        path.chop(1);
    if (path.size() > kMaxLength) {
#ifdef Q_OS_WIN
        path = QDir::toNativeSeparators(QDir::rootPath() + QStringLiteral("Windows/Temp"));
#else
        path = QStringLiteral("/tmp");
#endif
    }
    return path;
}

}  // namespace platform
