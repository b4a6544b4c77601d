#pragma once
// The statements, server commands and line formats of the ready list and of
// the topic evaluation, composed as text exactly as the desk's database and
// the other clients expect them. No widgets and no connections.
//
// A ready line is eight fields, each followed by U+00FF: production id,
// agenda id ("-1" for an automatic item), datum, kort, wie, text id ("-1"
// for an automatic item), kop and template name. An evaluation line is three
// fields, each followed by U+00FF: the group (0 ready, 1 production, 2
// agenda), the list id (tbltodo.id, or tblagenda.id for group 2) and kort.

#include "planning/AgendaSql.h"  // BroadcastTodoNew, BroadcastAgendaUpdate

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace planning {

// ---- ready lines ----------------------------------------------------------

struct KlaarLine {
    QString todoId;  // tbltodo.id or tbltodoherhaal.id
    QString agendaId;  // "-1" for an automatic item
    QString datum;
    QString kort;
    QString wie;
    QString textId;  // "-1" for an automatic item
    QString kop;
    QString naam;  // the version's template
    bool isAutomatic() const { return agendaId == QLatin1String("-1"); }
};

// Cuts a line into its eight fields (each up to its separator); missing
// fields are empty.
KlaarLine ParseKlaarLine(const QString &line);

enum class KlaarSortKey {
    Onderwerp,  // "Op onderwerp"
    Kop,  // "Op kop (titel)"
    Template  // "Op template"
};

// "order by kort asc, kop" and the like.
QString KlaarOrderClause(KlaarSortKey key, bool descending);

// The versions of team's topics made ready for day, and the automatic items
// made ready whose weekday pattern (Sunday first) has an "x" on workDate's
// weekday; an automatic item's datum is today.
QString KlaarReloadSql(int team, const QDate &day, const QDate &today, const QDate &workDate, KlaarSortKey key,
                       bool descending);

QString KlaarBackToTodoSql(int todoId);
QString KlaarAutomaticBackToTodoSql(int id);

QString BroadcastKlaarRemove(int todoId);
QString BroadcastTodoHnew(int id);
QString KlaarLockName(int agendaId);  // "todo_" + agenda id: the cycle names its lock the same way

// What "Naar productielijst" runs for a selection, in list order: one
// statement per topic (several versions of one topic give one), each with
// the broadcasts to send once it is stored.
struct BackToTodoStep {
    QString sql;
    QStringList broadcasts;
};
QList<BackToTodoStep> BackToTodoSteps(const QList<KlaarLine> &selected);

// The day menu "Eerder": one item per day 1 .. 21 back from today (caption
// "ddd dd mmm", tag the days back), with a separator after every Monday.
struct KlaarDayItem {
    QString caption;
    int daysBack = 0;
    bool separatorAfter = false;
};
QList<KlaarDayItem> KlaarDayMenu(const QDate &today);

// The hint of a ready line: the version's headline and template.
QString KlaarLineHint(const KlaarLine &line);

// ---- topic evaluation -------------------------------------------------------

struct EvalLine {
    int group = -1;  // 0 ready list, 1 production list, 2 agenda
    int listId = -1;
    QString kort;
};
// -1 fields when the line does not read.
EvalLine ParseEvalLine(const QString &line);

// The three statements of the list, in the order their rows are added.
QStringList EvalListSql(int team, const QDate &today);
// The topic's agenda item for a chosen line: kort, lang, id.
QString EvalTopicSql(int group, int listId);
QString EvalDeleteTodoSql(int todoId);
QString EvalRescheduleSql(const QDate &day, int agendaId);
QString EvalVersionsSql(int agendaId);  // id, kop of every version

// The origin line ("Afkomstig van de klaarlijst") and the group word drawn
// at the right ("klaar").
QString EvalOrigin(int group);
QString EvalGroupWord(int group);
// What view shows for the chosen topic (THighlightView markup).
QString EvalTopicMarkup(int group, const QString &kort, const QString &lang);

inline const QString EvalCompleted = QStringLiteral("Evaluatie voltooid");

}  // namespace planning
