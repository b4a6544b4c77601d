#pragma once
// TRedactiesFrame: the editorial teams page: the teams themselves, the
// programmes each team composes cycles for and those it may publish. Team
// membership of editors is on the editors page. Nothing is broadcast: the
// team menu of a running client changes at its next log-in.

#include <QFrame>

class QListWidget;

namespace admin {

class TRedactiesFrame : public QFrame {
    Q_OBJECT
public:
    explicit TRedactiesFrame(QWidget *parent = nullptr);

    // Refills the teams keeping the selected position, then ListBox1Click.
    void Load();
    // Fills the three programme lists for the selected team.
    void ListBox1Click();

    void Button1Click();  // "Nieuw"
    void Button2Click();  // "Verwijderen": the team, its memberships and its agenda
    void Button3Click();  // "Wijzigen"
    void Button4Click();  // "Toekennen" to the team's programmes
    void Button5Click();  // "Eruit" of them
    void Button6Click();  // "Toekennen" for publishing
    void Button7Click();  // "Eruit" of them

private:
    void run(const QString &sql);

    QListWidget *ListBox1;
    QListWidget *prog;
    QListWidget *toe;
    QListWidget *pubtoe;
    int m_teamId = -1;  // the team shown; -1 none
};

}  // namespace admin
