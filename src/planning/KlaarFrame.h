#pragma once
// TKlaarFrame: the ready list, one line per text version of the topics made
// ready on one day (tab "Klaar": index 3 on the left, 2 on the right).
//
// DESIGN
// versiebox keeps ready lines (KlaarSql.h) as its item texts and draws them
// through the shared line delegate. The day shown survives the frame: every
// reload keeps its days back for the next ready list made while the program
// runs. Versions go to the cycle frame of the right panel by message
// (FRAME_ADD_TO_CYCLE, one per text and an end-of-batch) or by dragging a
// TGlobalDragObject; whether the rubric may be changed is the cycle's
// decision, so the drag always carries the object and the cycle tells a
// user without the final-editor role why nothing happens. A topic's versions
// open under the lock "todo_" + agenda id, the name the cycle uses too.

#include "core/Frame.h"

#include "planning/KlaarSql.h"
#include "views/LineDelegate.h"

class QAction;
class QActionGroup;
class QLabel;
class QListWidgetItem;
class QMenu;
class QMimeData;
class QToolButton;

namespace views {
class TDragList;
}

namespace planning {

class TKlaarFrame : public core::TFrame {
    Q_OBJECT
public:
    explicit TKlaarFrame(QWidget *parent = nullptr);

    bool frameMessage(int msg, qintptr wParam, qintptr lParam) override;
    // "remove <production id>" removes every line of that topic; other verbs
    // wait for the next reload.
    void serverMessage(const QString &argument) override;

    void Reload();
    void Naartodo();  // "Naar productielijst", FRAME_MOVE_LEFT
    void NaarCyclus();  // ">" (FRAME_MOVE_RIGHT), "Naar cyclus", Ctrl+Right
    void versieboxDblClick();  // double click, Enter
    void vandaagClick();
    // "Eerder" (daysBack < 0 keeps the current day) and the items of datum.
    void eerderClick(int daysBack = -1);
    void setSort(KlaarSortKey key, bool descending);

    int daysBack() const { return m_daysBack; }
    // The day a new ready list starts with (0 at program start).
    static int lastDaysBack();
    static void setLastDaysBack(int daysBack);

    views::TDragList *versiebox() const { return m_list; }
    QMenu *datum() const { return m_datum; }
    QLabel *Panel2() const { return m_panel2; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QList<KlaarLine> selectedLines() const;
    QMimeData *dragData() const;
    void showDay();
    void refreshViews();

    views::TDragList *m_list = nullptr;
    QMenu *m_popup = nullptr;  // KlaarPopupMenu
    QMenu *m_datum = nullptr;
    QMenu *m_sortmenu = nullptr;
    QToolButton *m_vandaag = nullptr;
    QToolButton *m_eerder = nullptr;
    QLabel *m_panel2 = nullptr;
    QActionGroup *m_keys = nullptr;
    QActionGroup *m_directions = nullptr;
    int m_daysBack = 0;
    KlaarSortKey m_key = KlaarSortKey::Onderwerp;
    bool m_descending = false;
};

// Draws a ready line: kort in silver clipped to 1..124, wie bold at the
// right, kop from 125 up to the template column, the template in italics.
void paintKlaarItem(QPainter &p, const QRect &rect, const views::LineItem &item);

}  // namespace planning
