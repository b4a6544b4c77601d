#pragma once
// TAgendaFrame: the agenda list of the current editorial team for the days
// from the work date on, in the main window's tab panels (tab "Agenda": index
// 1 on the left, 0 on the right).
//
// DESIGN
// ListBox1 keeps agenda lines (AgendaLines.h) as its item texts and draws
// them through a views::LineDelegate; every action reads id and kind back from
// the line. One-off items come from tblagenda for the whole range, repeating
// items from tblagendaherhaal for the work date alone. Two dates are in play:
// the work date (what the list shows, and the date a repeating item is taken
// up on) and the clock's date (today's production list, which hides items and
// receives the one-off items moved to it). Actions over a selection collect
// their broadcasts and send them after the database work, first to last.
// Broadcasts of other clients update single lines: "new" on top, "update"
// in place or out, "remove" the first line with that id.

#include "core/Frame.h"
#include "core/Openers.h"

#include <QDate>
#include <QStringList>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QToolButton;

namespace planning {

class TAgendaFrame : public core::TFrame {
    Q_OBJECT
public:
    explicit TAgendaFrame(QWidget *parent = nullptr);

    bool frameMessage(int msg, qintptr wParam, qintptr lParam) override;
    // "new <id>", "update <id>" or "remove <id>" from another client.
    void serverMessage(const QString &argument) override;

    // Reads the range from the work date and the days shown, anew.
    void Reload();

    // The actions of the buttons, menus and keys.
    void AgendaNieuwClick();
    void ListBox1DblClick();  // open the focused line (also Enter)
    void Followupmaken1Click();
    void Verwijderen1Click();
    void MoveToTeam(QAction *teamItem);  // a sub-item of defred
    void MoveToProduction();  // "Naar productielijst", Ctrl+Right, FRAME_MOVE_RIGHT
    void SetDaysShown(int days);  // the fourteen day items
    void tijdClick();
    void ShiftWorkDate(int days);  // the relative date commands
    void Vandaag1Click();
    void Anders1Click();

    QListWidget *ListBox1() const { return m_list; }
    QLabel *Label1() const { return m_label; }
    QMenu *PopupMenu1() const { return m_popup; }
    QMenu *defred() const { return m_defred; }
    QMenu *dagenpopup() const { return m_dagenPopup; }
    QMenu *LijstMenu() const { return m_lijstMenu; }
    int daysShown() const { return m_daysShown; }
    bool timeColumn() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void loadTeams();
    QAction *addAction(QMenu *menu, const QString &name, const QString &caption, void (TAgendaFrame::*slot)());
    QToolButton *addToolButton(const QString &name, QAction *action);
    void applyTimeColumn();
    QDate lastDay() const;
    QString fetchLine(int id) const;
    QList<int> selectedRows() const;
    void removeRows(const QList<int> &rows);
    void editAndSave(const core::AgendaItemRequest &request);
    void refreshViews();

    int m_daysShown = 0;  // days after the work date the list covers, 0..6
    QListWidget *m_list = nullptr;
    QLabel *m_label = nullptr;
    QMenu *m_popup = nullptr;
    QMenu *m_defred = nullptr;
    QMenu *m_dagen = nullptr;  // "&Dagen tonen" in PopupMenu1
    QMenu *m_dagenPopup = nullptr;  // the same items under SpeedButton1
    QMenu *m_lijstMenu = nullptr;
    QAction *m_tijd = nullptr;
    QToolButton *m_speed1 = nullptr;
    QToolButton *m_speed2 = nullptr;
};

}  // namespace planning
