#pragma once
// TNawFrame: the working part of the address book. Searches the contacts of
// one book, shows one, and adds, changes or deletes contacts; the window
// around it (TAdresBoekForm) only decides when to store and when to close.
//
// DESIGN
// Two modes. Browsing shows the search panel and keeps the focus out of the
// detail fields; editing hides the search panel behind the caption of Panel1
// and holds the server lock "naw_" + id for an existing contact from
// "&Wijzigen" until the edit is stored or cancelled. Searches run from a
// single-shot timer restarted by every change of the search text, so typing
// a name costs one query; the delay is a property so tests need not wait.
//
// The birth-date picker has no empty state: a contact without a birth date
// shows the date it held before. The frame remembers whether the date shown
// belongs to the contact, and stores it only then or after the editor set
// it, so no contact is ever saved with another contact's birth date.

#include <QFrame>
#include <QString>
#include <QTimer>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace extras {

struct NawContact;

class TNawFrame : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int searchDelay READ searchDelay WRITE setSearchDelay)
public:
    explicit TNawFrame(QWidget *parent = nullptr);

    // The book to open on (before Prepare); -1 takes the first book.
    void setBook(int id) { m_book = id; }
    int book() const { return m_book; }
    // The contact the next search selects; when the book is too large to be
    // listed without a search text, that search shows it anyway.
    void setContact(int id);
    int contact() const { return m_contact; }
    bool editing() const { return m_editing; }
    int minimumSearchLength() const { return m_minLength; }

    int searchDelay() const { return m_timer.interval(); }
    bool searchPending() const { return m_timer.isActive(); }
    void setSearchDelay(int ms) { m_timer.setInterval(ms); }

    // Browsing mode, the place and book lists refilled, the minimum search
    // length from the size of the book, then the book applied (which starts
    // the search timer). When the window is shown and after every edit.
    void Prepare();
    // The search now: what the timer runs.
    void Search();
    // Editing an existing contact: stores it and releases its lock; a new
    // one: inserts it into the current book. Browsing: nothing.
    void Store();
    // Leaves an edit without storing: releases the lock of an existing contact.
    void CancelEdit();

    void Button3Click();  // "&Wijzigen"
    void Button4Click();  // "&Nieuw"
    void Button1Click();  // "&Verwijderen"

    QListWidget *ListBox1() const { return m_list; }
    QLineEdit *zoek() const { return m_search; }
    QComboBox *adresboekbox() const { return m_books; }
    QPushButton *Button3() const { return m_change; }
    QPushButton *Button4() const { return m_new; }
    QPushButton *Button1() const { return m_delete; }
    QWidget *Panel2() const { return m_searchPanel; }
    QLabel *Panel1Caption() const { return m_caption; }
    QGroupBox *GroupBox1() const { return m_detail; }
    QDateEdit *gebdatum() const { return m_birth; }
    QTableWidget *StringGrid1() const { return m_phones; }

signals:
    // The mode changed (the window enables "&Kiezen" only while browsing).
    void modeChanged(bool editing);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseBook(bool recount);
    void applyBookKind(const QString &boektype);
    void countContacts();
    void showSelected();
    void showContact(int id);
    void setEditing(bool on);
    void focusFirstField();
    void clearDetail();
    void showNoBirthDate();
    NawContact collect() const;
    bool listKey(QKeyEvent *event);

    QFrame *m_panel1;
    QLabel *m_caption;
    QWidget *m_searchPanel;
    QListWidget *m_list;
    QLineEdit *m_search;
    QComboBox *m_books;
    QPushButton *m_change;
    QPushButton *m_new;
    QPushButton *m_delete;
    QGroupBox *m_detail;
    QLabel *m_firstNameLabel;
    QLabel *m_infixLabel;
    QLabel *m_nameLabel;
    QLabel *m_birthLabel;
    QLineEdit *m_firstName;
    QLineEdit *m_infix;
    QLineEdit *m_name;
    QLineEdit *m_street;
    QLineEdit *m_postcode;
    QComboBox *m_place;
    QDateEdit *m_birth;
    QLineEdit *m_email;
    QLineEdit *m_url;
    QPlainTextEdit *m_memo;
    QTableWidget *m_phones;

    QTimer m_timer;  // restarted by every change of zoek
    int m_book = -1;  // tbladresboek.id shown
    int m_contact = -1;  // tblnaw.id shown; -1 for a new contact
    int m_minLength = 0;  // search text needed before anything is listed
    bool m_editing = false;  // the search panel is hidden
    bool m_positioned = false;  // the caller chose m_contact: show it even when unlisted
    bool m_birthKnown = false;  // the picker's date belongs to the contact
    bool m_loadingBirth = false;  // the frame itself is setting the picker
};

}  // namespace extras
