#pragma once
// TBronnenFrame: incoming material, tab "Bronnen" (index 0 of the left
// panel) and the body of the source import dialog: internet items the server
// fetched per source, and bulletin boards (mail folders of zidad.ini section
// [prikbord]) shown with the mail folder view.
//
// DESIGN
// bronnenbox and itembox keep their system line formats (BronnenSql.h) as
// item texts and draw them through views::LineDelegate; actions read ids
// back from the lines. New items arrive from the server as "bronadd" lines:
// the frame made last is the one receiver (a sources frame inside the
// import dialog takes them while it is open, the tab's frame gets them back
// afterwards), so two frames never fight over the link's one handler.
// Agenda items are made through the typed opener core::AgendaItemRequest.
// "Bron vernieuwen" says in the tool bar that the source is being refreshed
// and, when the server's job log tells the import ended, how it went.

#include "core/Frame.h"

class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QStackedWidget;
class QToolButton;

namespace incoming {

class TMailDirFrame;

class TBronnenFrame : public core::TFrame {
    Q_OBJECT
public:
    explicit TBronnenFrame(QWidget *parent = nullptr);
    ~TBronnenFrame() override;

    bool frameMessage(int msg, qintptr wParam, qintptr lParam) override;

    void brontypeboxClick();  // loads the chosen kind
    void bronnenboxClick();  // shows the chosen source
    void itemboxClick();  // text and link of the chosen item
    void itemboxDblClick();  // the item in the text view window (also Enter)
    void Label1Click();
    void Naaragenda1Click();  // also FRAME_MOVE_RIGHT
    void Zoeken1Click();
    void Bronvernieuwen1Click();
    // The text after "bronadd".
    void BronAdd(const QString &argument);

    QListWidget *brontypebox() const { return m_types; }
    QListWidget *bronnenbox() const { return m_sources; }
    QListWidget *itembox() const { return m_items; }
    QLabel *Label1() const { return m_link; }
    QPlainTextEdit *Memo1() const { return m_memo; }
    TMailDirFrame *fax() const { return m_fax; }
    QMenu *PopupMenu1() const { return m_popup; }
    QLabel *verversen() const { return m_status; }
    int currentSource() const { return m_sourceId; }

    // The station's addresses, from zidad.ini [station] (web site, fax and
    // editorial mail address of the installation).
    static QString StationAddress(const char *key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fitSourceColumn();
    void buildControls();
    bool boardsShown() const;
    void jobLine(const QString &argument);
    void openAgendaItem(const QString &onderwerp, const QString &opmerkingen, const QString *bron, bool withDate);

    QListWidget *m_types = nullptr;
    QListWidget *m_sources = nullptr;
    QListWidget *m_items = nullptr;
    QLabel *m_link = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    QStackedWidget *m_stack = nullptr;
    QSplitter *m_body = nullptr;  // the source column beside the items
    QWidget *m_itemArea = nullptr;
    TMailDirFrame *m_fax = nullptr;
    QMenu *m_popup = nullptr;
    int m_sourceId = -1;  // tblnet.id of the source whose items are shown
    QLabel *m_status = nullptr;  // how the refresh asked for last is going
    QString m_refreshing;  // the name of the source being refreshed, until its import ends
    int m_jobWatch = 0;  // the key of this frame's job-line listener
};

}  // namespace incoming
