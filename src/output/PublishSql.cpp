#include "output/PublishSql.h"

#include "db/SqlEscape.h"

namespace output {

namespace {
QString num(int n)
{
    return QString::number(n);
}
}  // namespace

QString PublishProgrammesSql(int team)
{
    return QStringLiteral(
               "select id,naam from tblzenders where id in (select progid from tblredpubrub where redid = ") +
           num(team) + QStringLiteral(") order by naam");
}

QString PublishRubricsSql(int programme)
{
    return QStringLiteral("select r.id,r.naam from tblrubriek r, tblzenderrubriek z where z.zender = ") +
           num(programme) + QStringLiteral(" ") +
           QStringLiteral("and r.id = z.rubriek and not r.onair order by r.naam");
}

QString JobListsSql(int team)
{
    return QStringLiteral("select id,naam from tbldefaultjoblist where redactieid = ") + num(team) +
           QStringLiteral(" order by naam");
}

QString JobListRubricsSql(int jobList)
{
    return QStringLiteral("select rubs from tbldefaultjoblist where id = ") + num(jobList);
}

QString InsertJobListSql(const QString &name, const QString &selection, int team)
{
    return QStringLiteral("insert into tbldefaultjoblist (naam,rubs,redactieid) values ('%1','%2',%3)")
        .arg(SqlEscape(name), SqlEscape(selection), num(team));
}

QString UpdateJobListSql(const QString &name, const QString &selection, int jobList)
{
    return QStringLiteral("update tbldefaultjoblist set naam = '%1', rubs = '%2' where id = %3")
        .arg(SqlEscape(name), SqlEscape(selection), num(jobList));
}

QString DeleteJobListSql(int jobList)
{
    return QStringLiteral("delete from tbldefaultjoblist where id = ") + num(jobList);
}

QString PublishCommand(const QString &selection)
{
    return QStringLiteral("publiceer ") + selection;
}

QString PreviewCommand(const QString &selection)
{
    return QStringLiteral("voorbeeld ") + selection;
}

}  // namespace output
