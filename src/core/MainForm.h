#pragma once
// TMain: the main window. It drives start-up and log-in (server first, then
// the database), holds the team bar, the two tab panels with their frames,
// the menu bar and the status log, and is the surroundings of the server
// link: what a message line does to windows happens here.
//
// DESIGN
// The start-up runs in the order the desk has always seen it: FormCreate
// (constructor) reads zidad.ini; FormShow arms Timer1; 250 ms later
// Timer1Timer connects to the server, serverConnect logs in, postConnect
// logs in to the database and loads the teams, and selecting the first team
// builds the frames of the current tab. The tab panels hold one pair of
// neighbouring workflow steps; the frames come from the registry and are
// destroyed on every tab change. Error paths that end the program go through
// terminate(), which tests replace.
//
// Once the desk is ready a lost connection (server or database) does not end
// the session: the team bar says so until it is back, and every few seconds
// the window connects and logs in again by itself (the server link keeps the
// locks and what was sent meanwhile). When both are back the lists reload
// and the editor hears of any lock another editor took in the meantime.

#include "core/Frame.h"
#include "core/Global.h"
#include "core/ServerLink.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTabBar;
class QToolBar;
class QToolButton;
namespace db {
class TPostgres;
}  // namespace db

namespace core {

class TLogForm;
class TLogView;
class TMededeling;
class TTaakForm;
class Tsplashform;

// True when an argument equals "version": the program writes verinfo.txt and ends.
bool HasVersionParameter(const QStringList &arguments);
// Writes the file version as one line into dir/verinfo.txt; errors are ignored.
void WriteVerInfo(const QString &dir, const QString &version);

// Where a roster row draws its parts: the login name at the left in font,
// the info text in bold right-aligned, cut short (with an ellipsis) where it
// would reach the name. The name keeps its whole width unless the row is too
// narrow for the name alone; the two never overlap.
struct RosterRow {
    QRect name;
    QString nameText;
    QRect info;
    QString infoText;
};
RosterRow LayoutRosterRow(const QFont &font, const QRect &rect, const QString &item);
// The width the widest of these roster rows needs to be drawn whole.
int RosterWidth(const QFont &font, const QStringList &items);

// The three web addresses of the menus, from [web] in zidad.ini.
struct WebAddresses {
    QString telephoneDirectory;  // [web] telefoonboek
    QString routePlanner;  // [web] routeplanner
    QString makers;  // [web] makers
};
WebAddresses ReadWebAddresses();

class TMain : public QMainWindow, public TMainOperations, public TLinkClient {
    Q_OBJECT
public:
    explicit TMain(TProgramState &state = core::state(), QWidget *parent = nullptr);
    ~TMain() override;

    // Long-lived windows and connections.
    Tsplashform *splashform() const { return m_splash; }
    TTaakForm *taakForm() const { return m_taakForm; }
    TLogForm *logForm() const { return m_logForm; }
    TMededeling *mededeling() const { return m_mededeling; }
    TServerLink *server() const { return m_server; }
    db::TPostgres *post() const { return m_post; }
    TLogView *LogView1() const { return m_logView; }
    TFrame *leftFrame() const { return m_leftFrame; }
    TFrame *rightFrame() const { return m_rightFrame; }

    // Replaces ending the program (tests); the default quits the application.
    void setTerminateHook(std::function<void()> hook) { m_terminateHook = std::move(hook); }
    bool terminating() const { return m_terminating; }
    // Logged in and the first team selected: the desk is ready.
    bool ready() const { return m_ready; }

    // One attempt to get back a lost connection; Reconnect runs by itself
    // every reconnectInterval ms (3000) until both connections are back.
    void Reconnect();
    void setReconnectInterval(int ms) { m_reconnectTimer.setInterval(ms); }
    bool serverGone() const { return m_serverGone; }
    bool databaseGone() const { return m_databaseGone; }

    // The start-up steps, in their order.
    void Timer1Timer();
    void serverConnect();
    void postConnect();
    void LoadTeams();
    void SelectTeam(int teamId);

    // Tabs, buttons and keys.
    void TabControl1Change();
    void tabrightChange();
    void Button1Click();  // "<"
    void Button2Click();  // ">"
    // FormKeyUp: F1 to F9 without Shift, Ctrl or Alt; true when consumed.
    bool FormKeyUp(int key, Qt::KeyboardModifiers modifiers);
    // "Tabblad links kiezen" and F5..F9: rebuild with the left tab at index.
    void SelectLeftTab(int index);
    // "&Meteen naar afspelen" and F4.
    void PlayNow();
    void ClaimFinalEditor();  // "&Opeisen eindredactie"
    void ToggleRoster();  // "&Redacteuren"
    void userlogDblClick();  // message to the selected editor
    void LogOffEditor();  // "&Redacteur afmelden"

