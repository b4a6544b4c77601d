#pragma once
// A Dialogs implementation for tests: every prompt the code under test shows
// must have been expected, in order, with its kind and exact text. An
// unexpected prompt records a failure and answers Cancel, so a test never
// blocks on a modal box.

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace testsupport {

class ScriptedDialogs : public platform::Dialogs {
public:
    ScriptedDialogs();  // installs itself
    ~ScriptedDialogs() override;  // restores the previous implementation

    // Expect a message box of this type and text, answered with result.
    void expectBox(platform::BoxType type, const QString &text,
                   platform::ModalResult answer = platform::ModalResult::Ok);
    // Expect an input query with this prompt; answer with value, or cancel.
    void expectInput(const QString &prompt, const QString &answer, bool ok = true);
    void expectColor(const QColor &answer, bool ok = true);
    void expectOpenFile(const QString &answer);
    void expectSaveFile(const QString &answer);
    void expectPrint(bool ok = true);

    // Everything shown so far, one line each ("box Error: text", "input: prompt" ...).
    QStringList shown() const { return m_shown; }
    // Expectations not yet consumed and unexpected prompts; empty when all went as scripted.
    QStringList problems() const;
    bool allConsumed() const { return m_next == m_script.size(); }

    platform::ModalResult messageBox(platform::BoxType type, const QString &text,
                                     platform::BoxButtons buttons) override;
    bool inputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength = 0) override;
    // The caption and maximum length of the last input query.
    QString lastInputCaption() const { return m_lastCaption; }
    int lastInputMaxLength() const { return m_lastMaxLength; }
    bool chooseColor(QColor &color) override;
    QString openFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override;
    bool printDialog(QPrinter &printer) override;

private:
    struct Step {
        QString kind;  // "box", "input", "color", "open", "save", "print"
        platform::BoxType type = platform::BoxType::Information;
        QString text;
        QString answer;
        QColor color;
        platform::ModalResult result = platform::ModalResult::Ok;
        bool ok = true;
    };
    const Step *take(const QString &kind, const QString &description);

    QList<Step> m_script;
    qsizetype m_next = 0;
    QStringList m_shown;
    QStringList m_unexpected;
    platform::Dialogs *m_previous = nullptr;
    QString m_lastCaption;
    int m_lastMaxLength = 0;
};

QString boxTypeName(platform::BoxType type);

}  // namespace testsupport
