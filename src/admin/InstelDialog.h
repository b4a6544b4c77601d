#pragma once
// TInstelDialog: the settings dialog, a tree of pages on the left and the
// chosen page on the right. Administrators reach it from "&Bestand" >
// "&Instellingen" after a second password check against the server
// (OpenSettings).
//
// DESIGN
// A page exists only while its node is selected: choosing another node
// frees it, so each page reads the database afresh when it is shown. The
// tree reports a selection 200 ms after it happens, so walking through the
// tree with the arrow keys does not build every page on the way. "Tabellen"
// has no page: it opens the table editor and then shows the page that was
// shown before.

#include "core/Registry.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace admin {

// The fixed page codes of the tree's nodes.
enum PageCode : int {
    PageRedacteuren = 0,  // TUserFrame
    PageProgrammas = 1,  // TProgrammaFrame
    PageRedacties = 2,  // TRedactiesFrame
    PageTemplates = 3,  // TTemplateFrame
    PageServer = 4,  // TServerFrame
    PageDoelen = 5,  // TDoelenFrame
    PageExport = 6,  // TExportFrame
    PageTaken = 7,  // TTaakFrame
    PageTabellen = 8  // the table editor, no page
};

class TInstelDialog : public QDialog {
    Q_OBJECT
public:
    explicit TInstelDialog(QWidget *parent = nullptr);

    // Selects the node of code; the page follows 200 ms later (or at once
    // with ShowSelected).
    void SelectNode(int code);
    // Shows the page of the selected node now.
    void ShowSelected();

    QWidget *Page() const { return m_page; }  // the page shown, or null
    int PageShown() const { return m_pageCode; }  // its code, -1 none

private:
    QTreeWidgetItem *node(int code) const;
    void showPage(int code);
    void openTableEditor();

    QTreeWidget *TreeView1;
    QWidget *Panel1;
    QLabel *m_empty;  // "geen instellingen paneel gekozen"
    QTimer m_changeTimer;
    QPointer<QWidget> m_page;
    int m_pageCode = -1;
    QTreeWidgetItem *m_previous = nullptr;  // the node selected before
    bool m_reselecting = false;
};

// The password gate: the database client's password prompt, "checkpw" for
// the editor logged in, and on "ok" the settings dialog, modally. Any other
// outcome shows "Wachtwoord is fout, geen toegang!".
void OpenSettings();

// The SQL window, modally.
void OpenSqlWindow();

// Registers OpenSettings and OpenSqlWindow as the openers of the main
// window's "&Instellingen" and "SQL Interface".
void RegisterAdminOpeners(core::TRegistry &registry);

}  // namespace admin
