#include "planning/AgendaSql.h"

#include "core/Dates.h"
#include "db/SqlEscape.h"

namespace planning {

namespace {

QString num(int n)
{
    return QString::number(n);
}
QString ymd(const QDate &d)
{
    return core::DateToYmd(d);
}

}  // namespace

QString FormatSql(const QString &pattern, const QStringList &args)
{
    QString out;
    out.reserve(pattern.size() + 64);
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < pattern.size() &&
            (pattern.at(i + 1) == QLatin1Char('d') || pattern.at(i + 1) == QLatin1Char('s'))) {
            out += args.value(next++);
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString TeamsSql()
{
    return QStringLiteral("select id,naam from tblredactie order by naam");
}

QString ReloadSql(const QDate &d0, const QDate &d1, const QDate &today, int team)
{
    const QString D0 = ymd(d0), D1 = ymd(d1), T = ymd(today), R = num(team);
    const QString W = num(core::SundayWeekdayNumber(d0));
    return QStringLiteral("select a.id,'normal',a.kort,a.datum,a.tijd from tblagenda a where a.datum >= '") + D0 +
           QStringLiteral("' ") + QStringLiteral("and a.datum <= '") + D1 + QStringLiteral("' ") +
           QStringLiteral("and a.id not in (select agendaid from tbltodo where datum = '") + T + QStringLiteral("') ") +
           QStringLiteral("and a.redactie = ") + R + QStringLiteral(" ") + QStringLiteral("union ") +
           QStringLiteral("select id,'herhaal',kort,'") + D0 + QStringLiteral("' as datum,'00:00' ") +
           QStringLiteral("from tblagendaherhaal ") + QStringLiteral("where redactie = ") + R + QStringLiteral(" ") +
           QStringLiteral("and substr(dagen,") + W + QStringLiteral(",1) = 'x' ") + QStringLiteral("and id not in ") +
           QStringLiteral("(select herhaal from tblagenda where datum = '") + D0 + QStringLiteral("') ") +
           QStringLiteral(" order by datum asc,kort");
}

QString FetchLineSql(int id, const QDate &d0, const QDate &d1, int team)
{
    return QStringLiteral("select id,'normal',kort,datum,tijd from tblagenda where id = ") + num(id) +
           QStringLiteral(" and ") + QStringLiteral("datum >= '") + ymd(d0) + QStringLiteral("' and ") +
           QStringLiteral("datum <= '") + ymd(d1) + QStringLiteral("' and ") + QStringLiteral("redactie = ") +
           num(team);
}

QStringList DeleteItemSql(int id)
{
    const QString n = num(id);
    return {QStringLiteral("delete from tblagenda where id = ") + n,
            QStringLiteral("delete from tblagendanaw where agenda = ") + n,
            QStringLiteral("delete from tblteksten where agendaid = ") + n,
            // Without these the archive links and production-list rows of a
            // deleted item point at nothing and turn up as empty topics.
            QStringLiteral("delete from tblagendaarchief where agenda = ") + n};
}

QString DeleteItemTodoSql(int id)
{
    // The rows deleted are the rows announced, even when another editor put
    // the item on a list a moment ago.
    return QStringLiteral("delete from tbltodo where agendaid = ") + num(id) + QStringLiteral(" returning id,klaar");
}

QString MoveToTeamSql(int team, int id)
{
    return QStringLiteral("update tblagenda set redactie = ") + num(team) + QStringLiteral(" where id = ") + num(id);
}

QString NextTodoIdSql()
{
    return QStringLiteral("select nextval('tbltodo_id_seq')");
}
QString NextAgendaIdSql()
{
    return QStringLiteral("select nextval('tblagenda_id_seq')");
}

QString TodoInsertSql(int todoId, int agendaId, const QDate &date, int team)
{
    return QStringLiteral("insert into tbltodo (id,agendaid,datum,klaar,redactie) values (") + num(todoId) +
           QStringLiteral(",") + num(agendaId) + QStringLiteral(",'") + ymd(date) + QStringLiteral("',false,") +
           num(team) + QStringLiteral(")");
}

QString TakeUpRepeatSql(int agendaId, const QString &kort, const QDate &date, const QTime &time, int team, int repeatId)
{
    return FormatSql(QStringLiteral("insert into tblagenda (id,kort,datum,tijd,redactie,herhaal) values "
                                    "(%d,'%s','%s','%s',%d,%d)"),
                     {num(agendaId), SqlEscape(kort), ymd(date), core::FormatDateTime(QStringLiteral("hh:nn"), time),
                      num(team), num(repeatId)});
}

QString AgendaLockName(int id)
{
    return QStringLiteral("agenda_") + num(id);
}
QString UnlockAgendaCommand(int id)
{
    return QStringLiteral("unlock agenda_") + num(id);
}
QString BroadcastAgendaNew(int id)
{
    return QStringLiteral("broadcast agenda new ") + num(id);
}
QString BroadcastAgendaUpdate(int id)
{
    return QStringLiteral("broadcast agenda update ") + num(id);
}
QString BroadcastAgendaRemove(int id)
{
    return QStringLiteral("broadcast agenda remove ") + num(id);
}
QString BroadcastTodoNew(int todoId)
{
    return QStringLiteral("broadcast todo new ") + num(todoId);
}

QString LoadItemSql(int id)
{
    return QStringLiteral("select * from tblagenda where id = ") + num(id);
}
QString ItemTitleSql(int id)
{
    return QStringLiteral("select kort from tblagenda where id = ") + num(id);
}

QString ItemAddressesSql(int id)
{
    return QStringLiteral("select tblnaw.id,naam,woonplaats,telefoon from tblnaw,tblagendanaw where tblnaw.id = "
                          "tblagendanaw.naw and tblagendanaw.agenda = ") +
           num(id);
}

QString ItemArchiveSql(int id)
{
    return QStringLiteral("select id,kop from tblteksten,tblagendaarchief where tblagendaarchief.archief = "
                          "tblteksten.id and tblagendaarchief.agenda = ") +
           num(id);
}

QString AddressSql(int addressId)
{
    return QStringLiteral("select id,naam,woonplaats,telefoon from tblnaw where id = ") + num(addressId);
}
QString ArchiveTextSql(int textId)
{
    return QStringLiteral("select id,kop from tblteksten where id = ") + num(textId);
}
QString ViewArchiveTextSql(int textId)
{
    return QStringLiteral("select kop,body,datum from tblteksten where id = ") + num(textId);
}

QString InsertItemSql(const AgendaItemValues &v)
{
    return FormatSql(QStringLiteral("insert into tblagenda (id,kort,datum,lang,bron,redactie,herhaal,followup,"
                                    "invoerdoor,datuminvoer,tijd) values "
                                    "('%d','%s','%s','%s','%s',%d,%d,%d,%d,'%s','%s')"),
                     {num(v.id), SqlEscape(v.kort), ymd(v.datum), SqlEscape(v.lang), SqlEscape(v.bron), num(v.team),
                      num(v.repeatId), num(v.followUpId), num(v.userId), ymd(v.today), SqlEscape(v.tijd)});
}

QString UpdateItemSql(const AgendaItemValues &v)
{
    return FormatSql(QStringLiteral(" update tblagenda set kort = '%s', datum = '%s', lang = '%s', tijd = '%s', "
                                    "followup = %d, bron = '%s' where id = %d"),
                     {SqlEscape(v.kort), ymd(v.datum), SqlEscape(v.lang), SqlEscape(v.tijd), num(v.followUpId),
                      SqlEscape(v.bron), num(v.id)});
}

QString LinkAddressSql(int addressId)
{
    return QStringLiteral("insert into tblagendanaw values (%id,") + num(addressId) + QStringLiteral(")");
}
QString UnlinkAddressSql(int addressId)
{
    return QStringLiteral("delete from tblagendanaw where agenda = %id and naw = ") + num(addressId);
}
QString LinkArchiveSql(int textId)
{
    return QStringLiteral("insert into tblagendaarchief values (%id,") + num(textId) + QStringLiteral(")");
}
QString UnlinkArchiveSql(int textId)
{
    return QStringLiteral("delete from tblagendaarchief where agenda = %id and archief = ") + num(textId);
}

QString WithItemId(const QString &statement, int id)
{
    QString s = statement;
    return s.replace(QStringLiteral("%id"), num(id));
}

}  // namespace planning
