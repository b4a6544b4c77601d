#include "core/ServerLink.h"

#include "core/Global.h"
#include "core/Tokens.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <exception>

namespace core {

namespace {

constexpr int kMaxMisses = 6;  // waits per line before the line is given up
constexpr int kMaxWaiting = 1000;  // commands kept while the connection is gone
constexpr int kKeepAliveMs = 5000;  // the server drops a client silent for 40 s
constexpr int kMaxHeld = 10000;  // message lines held back while a box is open

bool startsWithWord(const QString &command, QLatin1String word)
{
    return command.startsWith(word) && command.size() > word.size() && command.at(word.size()) == QLatin1Char(' ');
}

QString takeLetters(QString &text)
{
    return TakeWhile(text, Letters);
}
void dropBlanks(QString &text)
{
    TakeWhile(text, Blanks);
}

// Trims spaces and control characters at both ends.
QString trimControls(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= 32)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

// Kinds that a poll does not deliver while the version window is open.
bool droppedWhileVersionOpen(const QString &kind)
{
    static const QStringList kinds = {"lockedby", "result",      "setuserid", "bronadd", "agenda", "todo",
                                      "klaar",    "viewchanged", "users",     "job",     "rubriek"};
    return kinds.contains(kind);
}

QString kindOf(QString line)
{
    line = trimControls(line);
    if (line.isEmpty())
        return QStringLiteral("ok");
    return takeLetters(line).toLower();
}

}  // namespace

PanelSide RouteListMessage(const QString &kind, int leftTab, int rightTab)
{
    int left = -1, right = -1;
    if (kind == QLatin1String("agenda")) {
        left = 1;
        right = 0;
    } else if (kind == QLatin1String("todo")) {
        left = 2;
        right = 1;
    } else if (kind == QLatin1String("klaar")) {
        left = 3;
        right = 2;
    }
    if (left >= 0 && leftTab == left)
        return PanelSide::Left;
    if (right >= 0 && rightTab == right)
        return PanelSide::Right;
    return PanelSide::None;
}

int RouteCycleRefresh(int leftTab, int rightTab)
{
    return (leftTab == 4 ? 1 : 0) | (rightTab == 3 ? 2 : 0);
}

int RouteRubricRefresh(int leftTab, int rightTab)
{
    return (leftTab == 4 ? 1 : 0) | (rightTab == 3 || rightTab == 4 ? 2 : 0);
}

QStringList ParseRoster(QString argument)
{
    QStringList items;
    while (!argument.isEmpty()) {
        const QString name = takeLetters(argument);
        dropBlanks(argument);
        const QString info = TakeUntil(argument, CharSet{u'|'});
        items << name + QLatin1Char(' ') + info;
        argument.remove(0, 1);  // the "|"
    }
    return items;
}

QString RoleHolder(const QStringList &items, int team)
{
    const QString role = QStringLiteral("eindredacteur redactie ") + QString::number(team);
    for (QString rest : items) {
        const QString name = takeLetters(rest);
        if (!name.isEmpty() && rest.mid(1).split(QStringLiteral(", ")).contains(role))
            return name;
    }
    return {};
}

const QStringList &TServerLink::congratulations()
{
    static const QStringList texts = {
        QStringLiteral("Je bent eindredacteur geworden"),
        QStringLiteral("Jij bent nu verantwoordelijk voor de uitzending! je bent dus eindredacteur"),
        QStringLiteral("Niet te geloven, je bent eindredacteur!"),
        QStringLiteral("Let goed op! Je bent eindredacteur"),
        QStringLiteral("Hallo daar! Klop klop, je bent eindredacteur!"),
    };
    return texts;
}

TServerLink::TServerLink(TProgramState &state, TLinkClient &client, QObject *parent)
    : QObject(parent), m_state(state), m_client(client)
{
    m_pollTimer.setInterval(1000);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] {
        if (m_levels.empty())
            SendCommand(QStringLiteral("poll"));
    });
    m_keepAlive.setInterval(kKeepAliveMs);
    connect(&m_keepAlive, &QTimer::timeout, this, &TServerLink::keepAlive);
    m_random = [](int n) { return static_cast<int>(QRandomGenerator::global()->bounded(n)); };
}

