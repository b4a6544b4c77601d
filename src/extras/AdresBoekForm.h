#pragma once
// TAdresBoekForm: the address book window. Created for each use, shown
// modally and freed: from the "A&dressen" menu on one book, from the agenda
// item editor to choose a contact ("&Kiezen", result 6) or to look at one.
// The frame does the work; the window decides when to store and to close.

#include "core/Openers.h"

#include <QDialog>

class QPushButton;

namespace core {
class TRegistry;
}

namespace extras {

class TNawFrame;

class TAdresBoekForm : public QDialog {
    Q_OBJECT
public:
    explicit TAdresBoekForm(QWidget *parent = nullptr);

    // Shows "&Kiezen" (the choosing mode).
    void setChoosing(bool on);

    TNawFrame *NawFrame1() const { return m_frame; }
    QPushButton *Button1() const { return m_cancel; }
    QPushButton *Button2() const { return m_store; }
    QPushButton *kiesbutton() const { return m_choose; }

    // "Sluiten / &Opslaan": store; back to browsing after an edit, else close with 1.
    void Button2Click();
    // "&Afbreken": while editing, leave the edit (lock released); else close with 2.
    void Button1Click();
    // "&Kiezen": close with 6; the caller reads the frame's contact. Only
    // while browsing and with a contact shown.
    void kiesbuttonClick();

    // Escape is the cancel button; the title bar's close button leaves an
    // edit without storing (the lock released) and closes with 2.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    TNawFrame *m_frame;
    QPushButton *m_cancel;
    QPushButton *m_store;
    QPushButton *m_choose;
};

// Creates the window for request, shows it modally and frees it.
core::AddressChoice OpenAddressBook(const core::AddressBookRequest &request);
// Registers OpenAddressBook as the opener of core::AddressBookRequest.
void RegisterAddressBookOpener(core::TRegistry &registry);

}  // namespace extras
