// The client's entry point: the program's own directory, the "version"
// parameter, the long-lived windows, the registry, the message loop.
//
// QUILLON_STARTUP_REPORT=1 prints how long it took from start to a logged-in
// main window, for measuring.

#include "Openers.h"

#include "core/Global.h"
#include "core/MainForm.h"
#include "core/PauzeForm.h"
#include "platform/Application.h"
#include "platform/FileVersion.h"
#include "views/ViewForm.h"

#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QElapsedTimer started;
    started.start();
    // Errors raised in event handlers end the current action in an error box,
    // not the program.
    platform::Application app(argc, argv);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    // No display name: the window system would append it to every caption,
    // which already names the program.

    // Before anything connects: "version" only writes verinfo.txt.
    if (core::HasVersionParameter(QCoreApplication::arguments())) {
        core::WriteVerInfo(QCoreApplication::applicationDirPath(), platform::fileVersion());
        return 0;
    }

    core::TMain main;
    views::TViewForm viewForm(&main);
    viewForm.setWindowFlag(Qt::Window);
    core::TPauzeForm::instance();  // the waiting window lives from start-up on
    app::RegisterOpeners(&viewForm);

    if (qEnvironmentVariableIntValue("QUILLON_STARTUP_REPORT") == 1) {
        QObject::connect(&main, &core::TMain::readyForWork, &main, [&started] {
            std::fprintf(stderr, "quillon: logged in and main window shown after %lld ms\n",
                         static_cast<long long>(started.elapsed()));
        });
    }
    main.show();
    return app.exec();
}
