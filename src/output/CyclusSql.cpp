#include "output/CyclusSql.h"

#include "core/Dates.h"

namespace output {

namespace {

QString num(int n)
{
    return QString::number(n);
}

QString copyFlag(bool onAir)
{
    return onAir ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

QString CopyCondition(bool onAir)
{
    return onAir ? QStringLiteral("and onair") : QStringLiteral("and not onair");
}

QString ProgrammesSql(int team)
{
    return QStringLiteral("select id,naam from tblzenders where id in (select zenderid from tblredactierubriek where "
                          "redactieid = ") +
           num(team) + QStringLiteral(") order by naam");
}

QString ProgrammeNameSql(int programme)
{
    return QStringLiteral("select naam from tblzenders where id = ") + num(programme);
}

QString RubricsSql(int programme, bool onAir)
{
    return QStringLiteral("select t.id,t.naam from tblrubriek t, tblzenderrubriek z where z.zender = ") +
           num(programme) + QStringLiteral(" ") + CopyCondition(onAir) +
           QStringLiteral(" and z.rubriek = t.id order by naam");
}

QString RubricContentSql(int rubric, bool onAir)
{
    return QStringLiteral("select txt from tblrubriek where id = ") + num(rubric) + QStringLiteral(" ") +
           CopyCondition(onAir);
}

QString RubricTemplatesSql(int rubric)
{
    return QStringLiteral("select tbltemplate.id, tbltemplate.naam from tbltemplate, tblrubriektemplate where "
                          "tbltemplate.id = tblrubriektemplate.templateid and tblrubriektemplate.rubriekid = ") +
           num(rubric);
}

QString TextLineSql(int textId)
{
    return QStringLiteral("select kop,paginacount,klok from tblteksten where id = ") + num(textId);
}

QString TextTemplateSql(int textId)
{
    return QStringLiteral("select template from tblteksten where id = ") + num(textId);
}

QString TotalsSql(int programme, bool onAir)
{
    return QStringLiteral("select sum(paginacount), sum(onderwerpcount) from tblrubriek where id in (select rubriek "
                          "from tblzenderrubriek where zender = ") +
           num(programme) + QStringLiteral(") ") + CopyCondition(onAir);
}

QString TextHintSql(int textId)
{
    return QStringLiteral("select kop,klok from tblteksten where id = ") + num(textId);
}

QString TextAgendaSql(int textId)
{
    return QStringLiteral("select agendaid from tblteksten where id = ") + num(textId);
}

QString StoreRubricSql(const QString &content, int pageTotal, int count, bool onAir, int rubric)
{
    return QStringLiteral("update tblrubriek set txt = '") + content + QStringLiteral("' ") +
           QStringLiteral(",paginacount = ") + num(pageTotal) + QStringLiteral(" ") +
           QStringLiteral(",onderwerpcount = ") + num(count) + QStringLiteral(" ") +
           (onAir ? QStringLiteral("where onair and id = ") : QStringLiteral("where not onair and id = ")) +
           num(rubric);
}

QStringList StoreRubricStatements(const QString &content, int pageTotal, int count, bool onAir, int rubric,
                                  const QDateTime &moment, int userId)
{
    const QString copy = QStringLiteral(" and onair = ") + copyFlag(onAir);
    const QString which = QStringLiteral("rubriekid = ") + num(rubric) + copy;
    return {QStringLiteral("insert into tblrubriekhistorie (rubriekid, onair, txt, datum, tijd, wie) select id, onair, "
                           "txt, '") +
                core::DateToYmd(moment.date()) + QStringLiteral("', '") +
                core::FormatDateTime(QStringLiteral("hh:nn:ss"), moment.time()) + QStringLiteral("', ") + num(userId) +
                QStringLiteral(" from tblrubriek where id = ") + num(rubric) + copy +
                QStringLiteral(" and coalesce(txt, '') <> '") + content + QStringLiteral("'"),
            StoreRubricSql(content, pageTotal, count, onAir, rubric),
            QStringLiteral("delete from tblrubriekhistorie where ") + which +
                QStringLiteral(" and id <= (select id from tblrubriekhistorie where ") + which +
                QStringLiteral(" order by id desc offset ") + num(RubricHistoryDepth) + QStringLiteral(" limit 1)")};
}

QString PreviousContentSql(int rubric, bool onAir, const QString &current)
{
    return QStringLiteral("select txt from tblrubriekhistorie where rubriekid = ") + num(rubric) +
           QStringLiteral(" and onair = ") + copyFlag(onAir) + QStringLiteral(" and coalesce(txt, '') <> '") + current +
           QStringLiteral("' order by id desc limit 1");
}

QString BroadcastRubricUpdate(int rubric)
{
    return QStringLiteral("broadcast rubriek update ") + num(rubric);
}

QString CycleLockName(int agendaId)
{
    return QStringLiteral("todo_") + num(agendaId);
}

QString PlayoutRubricsSql(int programme)
{
    return QStringLiteral("select id,naam from tblrubriek where id in (select rubriek from tblzenderrubriek where "
                          "zender = ") +
           num(programme) + QStringLiteral(") and not onair order by naam");
}

QString PlayoutRubricSql(int rubric)
{
    return QStringLiteral("select txt,naam from tblrubriek where not onair and id = ") + num(rubric);
}

QString PlayoutTextSql(int textId)
{
    return QStringLiteral("select id,kop from tblteksten where id = ") + num(textId);
}

QString PlayoutShowSql(int textId)
{
    return QStringLiteral("select kop,body from tblteksten where id = ") + num(textId);
}

}  // namespace output
