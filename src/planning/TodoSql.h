#pragma once
// The statements and server commands of the production list and its editor
// chooser, composed as text exactly as the desk's database and the other
// clients expect them; and the production line the list keeps per topic.
// No widgets and no connections: the frame sends what these compose.
//
// A production line is five fields, each followed by U+00FF: production id,
// agenda id ("-1" for an automatic item), datum ("yyyymmdd"), wie (login name
// of the assigned editor, may be empty) and kort. The production list always
// shows the clock's date, never the work date.

#include <QDate>
#include <QString>
#include <QStringList>

namespace planning {

// ---- production lines ---------------------------------------------------

struct TodoLine {
    QString todoId;  // tbltodo.id or tbltodoherhaal.id, as text
    QString agendaId;  // tblagenda.id, or "-1" for an automatic item
    QString datum;
    QString wie;
    QString kort;
    bool isAutomatic() const { return agendaId == QLatin1String("-1"); }
};

// Every column of row in order, each followed by U+00FF.
QString TodoLineText(const QStringList &row);

// Cuts a line apart: the production id is the leading run of minus sign and
// digits, the agenda id the next such run after the separator, then datum,
// wie and kort up to their separators. A malformed line gives empty fields.
TodoLine ParseTodoLine(const QString &line);

// ---- statements ---------------------------------------------------------

// today's production items of team that are not ready, and the automatic
// items of team whose pattern (Sunday first) has an "x" on today's weekday.
QString TodoReloadSql(const QDate &today, int team);
// One production line of team, whatever its date and klaar.
QString TodoFetchSql(int todoId, int team);
// One automatic line of team, for today, when not ready.
QString TodoFetchAutomaticSql(int id, const QDate &today, int team);

QString TodoDeleteSql(int todoId);
QString VersionCountSql(int agendaId);
QString TodoReadySql(int todoId);
QString TodoAutomaticReadySql(int id);
// L goes in as the chooser gave it (a login name from tbluser), escaped.
QString TodoAssignSql(const QString &login, int todoId);
QString TodoAutomaticAssignSql(const QString &login, int id);
QString EditorNamesSql();

// ---- server commands ----------------------------------------------------

QString TodoLockName(int todoId);  // "todo_" + id, for RequestLock
QString UnlockTodoCommand(int todoId);
QString LockAgendaCommand(int agendaId);
QString BroadcastTodoRemove(int todoId);
QString BroadcastTodoUpdate(int todoId);
QString BroadcastTodoHupdate(int id);
QString BroadcastKlaarNew(int todoId);
QString BroadcastKlaarHnew(int id);
QString UserOnlineCommand(const QString &login);

inline const QString TodoLockRefusal = QStringLiteral("Onderwerp geopend door $lockedby$!");
inline const QString AutomaticOpenWarning =
    QStringLiteral("Automatische productielijst items kunnen niet geopend worden!");
inline const QString AgendaItemOpenElsewhere = QStringLiteral("Agendapunt al geopend door andere redacteur");

// The warning for a topic without text versions that was to be made ready.
QString EmptyTopicWarning(const QString &kort);

}  // namespace planning
