#pragma once
// TVersieForm: the window "Versie" around the versions frame. Its opener
// sets the topic, loads, shows it modally only when the topic has versions,
// and frees it; closing saves the version shown. A save that fails keeps the
// window open with the text in it: the editor may try again or close anyway,
// and then the crash backup stays for the next start.

#include <QDialog>

class QPushButton;

namespace core {
struct VersionsRequest;
struct VersionsResult;
}  // namespace core

namespace texts {

class TVersieFrame;

class TVersieForm : public QDialog {
    Q_OBJECT
public:
    // Sized to the screen; restores a crash backup left by an earlier run.
    explicit TVersieForm(QWidget *parent = nullptr);
    ~TVersieForm() override;

    TVersieFrame *versie() const { return m_frame; }
    QPushButton *Button2() const { return m_save; }  // "&Opslaan"

    // Every way of closing saves first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TVersieFrame *m_frame;
    QPushButton *m_save;
    bool m_keepBackup = false;  // closed after a failed save
};

// Opens the versions window of a topic as the production list, the ready
// list and the cycle ask for it.
core::VersionsResult OpenVersionsWindow(const core::VersionsRequest &request);

// Registers OpenVersionsWindow as the program's versions opener.
void RegisterVersionsOpener();

}  // namespace texts