// Reads are blocking and run no event loop, so this timer fires only between
// commands or inside a nested event loop (a box opened during a dispatch, a
// suspended poll). Ordinary polls keep the link busy enough between
// commands; only a link that has been silent sends a held-back poll.
void TServerLink::keepAlive()
{
    if (!m_polling || m_holding || !m_socket.isOpen())
        return;
    if (m_lastWrite.isValid() && m_lastWrite.elapsed() < m_keepAlive.interval())
        return;
    m_holding = true;
    run(QStringLiteral("poll"), nullptr);
    m_holding = false;
}

TServerLink::~TServerLink() = default;

bool TServerLink::open(const QString &host, int port, QString *error, int timeoutMs)
{
    m_input.clear();
    return m_socket.connect(host, port, timeoutMs, error);
}

void TServerLink::adopt(int fd)
{
    m_input.clear();
    m_socket.adopt(fd);
}

void TServerLink::close()
{
    m_pollTimer.stop();
    m_keepAlive.stop();
    m_socket.close();
}

void TServerLink::setHandler(const QString &kind, LineHandler handler)
{
    if (handler)
        m_handlers[kind] = std::move(handler);
    else
        m_handlers.erase(kind);
}

int TServerLink::watchJobs(LineHandler handler)
{
    m_jobWatchers[++m_nextJobWatcher] = std::move(handler);
    return m_nextJobWatcher;
}

void TServerLink::unwatchJobs(int key)
{
    m_jobWatchers.erase(key);
}

void TServerLink::startPolling()
{
    m_polling = true;
    m_lastWrite.start();
    m_keepAlive.start();
    if (m_suspended == 0 && m_levels.empty())
        m_pollTimer.start();
}

void TServerLink::stopPolling()
{
    ++m_suspended;
    m_pollTimer.stop();
}

void TServerLink::resumePolling()
{
    if (m_suspended > 0)
        --m_suspended;
    if (m_suspended == 0 && m_polling && m_levels.empty() && m_socket.isOpen())
        m_pollTimer.start();
}

bool TServerLink::SendCommand(const QString &command)
{
    return run(command, nullptr);
}

bool TServerLink::SendCommandEx(const QString &command, QString &result)
{
    return run(command, &result);
}

// Reads one line for the innermost command. Line: a complete line (without
// CR and LF) or, after six misses, TimedOut with what came so far. Lost: the
// connection closed or failed; the link is closed and the client told.
TServerLink::LineStatus TServerLink::readLine(QString &line)
{
    int misses = 0;
    for (;;) {
        const qsizetype lf = m_input.indexOf('\n');
        if (lf >= 0) {
            QByteArray raw = m_input.left(lf);
            m_input.remove(0, lf + 1);
            raw.replace('\r', QByteArray());
            line = QString::fromUtf8(raw);
            return LineStatus::Line;
        }
        if (!m_socket.isOpen())
            return LineStatus::Lost;  // lost further in; already reported
        if (misses == kMaxMisses) {
            QByteArray raw = m_input;
            m_input.clear();
            raw.replace('\r', QByteArray());
            line = QString::fromUtf8(raw);
            m_client.showStatusLine(QStringLiteral("timeout bij lezen"));
            return LineStatus::TimedOut;
        }
        char buffer[4096];
        const auto r = m_socket.readSome(buffer, sizeof buffer, m_readTimeoutMs);
        switch (r.status) {
        case platform::TcpSocket::ReadStatus::Data: m_input.append(buffer, static_cast<qsizetype>(r.count)); break;
        case platform::TcpSocket::ReadStatus::Timeout: ++misses; break;
        case platform::TcpSocket::ReadStatus::Closed: lose(QString()); return LineStatus::Lost;
        case platform::TcpSocket::ReadStatus::Error: lose(m_socket.errorString()); return LineStatus::Lost;
        }
    }
}

// The connection is gone: an error shows the communication box, a close by
// the peer only the status line; both end in connectionLost. A kept session
// shows no box: the main window says so until the connection is back.
void TServerLink::lose(const QString &error)
{
    m_pollTimer.stop();
    m_socket.close();
    m_input.clear();
    if (m_state.isFinalEditor) {
        m_state.isFinalEditor = false;  // the server's word on it is gone with the connection
        if (m_keepSession)
            m_reclaimTeam = m_roleTeam >= 0 ? m_roleTeam : m_state.currentTeamId;
        m_client.finalEditorChanged();
    }
    if (!error.isEmpty() && !m_keepSession)
        platform::showError(QStringLiteral("Communicatiefout:\n") + error +
                            QStringLiteral("\nDe verbinding met de server is mogelijk verbroken"));
    m_client.showStatusLine(QStringLiteral("Verbinding verloren!"));
    m_client.connectionLost();
}