    // TMainOperations
    void AddMenuButton(const QString &caption, QMenu *menu) override;
    void RemoveMenuButton(const QString &caption, QMenu *menu) override;
    void RefreshViews() override;
    void ShowStatusLine(const QString &text) override;
    void LogStatus(const QString &text) override;
    TFrame *RightFrame() const override { return m_rightFrame; }

    // TLinkClient
    void showStatusLine(const QString &text) override { ShowStatusLine(text); }
    void logStatus(const QString &text) override { LogStatus(text); }
    void announce(const QString &sender, const QString &text) override;
    bool askHandOver(const QString &name) override;
    void rosterChanged(const QStringList &items) override;
    void finalEditorChanged() override;
    void serverDown(const QString &sender, const QString &text) override;
    void connectionLost() override;
    int leftTab() const override;
    int rightTab() const override;
    void frameMessage(PanelSide side, const QString &kind, const QString &argument) override;
    void refreshPanel(PanelSide side) override;

signals:
    void teamChanged();
    void readyForWork();  // the first team is selected after the log-in

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void buildLayout();
    void buildMenus();
    QMenu *addMenu(const QString &caption, const QString &name);
    QAction *addItem(QMenu *menu, const QString &caption, std::function<void()> action);
    void updateMenus();
    void updateStatusBar();
    void layoutTabs();
    void destroyFrame(QPointer<TFrame> &frame, QWidget *panel, QLabel *caption);
    TFrame *placeFrame(int kind, QWidget *panel, QLabel *caption);
    void closeConnections();
    void terminate();
    void connectionGone(bool server);
    bool logInAgain(QStringList &lostLocks);
    void showConnectionState();
    void openUrl(const QString &url);

    TProgramState &m_state;
    TServerLink *m_server;
    db::TPostgres *m_post;
    Tsplashform *m_splash;
    TTaakForm *m_taakForm;
    TLogForm *m_logForm;
    TMededeling *m_mededeling;

    QToolBar *m_menuBar = nullptr;
    QToolButton *m_redactieButton = nullptr;
    QAction *m_redactieAction = nullptr;  // the "&Redactie" button's place in the menu bar
    QList<QToolButton *> m_frameButtons;  // added by frames
    QFrame *m_teamBar = nullptr;  // the bar in the team's colour
    QLabel *m_panel8 = nullptr;  // team name
    QLabel *m_panel12 = nullptr;  // work date
    QLabel *m_panel7 = nullptr;  // user name
    QLabel *m_verbinding = nullptr;  // says so while a connection is gone
    QWidget *m_tabs = nullptr;
    QWidget *m_oleft = nullptr;
    QWidget *m_oright = nullptr;
    QWidget *m_panel10 = nullptr;
    QTabBar *m_tableft = nullptr;
    QTabBar *m_tabright = nullptr;
    QWidget *m_left = nullptr;
    QWidget *m_right = nullptr;
    QLabel *m_leftCaption = nullptr;  // "dit deel ... niet in gebruik"
    QLabel *m_rightCaption = nullptr;
    QPushButton *m_button1 = nullptr;  // "<"
    QPushButton *m_button2 = nullptr;  // ">"
    QFrame *m_panel14 = nullptr;  // floating roster
    QListWidget *m_userlog = nullptr;
    TLogView *m_logView = nullptr;
    QPointer<TFrame> m_leftFrame;
    QPointer<TFrame> m_rightFrame;

    QMenu *m_redactieMenu = nullptr;
    QMenu *m_adressenMenu = nullptr;
    QMenu *m_redacteurenMenu = nullptr;
    QAction *m_claimAction = nullptr;
    QAction *m_settingsAction = nullptr;
    QAction *m_sqlAction = nullptr;
    QAction *m_filmAction = nullptr;
    QAction *m_promoAction = nullptr;
    QAction *m_archiveAction = nullptr;
    QAction *m_rosterAction = nullptr;
    QAction *m_logAction = nullptr;
    QAction *m_jobsAction = nullptr;
    QAction *m_logOffAction = nullptr;
    int m_fixedAddressItems = 0;

    QTimer m_timer1;  // start timer, 250 ms once
    QTimer m_reconnectTimer;  // single shot: the next attempt after the last one ended
    QString m_password;  // the log-in password, for logging in again
    bool m_serverGone = false;  // the server connection was lost after the log-in
    bool m_databaseGone = false;  // the database connection was lost after the log-in
    bool m_loginRefused = false;  // the server is back but refused the log-in again
    bool m_reconnecting = false;  // Reconnect is running
    QString m_postHost;
    int m_postPort = 5432;
    int m_postProtocol = 3;
    QString m_database;
    WebAddresses m_web;
    bool m_shownOnce = false;
    bool m_terminating = false;
    bool m_ready = false;
    bool m_changingTabs = false;
    std::function<void()> m_terminateHook;
};

}  // namespace core
