#pragma once
// The application's error display. A conversion error (a malformed ini value,
// a stored date that is no date) or another error raised in an event handler
// travels up to the event loop uncaught, by design: the current action stops
// there. Qt does not let exceptions pass through its event loop, so this
// QApplication catches them in notify(), shows the text in the error box
// through the dialog service, and carries on with the next event.

#include <QApplication>

#include <exception>
#include <functional>

namespace platform {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// The text the error display shows for an error: ConversionError's own text,
// else what() of a standard exception, else a fixed text.
QString errorText(std::exception_ptr error);

// The width a window needs so that the window manager can show its whole
// title: the title in the title-bar font and room for the icon and buttons.
int TitleFitWidth(const QString &title);

// From now on every dialog, when shown, is at least TitleFitWidth of its
// title wide: a small dialog (a question, a chooser) never cuts its title.
// Message boxes size themselves and are left alone. Application installs it.
void installTitleFitting();

// Qt's own texts (the print and file dialogs, standard buttons, context
// menus of edit fields) in Dutch, and the Dutch locale for what Qt formats
// itself (calendar, date fields). Loads qtbase_nl from Qt's translations
// folder (Debian: qt6-translations-l10n); false when it could not be loaded (Qt then speaks English, nothing else fails).
// Application installs it.
bool installDutchTranslations();

// Shows the error in the error box. What Application::notify does with an
// error that reached the event loop; callers that catch errors themselves
// (a dispatcher that must read on) use it to show them the same way.
void showUncaught(std::exception_ptr error);

}  // namespace platform
