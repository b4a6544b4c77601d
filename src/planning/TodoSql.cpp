#include "planning/TodoSql.h"

#include "core/Dates.h"
#include "core/Tokens.h"
#include "db/SqlEscape.h"
#include "planning/AgendaLines.h"

namespace planning {

namespace {

QString num(int n)
{
    return QString::number(n);
}

// The text up to the next separator, which is consumed.
QString takeField(QString &rest)
{
    const qsizetype at = rest.indexOf(FieldSeparator);
    const QString f = at < 0 ? rest : rest.left(at);
    rest.remove(0, at < 0 ? rest.size() : at + 1);
    return f;
}

QString automaticPart(const QDate &today, int team)
{
    return QStringLiteral("select id,'-1','") + core::DateToYmd(today) + QStringLiteral("' as datum,wie,kort ") +
           QStringLiteral("from tbltodoherhaal ") + QStringLiteral("where redactie = ") + num(team) +
           QStringLiteral(" ") + QStringLiteral("and substr(dagen,") + num(core::SundayWeekdayNumber(today)) +
           QStringLiteral(",1) = 'x' ");
}

const QString kProductionSelect = QStringLiteral(
    "select tod.id,tag.id,tag.datum,tod.wie,tag.kort as kort from tbltodo tod, tblagenda  tag where tod.agendaid = "
    "tag.id and ");

}  // namespace

QString TodoLineText(const QStringList &row)
{
    QString line;
    for (const QString &value : row)
        line += value + FieldSeparator;
    return line;
}

TodoLine ParseTodoLine(const QString &line)
{
    QString rest = line;
    TodoLine t;
    t.todoId = core::TakeWhile(rest, core::Digits);
    takeField(rest);
    t.agendaId = core::TakeWhile(rest, core::Digits);
    takeField(rest);
    t.datum = takeField(rest);
    t.wie = takeField(rest);
    t.kort = takeField(rest);
    return t;
}

QString TodoReloadSql(const QDate &today, int team)
{
    return kProductionSelect + QStringLiteral("tod.datum = '") + core::DateToYmd(today) + QStringLiteral("' ") +
           QStringLiteral("and tod.redactie = ") + num(team) + QStringLiteral(" ") +
           QStringLiteral("and tag.redactie = tod.redactie ") + QStringLiteral("and not klaar ") +
           QStringLiteral("union ") + automaticPart(today, team) + QStringLiteral("and not klaar ") +
           QStringLiteral(" order by kort");
}

QString TodoFetchSql(int todoId, int team)
{
    return kProductionSelect + QStringLiteral("tod.id = ") + num(todoId) + QStringLiteral(" ") +
           QStringLiteral("and tod.redactie = ") + num(team);
}

QString TodoFetchAutomaticSql(int id, const QDate &today, int team)
{
    return automaticPart(today, team) + QStringLiteral("and not klaar and id = ") + num(id);
}

QString TodoDeleteSql(int todoId)
{
    return QStringLiteral("delete from tbltodo where id = ") + num(todoId);
}
QString VersionCountSql(int agendaId)
{
    return QStringLiteral("select count(*) from tblteksten where agendaid =  ") + num(agendaId);
}
QString TodoReadySql(int todoId)
{
    return QStringLiteral("update tbltodo set klaar = true where id = ") + num(todoId);
}
QString TodoAutomaticReadySql(int id)
{
    return QStringLiteral("update tbltodoherhaal set klaar = true where id = ") + num(id);
}
QString TodoAssignSql(const QString &login, int todoId)
{
    return QStringLiteral("update tbltodo set wie = '") + SqlEscape(login) + QStringLiteral("' where id = ") +
           num(todoId);
}
QString TodoAutomaticAssignSql(const QString &login, int id)
{
    return QStringLiteral("update tbltodoherhaal set wie = '") + SqlEscape(login) + QStringLiteral("' where id = ") +
           num(id);
}
QString EditorNamesSql()
{
    return QStringLiteral("select loginnaam from tbluser order by loginnaam");
}

QString TodoLockName(int todoId)
{
    return QStringLiteral("todo_") + num(todoId);
}
QString UnlockTodoCommand(int todoId)
{
    return QStringLiteral("unlock todo_") + num(todoId);
}
QString LockAgendaCommand(int agendaId)
{
    return QStringLiteral("lock agenda_") + num(agendaId);
}
QString BroadcastTodoRemove(int todoId)
{
    return QStringLiteral("broadcast todo remove ") + num(todoId);
}
QString BroadcastTodoUpdate(int todoId)
{
    return QStringLiteral("broadcast todo update ") + num(todoId);
}
QString BroadcastTodoHupdate(int id)
{
    return QStringLiteral("broadcast todo hupdate ") + num(id);
}
QString BroadcastKlaarNew(int todoId)
{
    return QStringLiteral("broadcast klaar new ") + num(todoId);
}
QString BroadcastKlaarHnew(int id)
{
    return QStringLiteral("broadcast klaar hnew ") + num(id);
}
QString UserOnlineCommand(const QString &login)
{
    return QStringLiteral("useronline ") + login;
}

QString EmptyTopicWarning(const QString &kort)
{
    return QStringLiteral("Onderwerp \"") + kort + QStringLiteral("\" is leeg, maak eerst versies aan!");
}

}  // namespace planning
