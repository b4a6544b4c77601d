#pragma once
// TPromo: the promo planner. The programmes with promo information on the
// left, the week plan of 24 hours by 7 days on the right, filled by dragging
// programmes onto its cells and stored in the week row (datum 0) of
// tblpromoweek.
//
// DESIGN
// The plan lives in a PromoGrid (PromoGrid.h); TPromoView only draws it and
// turns drags and keys into grid operations, so what a drop or a store does
// is tested without pixels. Dragging between cells copies; dragging a cell
// out of the view, or Delete on the focused cell, empties it. Deleting a
// programme removes its promo and empties its cells in the stored plan in
// one transaction, and empties them on screen too, where other unsaved
// changes stay.

#include "extras/PromoGrid.h"

#include <QDialog>
#include <QFrame>
#include <QHash>
#include <QList>
#include <QListWidget>

#include <functional>

class QPushButton;
class QScrollArea;

namespace core {
class TRegistry;
}

namespace extras {

class TPromoView;

// One cell of the week plan: an hour of a day.
class TPromoViewPanel : public QFrame {
    Q_OBJECT
public:
    TPromoViewPanel(TPromoView *view, int hour, int day);
    int hour() const { return m_hour; }
    int day() const { return m_day; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    TPromoView *m_view;
    int m_hour;
    int m_day;
    QPoint m_pressed;  // where a drag may start
};

// The week plan: a header row of day names, a label column of hours and
// the 168 cells.
class TPromoView : public QWidget {
    Q_OBJECT
public:
    explicit TPromoView(QWidget *parent = nullptr);

    static constexpr int RowHeight = 30;
    static constexpr int LabelWidth = 75;  // at least; up to a cell's width when the font needs it
    static constexpr int CellWidth = 115;

    PromoGrid &grid() { return m_grid; }
    const PromoGrid &grid() const { return m_grid; }
    TPromoViewPanel *cell(int hour, int day) const;

    // Cells holding this programme are drawn highlighted; 0 none.
    void setHighlight(int id);
    int highlight() const { return m_highlight; }

    // What a drop does: the cell takes the drag's programme. False outside
    // the 168 cells.
    bool dropOn(TPromoDrag drag, int hour, int day);
    // Empties a cell (dragged out of the view, or Delete).
    void clearCell(int hour, int day);
    // After the grid changed as a whole.
    void refresh();

signals:
    void changed();

private:
    PromoGrid m_grid;
    QList<TPromoViewPanel *> m_cells;  // moment order
    int m_highlight = 0;
    int m_labelWidth = LabelWidth;
};

// The programme list: dragging an entry carries its programme.
class TPromoList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;
    std::function<std::optional<TPromoDrag>()> dragSource;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
};

class TPromo : public QDialog {
    Q_OBJECT
public:
    explicit TPromo(QWidget *parent = nullptr);

    // Opening: the programme list and the plan.
    void Prepare();
    void LoadPromos();
    // The stored plan into the grid; nothing changes without a week row.
    void LoadPlan();

    void Button1Click();  // "+"
    void Button2Click();  // "-"
    void Button3Click();  // "&Opslaan"
    void Button4Click();  // "...": the edit dialog of the selected programme

    // The selected programme's id; 0 none.
    int selectedId() const;
    // Selects the programme (highlighting its cells); false when not listed.
    bool selectProgramme(int id);

    QListWidget *promos() const { return m_list; }
    TPromoView *view() const { return m_view; }
    QScrollArea *box() const { return m_box; }
    const QList<int> &ids() const { return m_ids; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QHash<int, QString> names() const;

    TPromoList *m_list;
    QPushButton *m_add;
    QPushButton *m_delete;
    QPushButton *m_edit;
    QScrollArea *m_box;
    TPromoView *m_view;
    QPushButton *m_store;
    QList<int> m_ids;  // parallel to promos
};

// The promo opener: the window, modal, freed afterwards.
void RegisterPromoOpener(core::TRegistry &registry);

}  // namespace extras
