#pragma once
// Every message box, input query, colour, print and file dialog goes through
// this interface. The application installs QtDialogs; tests install a scripted
// implementation that expects each prompt and answers it, so no test ever
// blocks on a modal box.

#include <QColor>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace platform {

enum class BoxType {
    Error,  // "Fout", red cross
    Warning,  // "Waarschuwing", exclamation mark
    Information,  // "Informatie", the i
    Confirmation  // "Bevestigen", question mark
};

enum class BoxButtons {
    Ok,  // "OK"
    OkCancel,  // "OK", "Annuleren"
    YesNo,  // "Ja", "Nee"
    YesNoCancel  // "Ja", "Nee", "Annuleren"
};

// Modal results keep their classic numbers: callers compare with them and
// some windows close with a stored number (6 for "Kiezen").
enum class ModalResult { None = 0, Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a modal box of the given type; returns the button pressed
    // (Cancel when the box is closed without a button).
    virtual ModalResult messageBox(BoxType type, const QString &text, BoxButtons buttons) = 0;

    // The shared input dialog TInvoer: asks for one line of text under a
    // window caption and a prompt. Returns false when cancelled (value
    // unchanged); value holds the start text on entry and the answer on
    // return. maxLength > 0 limits the answer's length.
    virtual bool inputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength = 0) = 0;

    // Colour dialog; false when cancelled.
    virtual bool chooseColor(QColor &color) = 0;

    // File dialogs; an empty result means cancelled.
    virtual QString openFileName(const QString &caption, const QString &dir, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &dir, const QString &filter) = 0;

    // Print dialog on an already configured printer; false when cancelled.
    virtual bool printDialog(QPrinter &printer) = 0;
};

// The installed implementation. Before anything is installed a QtDialogs
// instance is used.
Dialogs &dialogs();

// Installs d (not owned) and returns the previous one; nullptr restores the
// default Qt implementation.
Dialogs *setDialogs(Dialogs *d);

// Fixed captions and button texts of the message boxes.
QString boxCaption(BoxType type);
QStringList buttonTexts(BoxButtons buttons);

// Shorthands used all over the client.
void showError(const QString &text);
void showWarning(const QString &text);
void showInformation(const QString &text);
bool confirm(const QString &text);  // Ja/Nee; true for Ja

// The real dialogs on screen.
class QtDialogs : public Dialogs {
public:
    ModalResult messageBox(BoxType type, const QString &text, BoxButtons buttons) override;
    bool inputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength = 0) override;
    bool chooseColor(QColor &color) override;
    QString openFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override;
    bool printDialog(QPrinter &printer) override;
};

}  // namespace platform
