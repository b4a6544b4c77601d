#pragma once
// Screenshots for reviewers: the GUI tests write pictures of their windows
// into <build>/screenshots (QUILLON_BUILD_DIR, set by ctest).

#include <QString>

class QWidget;

namespace testsupport {

// The path of a screenshot file called name; creates the folder.
QString screenshotPath(const QString &name);

// Grabs w as it is drawn now and saves it as screenshotPath(name); false when
// it could not be written.
bool saveScreenshot(QWidget *w, const QString &name);

}  // namespace testsupport
