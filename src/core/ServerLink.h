#pragma once
// The link to the coordination server: one command at a time, its reply read
// to the final "ok"/"err", and every other line of the reply dispatched as a
// message on the way.
//
// DESIGN
// A command is one line (CR LF); the reply is any number of message lines
// (LF) ended by a line whose first word is "ok" or "err" in any case. There
// are no request ids, so the protocol depends on strict order. Handlers run
// while a reply is read and may send a nested command (a hand-over answer, a
// frame reacting to a broadcast). The outer reply is then still partly on the
// wire in front of the nested reply, so before writing a nested command the
// link reads the rest of the outer reply into that level's pending lines; the
// nested command reads exactly its own reply, and the outer one goes on with
// its pending lines. The link knows no widgets: what a message does to the
// windows goes through TLinkClient, and the lists frames, publishing, sources
// and the job window plug in through handlers.
//
// Reading waits readTimeout (10 s) at a time; six misses within one line end
// it ("timeout bij lezen"). A closed or failed connection ends the command at
// once with failure; so does a time-out that brought no line at all.
//
// Once logged in, the link keeps the session across a lost connection (the
// main window connects and logs in again by itself): the locks granted and
// not yet given back are remembered, broadcasts and messages sent meanwhile
// wait in order, an unlock needs no server (the server frees the locks of a
// connection that is gone), and no box interrupts the editor for each command
// that cannot be sent. restoreSession() takes the locks again and sends what
// waited.
//
// The final-editor role is the server's word: a server that restarts, or
// that saw the connection end, no longer knows who held it. So a lost
// connection clears the role here at once (the cycle is not edited on an
// old word), and reclaimFinalEditor(), after the new log-in, claims it back
// unless the roster shows that another editor took it meanwhile, which the
// editor is then told.
//
// A modal box (an error, a question, the hand-over dialog) opened while a
// reply is dispatched runs a nested event loop in which the ordinary poll
// cannot run: the outer command is still being answered. The server drops a
// client that stays silent for long (a frozen one must not keep its locks),
// so while no command has been written for keepAliveInterval (5 s) the link
// sends a nested "poll" whose message lines are held back, not dispatched
// into windows that are in the middle of a reply, and handed on with the
// next ordinary poll.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <deque>

#include "platform/Socket.h"

namespace core {

struct TProgramState;

// Which tab panel a message is meant for.
enum class PanelSide { None, Left, Right };

// The panel whose frame shows the list of kind ("agenda", "todo", "klaar")
// for the given tab indices: the left frame has priority.
PanelSide RouteListMessage(const QString &kind, int leftTab, int rightTab);

// The panels that show a programme cycle and reload on "viewchanged cyclus":
// bit 0 left, bit 1 right.
int RouteCycleRefresh(int leftTab, int rightTab);
// The panels whose cycle frames reload when another client stored a rubric
// ("rubriek update <id>"): those of RouteCycleRefresh and the on-air frame.
int RouteRubricRefresh(int leftTab, int rightTab);

// The roster items of a "users" argument: name + " " + info per entry.
QStringList ParseRoster(QString argument);
// Who holds the final-editor role of team by these roster items: the server
// puts ", eindredacteur redactie " + team into the holder's info. Empty when
// nobody does.
QString RoleHolder(const QStringList &items, int team);

// What the messages do outside the link.
class TLinkClient {
public:
    virtual ~TLinkClient() = default;
    virtual void showStatusLine(const QString &text) = 0;
    virtual void logStatus(const QString &text) = 0;
    // A message for the announcements window (shown without waiting).
    virtual void announce(const QString &sender, const QString &text) = 0;
    // The hand-over question; true hands the role to name.
    virtual bool askHandOver(const QString &name) = 0;
    // The roster list, already with "all" for an administrator.
    virtual void rosterChanged(const QStringList &items) = 0;
    // The final-editor flag of the state changed (status bar text).
    virtual void finalEditorChanged() = 0;
    // The server stops: the link is closed already; close the database,
    // show the announcement modally and end the program.
    virtual void serverDown(const QString &sender, const QString &text) = 0;
    // The server connection was lost (closed or failed); the link is closed.
    virtual void connectionLost() = 0;
    // Tab indices of the two panels.
    virtual int leftTab() const = 0;
    virtual int rightTab() const = 0;
    // Hands a list message to the frame in that panel; may throw std::exception.
    virtual void frameMessage(PanelSide side, const QString &kind, const QString &argument) = 0;
    // Broadcasts FRAME_REFRESH to that panel.
    virtual void refreshPanel(PanelSide side) = 0;
};

class TServerLink : public QObject {
    Q_OBJECT
public:
    using LineHandler = std::function<void(const QString &argument)>;

    TServerLink(TProgramState &state, TLinkClient &client, QObject *parent = nullptr);
    ~TServerLink() override;

    // Connects, waiting at most timeoutMs; false with a readable reason in *error.
    bool open(const QString &host, int port, QString *error = nullptr, int timeoutMs = 10000);
    // TLS for the next open() (zidad.ini [hosts] servertls...).
    void setTls(const platform::TlsOptions &tls) { m_socket.setTls(tls); }
    // Takes an already connected descriptor (tests).
    void adopt(int fd);
    void close();
    bool isOpen() const { return m_socket.isOpen(); }

