#pragma once
// The statements and server commands of the agenda list and the agenda item
// editor, composed as text exactly as the desk's database and the other
// clients expect them. No widgets and no connections: the frames call these
// and send the result, and the tests compare the text.
//
// Dates are "yyyymmdd" texts compared as text; ids and numbers are decimal;
// text values pass through SqlEscape. Statements of the editor's link lists
// are kept pending with "%id" standing for the item's id until it is saved.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

namespace planning {

// Replaces each "%d" and "%s" of pattern, left to right, by the next of args
// as it stands (callers escape text values first). A "%" followed by anything
// else is copied; surplus placeholders become empty.
QString FormatSql(const QString &pattern, const QStringList &args);

// ---- agenda list --------------------------------------------------------

QString TeamsSql();

// The one statement of a reload: one-off items of team from d0 to d1 that are
// not on today's production list, and for d0 alone the repeating items whose
// pattern has an "x" on d0's weekday and that are not taken up on d0.
QString ReloadSql(const QDate &d0, const QDate &d1, const QDate &today, int team);

// One agenda line for a broadcast: the item when it lies in d0..d1 and belongs
// to team. Does not look at the production list.
QString FetchLineSql(int id, const QDate &d0, const QDate &d1, int team);

// What deleting one one-off item runs, in order: the item, its addresses, its
// text versions, and (kept tidy here) its archive links; then DeleteItemTodoSql.
QStringList DeleteItemSql(int id);
// Deletes the item's production-list rows and returns each row's id and
// klaar flag, so the lists showing them can be told.
QString DeleteItemTodoSql(int id);

QString MoveToTeamSql(int team, int id);

QString NextTodoIdSql();
QString NextAgendaIdSql();

// A production-list row for agenda item agendaId on date.
QString TodoInsertSql(int todoId, int agendaId, const QDate &date, int team);

// The tblagenda row that takes up repeating item repeatId on date at time.
QString TakeUpRepeatSql(int agendaId, const QString &kort, const QDate &date, const QTime &time, int team,
                        int repeatId);

// Server commands.
QString AgendaLockName(int id);  // "agenda_" + id, for RequestLock
QString UnlockAgendaCommand(int id);
QString BroadcastAgendaNew(int id);
QString BroadcastAgendaUpdate(int id);
QString BroadcastAgendaRemove(int id);
QString BroadcastTodoNew(int todoId);

inline const QString LockRefusal = QStringLiteral("Agendapunt al geopend door $lockedby$");

// ---- agenda item editor -------------------------------------------------

QString LoadItemSql(int id);  // "select *": columns by position, see sql/schema.sql
QString ItemTitleSql(int id);  // the kort of a followed-up item
QString ItemAddressesSql(int id);
QString ItemArchiveSql(int id);
QString AddressSql(int addressId);
QString ArchiveTextSql(int textId);
QString ViewArchiveTextSql(int textId);

// The editable fields of an item as they go into SQL, unescaped.
struct AgendaItemValues {
    int id = -1;
    QString kort;
    QDate datum;
    QString lang;
    QString bron;
    QString tijd;
    int team = -1;
    int repeatId = -1;
    int followUpId = -1;
    int userId = -1;
    QDate today;  // datuminvoer of an insert
};
QString InsertItemSql(const AgendaItemValues &v);
QString UpdateItemSql(const AgendaItemValues &v);

// Pending statements of the link lists.
QString LinkAddressSql(int addressId);
QString UnlinkAddressSql(int addressId);
QString LinkArchiveSql(int textId);
QString UnlinkArchiveSql(int textId);
// statement with every "%id" replaced by id.
QString WithItemId(const QString &statement, int id);

}  // namespace planning
