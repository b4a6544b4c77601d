#include "planning/KlaarSql.h"

#include "core/Dates.h"
#include "planning/AgendaLines.h"
#include "planning/AgendaSql.h"

#include <optional>

namespace planning {

namespace {

QString num(int n)
{
    return QString::number(n);
}

QString takeField(QString &rest)
{
    const qsizetype at = rest.indexOf(FieldSeparator);
    const QString f = at < 0 ? rest : rest.left(at);
    rest.remove(0, at < 0 ? rest.size() : at + 1);
    return f;
}

std::optional<int> number(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

}  // namespace

KlaarLine ParseKlaarLine(const QString &line)
{
    QString rest = line;
    KlaarLine k;
    for (QString *f : {&k.todoId, &k.agendaId, &k.datum, &k.kort, &k.wie, &k.textId, &k.kop, &k.naam})
        *f = takeField(rest);
    return k;
}

QString KlaarOrderClause(KlaarSortKey key, bool descending)
{
    const QString dir = descending ? QStringLiteral("desc") : QStringLiteral("asc");
    switch (key) {
    case KlaarSortKey::Kop: return QStringLiteral("order by kop ") + dir + QStringLiteral(", kort");
    case KlaarSortKey::Template: return QStringLiteral("order by naam ") + dir + QStringLiteral(", kop, kort");
    case KlaarSortKey::Onderwerp: break;
    }
    return QStringLiteral("order by kort ") + dir + QStringLiteral(", kop");
}

QString KlaarReloadSql(int team, const QDate &day, const QDate &today, const QDate &workDate, KlaarSortKey key,
                       bool descending)
{
    return QStringLiteral("select tod.id, tod.agendaid, tag.datum, tag.kort, tod.wie, tek.id, tek.kop, tmp.naam from "
                          "tbltodo tod, tblteksten tek, tblagenda tag, tbltemplate tmp where tek.agendaid = "
                          "tod.agendaid and tag.id = tod.agendaid and tod.redactie = '") +
           num(team) + QStringLiteral("' and tod.datum = '") + core::DateToYmd(day) +
           QStringLiteral("' and tod.klaar and tmp.id = tek.template union select id,'-1','") + core::DateToYmd(today) +
           QStringLiteral("' as datum,kort,wie,-1,'' as kop,'' as naam ") + QStringLiteral("from tbltodoherhaal ") +
           QStringLiteral("where redactie = ") + num(team) + QStringLiteral(" ") + QStringLiteral("and substr(dagen,") +
           num(core::SundayWeekdayNumber(workDate)) + QStringLiteral(",1) = 'x' ") + QStringLiteral("and klaar ") +
           KlaarOrderClause(key, descending);
}

QString KlaarBackToTodoSql(int todoId)
{
    return QStringLiteral("update tbltodo set klaar = false where id = ") + num(todoId);
}
QString KlaarAutomaticBackToTodoSql(int id)
{
    return QStringLiteral("update tbltodoherhaal set klaar = false where id = ") + num(id);
}
QString BroadcastKlaarRemove(int todoId)
{
    return QStringLiteral("broadcast klaar remove ") + num(todoId);
}
QString BroadcastTodoHnew(int id)
{
    return QStringLiteral("broadcast todo hnew ") + num(id);
}
QString KlaarLockName(int agendaId)
{
    return QStringLiteral("todo_") + num(agendaId);
}

QList<BackToTodoStep> BackToTodoSteps(const QList<KlaarLine> &selected)
{
    QList<BackToTodoStep> steps;
    QList<int> handled;
    for (const KlaarLine &line : selected) {
        const auto id = number(line.todoId);
        if (!id)
            continue;
        if (line.isAutomatic()) {
            steps << BackToTodoStep{KlaarAutomaticBackToTodoSql(*id),
                                    {BroadcastKlaarRemove(*id), BroadcastTodoHnew(*id)}};
            continue;
        }
        if (handled.contains(*id))
            continue;
        handled << *id;
        steps << BackToTodoStep{KlaarBackToTodoSql(*id), {BroadcastKlaarRemove(*id), BroadcastTodoNew(*id)}};
    }
    return steps;
}

QList<KlaarDayItem> KlaarDayMenu(const QDate &today)
{
    QList<KlaarDayItem> items;
    for (int i = 1; i <= 21; ++i) {
        const QDate d = today.addDays(-i);
        items << KlaarDayItem{core::FormatDateTime(QStringLiteral("ddd dd mmm"), d), i, d.dayOfWeek() == Qt::Monday};
    }
    return items;
}

QString KlaarLineHint(const KlaarLine &line)
{
    if (line.naam.isEmpty())
        return line.kop;
    return line.kop + QStringLiteral(" (") + line.naam + QLatin1Char(')');
}

EvalLine ParseEvalLine(const QString &line)
{
    QString rest = line;
    EvalLine e;
    e.group = number(takeField(rest)).value_or(-1);
    e.listId = number(takeField(rest)).value_or(-1);
    e.kort = takeField(rest);
    return e;
}

QStringList EvalListSql(int team, const QDate &today)
{
    const QString t = core::DateToYmd(today);
    return {QStringLiteral("select 0,t.id,a.kort from tbltodo t, tblagenda a where t.redactie = ") + num(team) +
                QStringLiteral(" and t.klaar and a.id = t.agendaid and t.datum = '") + t +
                QStringLiteral("' order by a.kort "),
            QStringLiteral("select 1,t.id,a.kort from tbltodo t, tblagenda a where t.redactie = ") + num(team) +
                QStringLiteral(" and not t.klaar and a.id = t.agendaid and t.datum = '") + t +
                QStringLiteral("' order by a.kort "),
            QStringLiteral("select 2,a.id,a.kort from tblagenda a where a.datum = '") + t + QStringLiteral("' ") +
                QStringLiteral("and a.id not in (select agendaid from tbltodo where datum = '") + t +
                QStringLiteral("') ") + QStringLiteral("and a.redactie = ") + num(team) + QStringLiteral(" ")};
}

QString EvalTopicSql(int group, int listId)
{
    if (group == 2)
        return QStringLiteral("select kort,lang,id from tblagenda where id = ") + num(listId);
    return QStringLiteral("select a.kort,a.lang,a.id from tblagenda a, tbltodo t where a.id = t.agendaid and t.id = ") +
           num(listId) + QStringLiteral(" ");
}

QString EvalDeleteTodoSql(int todoId)
{
    return QStringLiteral("delete from tbltodo where id = ") + num(todoId);
}

QString EvalRescheduleSql(const QDate &day, int agendaId)
{
    return QStringLiteral("update tblagenda set datum = '") + core::DateToYmd(day) + QStringLiteral("' where id = ") +
           num(agendaId) + QStringLiteral(" ");
}

QString EvalVersionsSql(int agendaId)
{
    return QStringLiteral("select id,kop from tblteksten where agendaid = ") + num(agendaId);
}

QString EvalOrigin(int group)
{
    switch (group) {
    case 0: return QStringLiteral("Afkomstig van de klaarlijst");
    case 1: return QStringLiteral("Afkomstig van de productielijst");
    case 2: return QStringLiteral("Afkomstig van de agenda");
    default: return QString();
    }
}

QString EvalGroupWord(int group)
{
    switch (group) {
    case 0: return QStringLiteral("klaar");
    case 1: return QStringLiteral("productie");
    case 2: return QStringLiteral("agenda");
    default: return QString();
    }
}

QString EvalTopicMarkup(int group, const QString &kort, const QString &lang)
{
    return QStringLiteral("Onderwerp:\r\n<bold>") + kort + QStringLiteral("\r\n\r\n") + QStringLiteral("<green>") +
           EvalOrigin(group) + QStringLiteral("<normal><black>\r\n\r\n") + lang +
           QStringLiteral("\r\n\r\n<bold><green>Wat gaat u met dit onderwerp doen?");
}

}  // namespace planning