    // Sends command and reads its reply; true when the final line was "ok".
    bool SendCommand(const QString &command);
    // As SendCommand; result receives the argument of a "result" line.
    bool SendCommandEx(const QString &command, QString &result);

    // Handlers for "publish", "voorbeeld" (the dry run's answer), "bronadd"
    // and "job" lines; an empty function removes the handler.
    void setHandler(const QString &kind, LineHandler handler);
    // Listeners of the "job" lines besides their handler (the job window): a
    // frame that started a job follows it to its end. unwatchJobs takes the
    // key watchJobs returned.
    int watchJobs(LineHandler handler);
    void unwatchJobs(int key);

    // The poll timer (1000 ms): switched on after the log-in. stop/resume
    // bracket work that must not be interrupted by a poll (a tab rebuild).
    void startPolling();
    void stopPolling();
    void resumePolling();
    bool pollTimerActive() const { return m_pollTimer.isActive(); }
    // Test hook: how long the link may be silent before it polls from inside
    // a nested event loop (5000 ms).
    void setKeepAliveInterval(int ms) { m_keepAlive.setInterval(ms); }
    // Message lines held back by such polls, not yet dispatched.
    const QStringList &heldLines() const { return m_held; }

    // Test hooks: the wait per read (10000 ms) and the chooser of the
    // congratulation (returns 0..n-1).
    void setReadTimeout(int ms) { m_readTimeoutMs = ms; }
    void setRandom(std::function<int(int n)> random) { m_random = std::move(random); }

    // The window side the link reports to (announcements, logs).
    TLinkClient &client() const { return m_client; }

    // Nesting depth of commands being answered right now.
    int depth() const { return static_cast<int>(m_levels.size()); }

    // Keeps the session across a lost connection (see the header); switched
    // on after the log-in.
    void setKeepSession(bool on) { m_keepSession = on; }
    bool keepSession() const { return m_keepSession; }
    // The locks granted to this client and not unlocked, in the order taken.
    const QStringList &heldLocks() const { return m_heldLocks; }
    // Commands waiting for the connection to come back.
    const QStringList &waiting() const { return m_waiting; }
    // After logging in again on a new connection: asks for every held lock
    // again, then sends the waiting commands in order. Returns the locks that
    // another editor took meanwhile, each as "lock name holder" (the holder
    // empty when the server named none); they are no longer held.
    QStringList restoreSession();
    // After logging in again (and "userlijst"): claims back the final-editor
    // role this client held when the connection was lost; see the header.
    void reclaimFinalEditor();
    // The team whose role is to be claimed back, or -1.
    int reclaimTeam() const { return m_reclaimTeam; }

    // The five congratulations of "eindredacteur on".
    static const QStringList &congratulations();

private:
    struct Level {
        QString command;
        bool poll = false;
        bool hold = false;  // a keep-alive poll: its message lines are held back
        bool wireComplete = false;  // its final line has been read from the socket
        QStringList pending;  // lines read ahead for it, not yet dispatched
        QString result;  // argument of its "result" line
    };
    enum class LineStatus { Line, TimedOut, Lost };

    bool run(const QString &command, QString *result);
    bool whileGone(const QString &command);
    void noteLock(const QString &command, bool ok);
    LineStatus readLine(QString &line);
    bool drainTop();
    void lose(const QString &error);
    bool dispatch(Level &level, const QString &kind, const QString &argument);
    void finalEditor(QString argument);
    void keepAlive();
    static bool isFinalLine(const QString &raw);

    TProgramState &m_state;
    TLinkClient &m_client;
    platform::TcpSocket m_socket;
    QByteArray m_input;  // received bytes not yet cut into lines
    std::deque<Level> m_levels;  // commands being answered, outermost first
    std::map<QString, LineHandler> m_handlers;
    std::map<int, LineHandler> m_jobWatchers;
    int m_nextJobWatcher = 0;
    QTimer m_pollTimer;
    QTimer m_keepAlive;  // polls from nested event loops; see the header
    QElapsedTimer m_lastWrite;  // since the last command was written
    bool m_holding = false;  // a keep-alive poll is being answered
    QStringList m_held;  // message lines it brought, for the next ordinary poll
    QStringList m_roster;  // the last "users" line's items
    int m_claimTeam = -1;  // the team of the last "eindredacteur" claim sent
    int m_roleTeam = -1;  // the team whose role "eindredacteur on" gave this client
    int m_reclaimTeam = -1;  // the role held when the connection was lost
    bool m_reclaiming = false;  // the claim of reclaimFinalEditor is being answered
    bool m_polling = false;  // polling switched on after log-in
    int m_suspended = 0;  // stopPolling calls not yet resumed
    bool m_handOverOpen = false;  // the hand-over question is being asked
    bool m_keepSession = false;  // logged in: a lost connection is to be restored
    QStringList m_heldLocks;  // granted by "lock", not yet given back by "unlock"
    QStringList m_waiting;  // broadcasts and messages sent while the connection was gone
    int m_readTimeoutMs = 10000;
    std::function<int(int)> m_random;
};

}  // namespace core