bool TServerLink::isFinalLine(const QString &raw)
{
    const QString kind = kindOf(raw);
    return kind == QLatin1String("ok") || kind == QLatin1String("err");
}

// Reads the rest of the innermost reply into its pending lines so that a
// nested command finds its own reply next on the wire. False when the
// connection was lost or a line timed out on the way.
bool TServerLink::drainTop()
{
    if (m_levels.empty() || m_levels.back().wireComplete)
        return true;
    Level &top = m_levels.back();
    for (;;) {
        QString line;
        const LineStatus st = readLine(line);
        if (st == LineStatus::Lost)
            return false;
        top.pending << line;
        if (st == LineStatus::TimedOut && trimControls(line).isEmpty())
            return false;
        if (isFinalLine(line)) {
            top.wireComplete = true;
            return true;
        }
    }
}

// One command and its reply; see the header. Returns true only for a final
// "ok": a lost connection, a time-out without a line and a handler error
// are failures.
bool TServerLink::run(const QString &commandIn, QString *result)
{
    QString command = commandIn;
    command.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const bool poll = command == QLatin1String("poll");
    m_pollTimer.stop();

    if (!m_socket.isOpen() && m_keepSession && !poll)
        return whileGone(command);
    if (startsWithWord(command, QLatin1String("unlock")))
        noteLock(command, true);
    if (startsWithWord(command, QLatin1String("eindredacteur")))
        m_claimTeam = command.mid(14).trimmed().toInt();
    if (!m_socket.isOpen() || !drainTop()) {
        if (m_levels.empty() && !m_socket.isOpen() && !poll)
            platform::showError(QStringLiteral("Communicatiefout:\nGeen verbinding met de server"
                                               "\nDe verbinding met de server is mogelijk verbroken"));
        return false;
    }
    const QByteArray bytes = command.toUtf8() + "\r\n";
    QString error;
    if (!m_socket.writeAll(bytes.constData(), static_cast<std::size_t>(bytes.size()), &error)) {
        lose(error.isEmpty() ? QStringLiteral("schrijven mislukt") : error);
        return false;
    }
    m_lastWrite.start();
    if (!poll)
        m_client.logStatus(QStringLiteral("<blue>server: ") + command);

    const bool hold = poll && m_holding;
    m_levels.push_back(Level{command, poll, hold, false, {}, {}});
    Level &level = m_levels.back();
    if (poll && !hold && m_levels.size() == 1) {
        level.pending = m_held;  // older than what this poll brings
        m_held.clear();
    }
    bool ok = false, completed = false;
    QString updateError;
    while (!QCoreApplication::closingDown()) {
        QString raw;
        if (!level.pending.isEmpty()) {
            raw = level.pending.takeFirst();
        } else {
            const LineStatus st = readLine(raw);
            if (st == LineStatus::Lost)
                break;
            if (st == LineStatus::TimedOut && trimControls(raw).isEmpty()) {
                completed = true;  // the link is still in step: keep polling
                break;
            }
        }
        QString line = trimControls(raw);
        if (line.isEmpty())
            line = QStringLiteral("OK");
        const QString kind = takeLetters(line).toLower();
        QString argument = line;
        const bool final = kind == QLatin1String("ok") || kind == QLatin1String("err");
        if (final)
            level.wireComplete = true;
        if (!poll && !final)
            m_client.logStatus(QStringLiteral("recv: ") + kind + QLatin1Char(' ') + argument);
        dropBlanks(argument);
        if (final) {
            ok = kind == QLatin1String("ok");
            completed = true;
            break;
        }
        if (level.hold) {
            if (m_held.size() >= kMaxHeld)
                m_held.removeFirst();
            m_held << raw;
            continue;
        }
        try {
            if (!dispatch(level, kind, argument))
                break;  // "down": the program ends
        } catch (const std::exception &e) {
            if (updateError.isEmpty())
                updateError = QStringLiteral("Updatefout: ") + QString::fromUtf8(e.what());
        }
    }
    if (!poll)
        m_client.logStatus(ok ? QStringLiteral("<green>OK") : QStringLiteral("<red>ERR"));
    if (result)
        *result = level.result;
    if (startsWithWord(command, QLatin1String("lock")))
        noteLock(command, ok);
    m_levels.pop_back();
    if (!updateError.isEmpty()) {
        platform::showError(updateError);
        ok = false;
    }
    if (m_levels.empty() && completed && m_polling && m_suspended == 0 && m_socket.isOpen())
        m_pollTimer.start();
    return ok;
}

