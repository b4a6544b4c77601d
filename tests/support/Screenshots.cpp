#include "support/Screenshots.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace testsupport {

QString screenshotPath(const QString &name)
{
    const QString dir = qEnvironmentVariable("QUILLON_BUILD_DIR", QDir::tempPath()) + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}

bool saveScreenshot(QWidget *w, const QString &name)
{
    return w->grab().save(screenshotPath(name));
}

}  // namespace testsupport
