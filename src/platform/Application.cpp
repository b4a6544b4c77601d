#include "platform/Application.h"

#include "platform/Dialogs.h"
#include "platform/Errors.h"

namespace platform {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showUncaught(std::current_exception());
        return false;
    }
}

QString errorText(std::exception_ptr error)
{
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const ConversionError &e) {
        return e.text();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
    }
    return QStringLiteral("Onbekende fout");
}

void showUncaught(std::exception_ptr error)
{
    showError(errorText(error));
}

}  // namespace platform
