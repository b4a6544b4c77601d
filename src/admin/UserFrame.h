#pragma once
// TUserFrame: the editors page of the settings dialog. Lists every editor,
// shows one editor's login name and rights, sets a new password, and
// maintains the editor's team memberships.
//
// The password field starts empty and the stored password is never read
// (the clients' database role cannot): left empty, "&Opslaan" keeps the
// stored hash; filled in, the typed password is hashed here and the hash
// stored. Nothing is broadcast: running clients see changes at their next
// log-in. "Blokkade opheffen" asks the server to let an editor who is locked
// out after too many failed log-ins try again at once.

#include <QFrame>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace admin {

class TUserFrame : public QFrame {
    Q_OBJECT
public:
    explicit TUserFrame(QWidget *parent = nullptr);

    // Refills the editors list keeping the selected position (lowered to the
    // last editor when the list became shorter).
    void Load();
    // Shows the selected editor and its teams.
    void ListBox1Click();

    void Button1Click();  // "&Opslaan"
    void Button2Click();  // "Nieuw"
    void Button5Click();  // "Verwijderen"
    void Button6Click();  // "Blokkade opheffen"
    void Button3Click();  // ">": into the selected available team
    void Button4Click();  // "<": out of the selected team

    int UserId() const { return m_userId; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadTeams();
    void layoutTeams();

    QListWidget *ListBox1;
    QLineEdit *username;
    QLineEdit *password;
    QCheckBox *eind;
    QCheckBox *sysop;
    QGroupBox *m_teams;
    QListWidget *available;
    QListWidget *redacties;
    QPushButton *Button3;
    QPushButton *Button4;
    int m_userId = -1;  // the editor shown; -1 none
};

}  // namespace admin
