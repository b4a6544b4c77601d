#pragma once
// TVersieWizard: "Versie tovenaar", the new-version wizard. Up to three pages
// choose the goal (a top-level template of the team), a possibility within
// it (a child template, when it has any) and the basis (a version of the
// topic, or "Geen basis"). Results after OK: Template() and Basis().
//
// DESIGN
// The page order is fixed (Doel, Mogelijkheden, Basis); the middle and last
// pages are left out when there is nothing to choose on them, and only the
// buttons move between pages. Each page is "ready" when its choice is made;
// the buttons follow from the current page, the ready flags and which pages
// are present (updateButtons).

#include <QDialog>
#include <QList>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace texts {

class TVersieWizard : public QDialog {
    Q_OBJECT
public:
    explicit TVersieWizard(QWidget *parent = nullptr);

    void setAgendaId(int id) { m_agendaId = id; }
    // Fills the goals and the basis list; shows page "Doel".
    void PrepareWizard();

    int Template() const { return m_template; }  // the chosen template id
    int Basis() const { return m_basis; }  // the basis version id, -1 for none

    void doelenClick(int index);
    void mogelijkhedenClick(int index);
    void basisClick();
    void VolgendeClick();
    void TerugClick();
    void VoltooienClick();

    QTabWidget *PageControl1() const { return m_pages; }
    QGroupBox *doelen() const { return m_doelen; }
    QGroupBox *mogelijkheden() const { return m_mogelijkheden; }
    QListWidget *basis() const { return m_basisList; }
    QCheckBox *CheckBox1() const { return m_geenBasis; }
    QPushButton *Button1() const { return m_finish; }
    QPushButton *Button2() const { return m_next; }
    QPushButton *Button3() const { return m_back; }
    QPushButton *Button4() const { return m_cancel; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    enum Page { Doel, Mogelijk, BasisPage };
    void fillGroup(QGroupBox *group, QButtonGroup *buttons, const QList<QStringList> &rows, QList<int> &ids);
    bool present(Page page) const;
    void go(Page page);
    Page current() const;
    void updateButtons();

    int m_agendaId = -1;
    QList<int> m_goalIds;
    QList<int> m_possibilityIds;
    int m_goal = -1;
    int m_template = -1;
    int m_basis = -1;
    bool m_ready[3] = {false, false, false};

    QTabWidget *m_pages;
    QWidget *m_doelSheet;
    QWidget *m_mogelijkSheet;
    QWidget *m_basisSheet;
    QGroupBox *m_doelen;
    QButtonGroup *m_doelButtons;
    QGroupBox *m_mogelijkheden;
    QButtonGroup *m_mogelijkButtons;
    QListWidget *m_basisList;
    QCheckBox *m_geenBasis;
    QPushButton *m_finish;
    QPushButton *m_next;
    QPushButton *m_back;
    QPushButton *m_cancel;
};

}  // namespace texts
