#include "platform/Application.h"

#include "platform/Dialogs.h"
#include "platform/Errors.h"

#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

namespace platform {

namespace {

class TitleFitting : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *dialog = qobject_cast<QDialog *>(watched);
            if (dialog && dialog->isWindow() && !qobject_cast<QMessageBox *>(dialog) &&
                !(dialog->windowFlags() & Qt::FramelessWindowHint) && !dialog->windowTitle().isEmpty()) {
                const int width = TitleFitWidth(dialog->windowTitle());
                if (dialog->minimumWidth() < width && dialog->maximumWidth() >= width)
                    dialog->setMinimumWidth(width);
            }
        }
        return false;
    }
};

}  // namespace

int TitleFitWidth(const QString &title)
{
    QFont font = QApplication::font();
    font.setBold(true);  // title bars mostly are
    constexpr int kDecoration = 130;  // the window icon, three buttons and the frame
    return QFontMetrics(font).horizontalAdvance(title) + kDecoration;
}

void installTitleFitting()
{
    static TitleFitting *filter = nullptr;
    if (!filter) {
        filter = new TitleFitting(qApp);
        qApp->installEventFilter(filter);
    }
}

bool installDutchTranslations()
{
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    QLocale::setDefault(dutch);
    static QTranslator *translator = nullptr;
    if (translator)
        return true;
    auto *t = new QTranslator(qApp);
    if (!t->load(dutch, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    translator = t;
    return true;
}

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    installTitleFitting();
    installDutchTranslations();
}

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