// A command of a kept session while the connection is gone. Broadcasts and
// messages wait for it to come back; an unlock is done (the server freed the
// lock with the connection); a lock cannot be had now; anything else is
// refused with the communication box, as the editor asked for it directly.
bool TServerLink::whileGone(const QString &command)
{
    if (startsWithWord(command, QLatin1String("broadcast")) || startsWithWord(command, QLatin1String("direct"))) {
        if (m_waiting.size() >= kMaxWaiting)
            m_waiting.removeFirst();  // the lists reload when the connection is back
        m_waiting << command;
        return true;
    }
    if (startsWithWord(command, QLatin1String("unlock"))) {
        noteLock(command, true);
        return true;
    }
    if (!startsWithWord(command, QLatin1String("lock")) && command != QLatin1String("userlijst"))
        platform::showError(QStringLiteral("Communicatiefout:\nGeen verbinding met de server"
                                           "\nDe verbinding met de server is mogelijk verbroken"));
    return false;
}

// Keeps the held locks in step with "lock" (granted: ok) and "unlock".
void TServerLink::noteLock(const QString &command, bool ok)
{
    const bool unlock = startsWithWord(command, QLatin1String("unlock"));
    const QString name = command.mid(unlock ? 7 : 5).trimmed();
    m_heldLocks.removeAll(name);
    if (!unlock && ok)
        m_heldLocks << name;
}

QStringList TServerLink::restoreSession()
{
    QStringList lost;
    const QStringList locks = m_heldLocks;
    for (const QString &name : locks) {
        if (!m_socket.isOpen())
            return lost;  // gone again: the rest waits for the next time
        m_state.lastLockHolder.clear();
        if (SendCommand(QStringLiteral("lock ") + name))
            continue;
        if (!m_socket.isOpen()) {
            m_heldLocks << name;  // not refused: the connection broke on the way
            return lost;
        }
        lost << QStringLiteral("lock ") + name + QLatin1Char(' ') + m_state.lastLockHolder;
    }
    while (!m_waiting.isEmpty() && m_socket.isOpen())
        SendCommand(m_waiting.takeFirst());
    return lost;
}

void TServerLink::reclaimFinalEditor()
{
    const int team = m_reclaimTeam;
    if (team < 0 || !m_socket.isOpen())
        return;
    m_reclaimTeam = -1;
    const QString holder = RoleHolder(m_roster, team);
    if (!holder.isEmpty() && holder.compare(m_state.userName, Qt::CaseInsensitive) != 0) {
        m_client.announce(QStringLiteral("quillon"),
                          QStringLiteral("Van quillon: De eindredactie is intussen naar ") + holder + QStringLiteral(" gegaan"));
        return;
    }
    m_reclaiming = true;
    SendCommand(QStringLiteral("eindredacteur ") + QString::number(team));
    m_reclaiming = false;
    if (!m_socket.isOpen() && !m_state.isFinalEditor)
        m_reclaimTeam = team;  // lost again on the way: the next log-in tries again
}

