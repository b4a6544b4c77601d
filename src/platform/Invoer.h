#pragma once
// TInvoer: the small general-purpose input dialog that asks for one line of
// text (messages, names, titles). The dialog service shows it; code asks
// through platform::dialogs().inputQuery so tests can script the answer.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace platform {

class TInvoer : public QDialog {
    Q_OBJECT
public:
    explicit TInvoer(QWidget *parent = nullptr);

    // Shows the dialog modally with caption, prompt and text (all of it
    // selected). On OK text := the typed text and the result is true;
    // otherwise text is unchanged. maxLength > 0 limits the typed text.
    bool ask(const QString &caption, const QString &prompt, QString &text, int maxLength = 0);

    // Prepares the controls as ask() does, without showing; tests drive it.
    void prepare(const QString &caption, const QString &prompt, const QString &text, int maxLength = 0);
    QString text() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enforceMaxLength();

    QLabel *Label1 = nullptr;  // the prompt
    QPlainTextEdit *Memo1 = nullptr;  // one line: Enter presses the default button
    QPushButton *Button1 = nullptr;  // "&Ok", default
    QPushButton *Button2 = nullptr;  // "&Afbreken", cancel
    int m_maxLength = 0;
};

}  // namespace platform
