#pragma once
// TArchiefForm: the window around the archive search. The main menu opens it
// for plain searching; windows that link or import archive texts show its
// "&Kiezen" button and read the chosen ids or the plain text after it closed
// with Yes.

#include "core/Openers.h"

#include <QDialog>
#include <QList>

class QPushButton;

namespace core {
class TRegistry;
}

namespace texts {

class TArchiefFrame;

class TArchiefForm : public QDialog {
    Q_OBJECT
public:
    explicit TArchiefForm(QWidget *parent = nullptr);

    // Shows or hides "&Kiezen" (hidden unless the opener shows it).
    void setChoosing(bool on);

    TArchiefFrame *ArchiefFrame1() const { return m_frame; }
    QPushButton *sluiten() const { return m_close; }
    QPushButton *kies() const { return m_choose; }

    // After "&Kiezen": the ids of the selected lines in list order, and the
    // plain text of the text shown last.
    QList<int> chosenIds() const;
    QString plainText() const;

    // Escape and the title bar's close button close as "&Sluiten" does.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void kiesClick();

    TArchiefFrame *m_frame;
    QPushButton *m_close;
    QPushButton *m_choose;
};

// Creates the window for request, shows it modally and frees it.
core::ArchiveChoice OpenArchive(const core::ArchiveRequest &request);
// Registers OpenArchive as the opener of core::ArchiveRequest.
void RegisterArchiveOpener(core::TRegistry &registry);

}  // namespace texts