// Acts on one message line. Returns false when the reply must not be read
// on (the server went down).
bool TServerLink::dispatch(Level &level, const QString &kind, const QString &argument)
{
    if (level.poll && m_state.versionFormOpen && droppedWhileVersionOpen(kind))
        return true;
    if (kind == QLatin1String("eindredacteur")) {
        finalEditor(argument);
    } else if (kind == QLatin1String("down")) {
        close();
        m_client.serverDown(QStringLiteral("quillon"), QStringLiteral("Van quillon: De server is gestopt"));
        return false;
    } else if (kind == QLatin1String("wijgereindredactie")) {
        m_client.announce(QStringLiteral("quillon"),
                          QStringLiteral("Van quillon: Jij krijgt de eindredactie lekker niet!"));
    } else if (kind == QLatin1String("direct")) {
        QString rest = argument;
        const QString sender = takeLetters(rest);
        rest.remove(0, 1);
        m_client.announce(sender, QStringLiteral("Van ") + sender + QStringLiteral(": ") + rest);
    } else if (kind == QLatin1String("chat")) {
        m_client.showStatusLine(argument);
    } else if (kind == QLatin1String("lockedby")) {
        m_state.lastLockHolder = argument;
    } else if (kind == QLatin1String("result")) {
        level.result = argument;
    } else if (kind == QLatin1String("setuserid")) {
        bool isNumber = false;
        const int id = argument.toInt(&isNumber);
        if (isNumber)
            m_state.userId = id;
    } else if (kind == QLatin1String("bronadd")) {
        m_client.logStatus(argument);
        if (auto it = m_handlers.find(kind); it != m_handlers.end())
            it->second(argument);
    } else if (kind == QLatin1String("publish") || kind == QLatin1String("job") || kind == QLatin1String("voorbeeld")) {
        if (auto it = m_handlers.find(kind); it != m_handlers.end())
            it->second(argument);
        if (kind == QLatin1String("job")) {
            const auto watchers = m_jobWatchers;  // a watcher may leave while it is told
            for (const auto &[key, watcher] : watchers)
                if (m_jobWatchers.count(key))
                    watcher(argument);
        }
    } else if (kind == QLatin1String("agenda") || kind == QLatin1String("todo") || kind == QLatin1String("klaar")) {
        const PanelSide side = RouteListMessage(kind, m_client.leftTab(), m_client.rightTab());
        if (side != PanelSide::None)
            m_client.frameMessage(side, kind, argument);
    } else if (kind == QLatin1String("viewchanged") || kind == QLatin1String("rubriek")) {
        QString rest = argument;
        const bool rubric = kind == QLatin1String("rubriek");
        if (rubric || takeLetters(rest) == QLatin1String("cyclus")) {
            const int panels = rubric ? RouteRubricRefresh(m_client.leftTab(), m_client.rightTab())
                                      : RouteCycleRefresh(m_client.leftTab(), m_client.rightTab());
            try {
                if (panels & 1)
                    m_client.refreshPanel(PanelSide::Left);
                if (panels & 2)
                    m_client.refreshPanel(PanelSide::Right);
            } catch (const std::exception &) {
                // a frame that cannot reload keeps what it shows
            }
        }
    } else if (kind == QLatin1String("users")) {
        QStringList items = ParseRoster(argument);
        m_roster = items;
        if (m_state.administrator)
            items << QStringLiteral("all");
        m_client.rosterChanged(items);
    }
    return true;
}

// "eindredacteur" + sub-kind + name. A request is asked only while this
// client holds the role; a second request while the question is open is
// ignored rather than taken as the loss of the role.
void TServerLink::finalEditor(QString argument)
{
    const QString sub = takeLetters(argument);
    dropBlanks(argument);
    const QString name = argument;
    if (sub == QLatin1String("request") && m_handOverOpen)
        return;
    if (sub == QLatin1String("request") && m_state.isFinalEditor) {
        m_handOverOpen = true;
        const bool yes = m_client.askHandOver(name);
        m_handOverOpen = false;
        if (yes) {
            m_state.isFinalEditor = false;
            m_client.finalEditorChanged();
            SendCommand(QStringLiteral("ja_eindredacteur ") + name);
        } else {
            SendCommand(QStringLiteral("nee_eindredacteur ") + name);
        }
    } else if (sub == QLatin1String("on")) {
        m_state.isFinalEditor = true;
        m_roleTeam = m_claimTeam;
        m_client.finalEditorChanged();
        if (m_reclaiming) {
            m_client.showStatusLine(QStringLiteral("Je bent weer eindredacteur"));
            return;
        }
        const QStringList &texts = congratulations();
        const int i = std::clamp(m_random(static_cast<int>(texts.size())), 0, static_cast<int>(texts.size()) - 1);
        m_client.announce(QStringLiteral("quillon"), QStringLiteral("Van quillon: ") + texts.at(i));
    } else {
        m_state.isFinalEditor = false;
        m_client.finalEditorChanged();
    }
}

}  // namespace core
