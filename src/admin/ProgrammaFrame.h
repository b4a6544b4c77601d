#pragma once
// TProgrammaFrame: the programmes (tblzenders), the rubrics (tblrubriek) and
// which rubrics belong to which programme (tblzenderrubriek).
//
// Every rubric is two tblrubriek rows with the same id and name, the working
// copy (onair false) and the on-air copy (onair true); this page creates,
// renames and deletes both together and lists the working copies only. The
// two rows of a new rubric are inserted in one transaction, so a rubric is
// never left with one copy. A link needs a programme: "<" before one was
// chosen is refused rather than linking to programme 0.

#include <QFrame>

class QListWidget;

namespace admin {

class TProgrammaFrame : public QFrame {
    Q_OBJECT
public:
    explicit TProgrammaFrame(QWidget *parent = nullptr);

    // Refills programmes and rubrics keeping their selected positions, then
    // progClick.
    void Load();
    // The selected programme's rubrics into `kop`.
    void progClick();

    void Button1Click();  // "+" programme
    void Button2Click();  // "..." programme
    void Button3Click();  // "-" programme
    void Button4Click();  // "+" rubric
    void Button5Click();  // "..." rubric
    void Button6Click();  // "-" rubric
    void Button7Click();  // "<" link the selected rubric to the programme
    void Button8Click();  // ">" unlink the selected entry of `kop`

    int Programme() const { return m_programmeId; }

private:
    static void keep(QListWidget *list, const QStringList &entries);

    QListWidget *prog;
    QListWidget *rub;
    QListWidget *kop;
    int m_programmeId = 0;  // the programme clicked last; 0 none yet
};

}  // namespace admin
