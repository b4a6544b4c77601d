#pragma once
// The mail folder view of the bulletin boards: TMailDirFrame lists the
// messages of one folder, TMailFrame shows one message, TPreloadThread scans
// the folder.
//
// DESIGN
// The scan runs on its own thread so a large folder never blocks the
// editor; it never touches a widget. It gets the paths the list shows when
// it starts, reads each new file's headers and hands every row it finds to
// the user-interface thread through a queued signal; only that thread adds
// rows (and drops one whose path arrived meanwhile). Each scan has its own
// generation, carried by its rows: rows a stopped scan had already queued
// arrive after the list was cleared for the next folder, and are dropped. Opening another folder
// or destroying the frame tells a running scan to end and waits for it.
// The viewer is a QTextBrowser: it runs no scripts and loads nothing from
// the network (only local files, the saved attachments); every link goes to
// the shell hook instead of being followed in the viewer.

#include "core/Frame.h"

#include <QDateTime>
#include <QSet>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <memory>

class QAction;
class QLabel;
class QListView;
class QMenu;
class QTextBrowser;
class QTimer;
class QToolButton;
class QTreeWidget;
class QUrl;

namespace incoming {

class TMail;

// One list row, as the scan finds it.
struct MailRow {
    QString path;
    QDateTime stamp;  // the file's modification time
    QString sender;
    QString subject;
    bool read = false;
    quint64 generation = 0;  // of the scan that found it
};

// The caption of a row: the file time written "ddd d mmm yy hh:nn".
QString MailRowCaption(const QDateTime &stamp);

// Whether a file of time t is listed: always with all mail, else from
// yesterday 00:00 up to tomorrow 00:00.
bool MailListed(const QDateTime &t, const QDate &today, bool allMail);

class TPreloadThread : public QThread {
    Q_OBJECT
public:
    TPreloadThread(QString folder, QSet<QString> known, bool allMail, QDate today, quint64 generation,
                   QObject *parent = nullptr);
    void stop() { m_stop = true; }

signals:
    void rowFound(const incoming::MailRow &row);

protected:
    void run() override;

private:
    QString m_folder;
    QSet<QString> m_known;
    bool m_allMail;
    QDate m_today;
    quint64 m_generation;
    std::atomic<bool> m_stop{false};
};

class TMailFrame : public QWidget {
    Q_OBJECT
public:
    explicit TMailFrame(QWidget *parent = nullptr);
    ~TMailFrame() override;

    // Parses the file, writes "temp.htm" in the temporary folder and shows it.
    void ShowMessage(const QString &path);
    void Clear();

    QString subject() const { return m_subject; }
    QString plainText() const { return m_plain; }
    bool shownIsRead() const { return m_read; }
    QTextBrowser *web() const { return m_web; }

    // The scratch folder of the attachments: "marbeltmail" in the temporary folder.
    static QString AttachmentFolder();
    // What a link in the viewer opens: "open:" links without their first five
    // characters, percent-decoded; web links as they are.
    static QString LinkTarget(const QUrl &url);

private:
    void webBeforeNavigate2(const QUrl &url);

    QTextBrowser *m_web = nullptr;
    QListView *m_view = nullptr;
    std::unique_ptr<TMail> m_mail;
    QString m_subject;
    QString m_plain;
    bool m_read = false;
};

class TMailDirFrame : public QWidget {
    Q_OBJECT
public:
    explicit TMailDirFrame(QWidget *parent = nullptr);
    ~TMailDirFrame() override;

    // Remembers the folder, empties the viewer, clears the list, ends a
    // running scan and starts a new one.
    void OpenFolder(const QString &path);
    QString folder() const { return m_folder; }

    void twodaysClick();
    void alldaysClick();
    void Markeeralsgelezen1Click();
    void listDblClick();
    void Timer1Timer();  // shows the chosen row's message

    // Waits for the running scan (tests).
    bool waitForScan(int ms = 5000);

    QTreeWidget *list() const { return m_list; }
    TMailFrame *mail() const { return m_mail; }
    QLabel *Panel1() const { return m_panel; }
    QMenu *lijstmenu() const { return m_menu; }
    QTimer *Timer1() const { return m_timer; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void addRow(const MailRow &row);
    void stopScan();
    void updateMenu();
    QString chosenPath() const;

    QString m_folder;
    QTreeWidget *m_list = nullptr;
    QLabel *m_panel = nullptr;
    QToolButton *m_speed = nullptr;
    TMailFrame *m_mail = nullptr;
    QTimer *m_timer = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_twodays = nullptr;
    QAction *m_alldays = nullptr;
    QAction *m_mark = nullptr;
    TPreloadThread *m_scan = nullptr;
    quint64 m_generation = 0;  // of the scan whose rows the list takes
};

}  // namespace incoming

Q_DECLARE_METATYPE(incoming::MailRow)
