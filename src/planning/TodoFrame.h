#pragma once
// TTodoFrame: the production list of the current editorial team for the
// clock's date (tab "Productielijst": index 2 on the left, 1 on the right).
//
// DESIGN
// ListBox1 keeps production lines (TodoSql.h) as its item texts and draws
// them through the shared line delegate; every action reads the production id and
// the agenda id back from the line, and an agenda id of -1 marks an
// automatic item (tbltodoherhaal), which has no agenda item and no versions.
// A topic's versions are opened under the lock "todo_" + production id
// through the registry's versions opener. Moves over a selection collect
// their broadcasts and send them after the database work; a row the database
// did not change is never announced. Broadcasts of other clients update
// single lines: "new"/"hnew" on top, "update"/"hupdate" in place, "remove".

#include "core/Frame.h"

#include <QStringList>

class QAction;
class QListWidget;
class QListWidgetItem;
class QMenu;

namespace planning {

class TTodoFrame : public core::TFrame {
    Q_OBJECT
public:
    explicit TTodoFrame(QWidget *parent = nullptr);

    bool frameMessage(int msg, qintptr wParam, qintptr lParam) override;
    // "new|hnew|update|hupdate|remove <id>" from another client.
    void serverMessage(const QString &argument) override;

    void Reload();

    void UitTodo();  // "Naar &agenda", Ctrl+Left, FRAME_MOVE_LEFT
    void NaarKlaar();  // "Naar &klaar", Ctrl+Right, FRAME_MOVE_RIGHT
    void ListBox1DblClick();  // "Openen", double click, Enter
    void Redacteurtoekennen1Click();  // "Redacteur &toekennen", Space
    void Agendaopenen1Click();  // "A&genda openen"
    void ToolButton8Click();  // "&Evaluatie"

    QListWidget *ListBox1() const { return m_list; }
    QMenu *PopupMenu1() const { return m_popup; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QAction *addAction(const QString &name, const QString &caption, void (TTodoFrame::*slot)());
    QString fetchLine(int id, bool automatic) const;
    QList<int> selectedRows() const;
    void updateActions();
    void refreshViews();

    QListWidget *m_list = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_agendaOpenen = nullptr;
    QAction *m_evaluatie = nullptr;
};

}  // namespace planning
