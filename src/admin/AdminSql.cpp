#include "admin/AdminSql.h"

#include "db/SqlEscape.h"

namespace admin {

namespace {

QString n(int value)
{
    return QString::number(value);
}

QString q(const QString &text)
{
    return QLatin1Char('\'') + SqlEscape(text) + QLatin1Char('\'');
}

}  // namespace

// ---- editors ------------------------------------------------------------------

QString UserListSql()
{
    return QStringLiteral("select userid,loginnaam from tbluser order by loginnaam");
}

QString UserSql(int userId)
{
    return QStringLiteral("select loginnaam,rights from tbluser where userid = ") + n(userId);
}

QString UpdateUserSql(int userId, const QString &passwordHash, const QString &rights)
{
    if (passwordHash.isEmpty())
        return QStringLiteral("update tbluser set rights = '%1' where userid = %2").arg(SqlEscape(rights), n(userId));
    return QStringLiteral("update tbluser set password = '%1' , rights = '%2' where userid = %3")
        .arg(SqlEscape(passwordHash), SqlEscape(rights), n(userId));
}

QString InsertUserSql(const QString &loginName)
{
    return QStringLiteral("insert into tbluser (loginnaam) values (") + q(loginName) + QLatin1Char(')');
}

QStringList DeleteUserSql(int userId)
{
    return {QStringLiteral("delete from tblredactieuser where userid = ") + n(userId),
            QStringLiteral("delete from tbluser where userid = ") + n(userId)};
}

QString AvailableTeamsSql(int userId)
{
    return QStringLiteral("select id,naam from tblredactie where id not in (select redactieid from tblredactieuser "
                          "where userid = %1) order by naam")
        .arg(userId);
}

QString UserTeamsSql(int userId)
{
    return QStringLiteral("select red.id,red.naam from tblredactie red, tblredactieuser where red.id = "
                          "tblredactieuser.redactieid and tblredactieuser.userid = %1 order by red.naam")
        .arg(userId);
}

QString AddMembershipSql(int teamId, int userId)
{
    return QStringLiteral("insert into tblredactieuser values (") + n(teamId) + QLatin1Char(',') + n(userId) +
           QLatin1Char(')');
}

QString RemoveMembershipSql(int teamId, int userId)
{
    return QStringLiteral("delete from tblredactieuser where redactieid = ") + n(teamId) +
           QStringLiteral(" and userid = ") + n(userId);
}

QString RightsString(bool finalEditor, bool administrator)
{
    QString rights;
    rights += finalEditor ? QLatin1Char('x') : QLatin1Char('-');
    rights += administrator ? QLatin1Char('x') : QLatin1Char('-');
    return rights.leftJustified(16, QLatin1Char('-'));
}

// ---- editorial teams ------------------------------------------------------------

QString TeamListSql()
{
    return QStringLiteral("select id,naam from tblredactie order by naam");
}

QString ProgrammeListSql()
{
    return QStringLiteral("select id,naam from tblzenders order by naam");
}

QString TeamProgrammesSql(int teamId)
{
    return QStringLiteral("select z.id,z.naam from tblzenders z, tblredactierubriek r where z.id = r.zenderid and "
                          "r.redactieid = ") +
           n(teamId) + QStringLiteral(" order by naam");
}

QString TeamPublishProgrammesSql(int teamId)
{
    return QStringLiteral("select z.id,z.naam from tblzenders z, tblredpubrub r where z.id = r.progid and r.redid = ") +
           n(teamId) + QStringLiteral(" order by naam");
}

QString InsertTeamSql(const QString &name)
{
    return QStringLiteral("insert into tblredactie (naam,color) values ('%1','%2')")
        .arg(SqlEscape(name), QStringLiteral("000000"));
}

QString RenameTeamSql(int teamId, const QString &name)
{
    return QStringLiteral("update tblredactie set naam = ") + q(name) + QStringLiteral(" where id = ") + n(teamId);
}

QStringList DeleteTeamSql(int teamId)
{
    return {QStringLiteral("delete from tblredactie where id = ") + n(teamId),
            QStringLiteral("delete from tblredactieuser where redactieid = ") + n(teamId),
            QStringLiteral("delete from tblagenda where redactie = ") + n(teamId)};
}

QString AssignProgrammeSql(int teamId, int programmeId)
{
    return QStringLiteral("insert into tblredactierubriek values (") + n(teamId) + QLatin1Char(',') + n(programmeId) +
           QLatin1Char(')');
}

QString RemoveProgrammeSql(int teamId, int programmeId)
{
    return QStringLiteral("delete from tblredactierubriek where redactieid = ") + n(teamId) +
           QStringLiteral(" and zenderid = ") + n(programmeId);
}

QString AssignPublishSql(int teamId, int programmeId)
{
    return QStringLiteral("insert into tblredpubrub values (") + n(teamId) + QLatin1Char(',') + n(programmeId) +
           QLatin1Char(')');
}

QString RemovePublishSql(int teamId, int programmeId)
{
    return QStringLiteral("delete from tblredpubrub where redid = ") + n(teamId) + QStringLiteral(" and progid = ") +
           n(programmeId);
}

// ---- table editor -----------------------------------------------------------------

QString TableListSql()
{
    return QStringLiteral("select name,sortcolumn from tbltableeditor order by name");
}

QString TableRowsSql(const QString &table, const QString &sortColumn)
{
    return QStringLiteral("select * from ") + table + QStringLiteral(" order by ") + sortColumn;
}

QString UpdateRowSql(const QString &table, const QStringList &columns, const QStringList &values, int id)
{
    QStringList pairs;
    for (qsizetype i = 0; i < columns.size(); ++i)
        pairs << columns.at(i) + QLatin1Char('=') + q(values.value(i));
    return QStringLiteral("update ") + table + QStringLiteral(" set ") + pairs.join(QLatin1Char(',')) +
           QStringLiteral(" where id = ") + n(id);
}

QString InsertRowSql(const QString &table, const QStringList &columns, const QStringList &values)
{
    QStringList quoted;
    for (qsizetype i = 0; i < columns.size(); ++i)
        quoted << q(values.value(i));
    return QStringLiteral("insert into ") + table + QStringLiteral(" (") + columns.join(QLatin1Char(',')) +
           QStringLiteral(") values (") + quoted.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString DeleteRowSql(const QString &table, int id)
{
    return QStringLiteral("delete from ") + table + QStringLiteral(" where id = ") + n(id);
}

// ---- templates ----------------------------------------------------------------------

QString TemplateListSql()
{
    return QStringLiteral("select id,naam from tbltemplate order by naam");
}

QString TemplateParentSql(int templateId)
{
    return QStringLiteral("select parent from tbltemplate where id = ") + n(templateId);
}

QString TeamTemplatesSql(int teamId)
{
    return QStringLiteral("select template,tmp.naam from tblredactietemplate,tbltemplate tmp where tmp.id = template "
                          "and redactie = ") +
           n(teamId);
}

QString ProgrammeRubricsSql(int programmeId)
{
    return QStringLiteral("select id,naam from tblrubriek where id in (select rubriek from tblzenderrubriek where "
                          "zender = ") +
           n(programmeId) + QStringLiteral(") group by id,naam order by naam");
}

QString RubricTemplatesSql(int rubricId)
{
    return QStringLiteral("select templateid,tmp.naam from tblrubriektemplate,tbltemplate tmp where tmp.id = "
                          "templateid and rubriekid = ") +
           n(rubricId);
}

QString GiveTemplateToTeamSql(int teamId, int templateId)
{
    return QStringLiteral("insert into tblredactietemplate values (") + n(teamId) + QLatin1Char(',') + n(templateId) +
           QLatin1Char(')');
}

QString TakeTemplateFromTeamSql(int teamId, int templateId)
{
    return QStringLiteral("delete from tblredactietemplate where redactie = ") + n(teamId) +
           QStringLiteral(" and template = ") + n(templateId);
}

QString GiveTemplateToRubricSql(int rubricId, int templateId)
{
    return QStringLiteral("insert into tblrubriektemplate values (") + n(rubricId) + QLatin1Char(',') + n(templateId) +
           QLatin1Char(')');
}

QString TakeTemplateFromRubricSql(int rubricId, int templateId)
{
    return QStringLiteral("delete from tblrubriektemplate where rubriekid = ") + n(rubricId) +
           QStringLiteral(" and templateid = ") + n(templateId);
}

QString SetTemplateParentSql(int templateId, int parentId)
{
    return QStringLiteral("update tbltemplate set parent = ") + n(parentId) + QStringLiteral(" where id = ") +
           n(templateId);
}

QString TemplateForEditSql(int templateId)
{
    return QStringLiteral("select naam,content,editor,initial from tbltemplate where id = ") + n(templateId);
}

QString UpdateTemplateSql(int templateId, const QString &naam, const QString &editor, const QString &content,
                          const QString &initial)
{
    return QStringLiteral("update tbltemplate set naam = '%1',editor = '%2', content = '%3', initial = '%4' where id "
                          "= %5")
        .arg(SqlEscape(naam), SqlEscape(editor), SqlEscape(content), SqlEscape(initial), n(templateId));
}

QString TemplateForCopySql(int templateId)
{
    return QStringLiteral("select naam,content,editor from tbltemplate where id = ") + n(templateId);
}

QString InsertTemplateSql(const QString &naam, const QString &content, const QString &editor)
{
    return QStringLiteral("insert into tbltemplate (naam,content,editor) values ('%1','%2','%3')")
        .arg(SqlEscape(naam), SqlEscape(content), SqlEscape(editor));
}

QStringList DeleteTemplateSql(int templateId)
{
    return {QStringLiteral("delete from tbltemplate where id = ") + n(templateId),
            QStringLiteral("delete from tblrubriektemplate where templateid = ") + n(templateId),
            QStringLiteral("delete from tblredactietemplate where template = ") + n(templateId)};
}

// ---- programmes and rubrics -----------------------------------------------------------

QString WorkingRubricsSql()
{
    return QStringLiteral("select id,naam from tblrubriek where not onair order by naam");
}

QString ProgrammeLinksSql(int programmeId)
{
    return QStringLiteral("select rub.id,rub.naam from tblrubriek rub, tblzenderrubriek zen where rub.id = "
                          "zen.rubriek and zen.zender = ") +
           n(programmeId) + QStringLiteral(" and not rub.onair ");
}

QString InsertProgrammeSql(const QString &name)
{
    return QStringLiteral("insert into tblzenders (naam) values (") + q(name) + QLatin1Char(')');
}

QString RenameProgrammeSql(int programmeId, const QString &name)
{
    return QStringLiteral("update tblzenders set naam = ") + q(name) + QStringLiteral(" where id = ") + n(programmeId);
}

QString DeleteProgrammeSql(int programmeId)
{
    return QStringLiteral("delete from tblzenders where id = ") + n(programmeId);
}

QString NextRubricIdSql()
{
    return QStringLiteral("select nextval('tblrubriek_id_seq')");
}

QStringList InsertRubricSql(const QString &id, const QString &name)
{
    const QString pattern = QStringLiteral("insert into tblrubriek (id,naam,onair) values (%1,'%2',%3)");
    return {pattern.arg(id, SqlEscape(name), QStringLiteral("false")),
            pattern.arg(id, SqlEscape(name), QStringLiteral("true"))};
}

QString RenameRubricSql(int rubricId, const QString &name)
{
    return QStringLiteral("update tblrubriek set naam = ") + q(name) + QStringLiteral(" where id = ") + n(rubricId);
}

QStringList DeleteRubricSql(int rubricId)
{
    return {QStringLiteral("delete from tblrubriek where id = ") + n(rubricId),
            QStringLiteral("delete from tblzenderrubriek where rubriek = ") + n(rubricId)};
}

QString LinkRubricSql(int programmeId, int rubricId)
{
    return QStringLiteral("insert into tblzenderrubriek values (") + n(programmeId) + QLatin1Char(',') + n(rubricId) +
           QLatin1Char(')');
}

QString UnlinkRubricSql(int programmeId, int rubricId)
{
    return QStringLiteral("delete from tblzenderrubriek where zender = ") + n(programmeId) +
           QStringLiteral(" and rubriek = ") + n(rubricId) + QLatin1Char(' ');
}

// ---- targets --------------------------------------------------------------------------

QString TargetListSql()
{
    return QStringLiteral("select id,naam from tbldoel order by naam");
}

QString TargetFileListSql()
{
    return QStringLiteral("select id,naam from tbldoelfile order by naam");
}

QString TargetSql(int targetId)
{
    return QStringLiteral("select * from tbldoel where id = ") + n(targetId);
}

QString TargetFilesOfTargetSql(int targetId)
{
    return QStringLiteral("select d.id,d.naam from tbldoelfile d, tblnaardoel t where t.doelid = ") + n(targetId) +
           QStringLiteral(" and t.doelfileid = d.id order by d.naam");
}

QString InsertTargetSql(const QString &naam, const QString &module, const QString &settings)
{
    return QStringLiteral("insert into tbldoel (naam,module,settings) values ('%1','%2','%3')")
        .arg(SqlEscape(naam), SqlEscape(module), SqlEscape(settings));
}

QString UpdateTargetSql(int targetId, const QString &naam, const QString &module, const QString &settings)
{
    return QStringLiteral("update tbldoel set naam = '%1', module = '%2',settings = '%3' where id = %4")
        .arg(SqlEscape(naam), SqlEscape(module), SqlEscape(settings), n(targetId));
}

QStringList DeleteTargetSql(int targetId)
{
    return {QStringLiteral("delete from tbldoel where id = ") + n(targetId),
            QStringLiteral("delete from tblnaardoel where doelid = ") + n(targetId)};
}

QString SendFileToTargetSql(int fileId, int targetId)
{
    return QStringLiteral("insert into tblnaardoel values (") + n(fileId) + QLatin1Char(',') + n(targetId) +
           QLatin1Char(')');
}

QString StopFileToTargetSql(int fileId, int targetId)
{
    return QStringLiteral("delete from tblnaardoel where doelfileid = ") + n(fileId) +
           QStringLiteral(" and doelid = ") + n(targetId);
}

// ---- export templates and target files -------------------------------------------------

QString ExportTemplateListSql()
{
    return QStringLiteral("select id,naam from tblexporttemplate order by naam");
}

QString InsertExportTemplateSql(const QString &naam, const QString &settings)
{
    return QStringLiteral("insert into tblexporttemplate (naam,settings) values (") + q(naam) + QLatin1Char(',') +
           q(settings) + QLatin1Char(')');
}

QString ExportTemplateSettingsSql(int templateId)
{
    return QStringLiteral("select settings from tblexporttemplate where id = ") + n(templateId);
}

QString UpdateExportTemplateSql(int templateId, const QString &naam, const QString &settings)
{
    return QStringLiteral("update tblexporttemplate set naam = ") + q(naam) + QStringLiteral(", settings = ") +
           q(settings) + QStringLiteral(" where id = ") + n(templateId);
}

QString DeleteExportTemplateSql(int templateId)
{
    return QStringLiteral("delete from tblexporttemplate where id = ") + n(templateId);
}

QString TargetFileSql(int fileId)
{
    return QStringLiteral("select * from tbldoelfile where id = ") + n(fileId);
}

QString AlongFilesSql(int fileId)
{
    return QStringLiteral("select id,naam from tbldoelfile, tbldoeldepend where doelfileid = ") + n(fileId) +
           QStringLiteral(" and alsodoelfileid = id");
}

QString NotAlongFilesSql(int fileId)
{
    return QStringLiteral("select id,naam from tbldoelfile where id not in (select alsodoelfileid from tbldoeldepend "
                          "where doelfileid = ") +
           n(fileId) + QLatin1Char(')');
}

QString TakeAlongSql(int fileId, int alsoFileId)
{
    return QStringLiteral("insert into tbldoeldepend values (") + n(fileId) + QLatin1Char(',') + n(alsoFileId) +
           QLatin1Char(')');
}

QString LeaveBehindSql(int fileId, int alsoFileId)
{
    return QStringLiteral("delete from tbldoeldepend where doelfileid = ") + n(fileId) +
           QStringLiteral(" and alsodoelfileid = ") + n(alsoFileId);
}

QString InsertTargetFileSql(const QString &naam, const QString &local, const QString &remote, const QString &settings,
                            int templateId, int rubricId)
{
    return QStringLiteral("insert into tbldoelfile (naam,localfilename,remotefilename,settings,exporttemplate,"
                          "rubriekid) values ('%1','%2','%3','%4',%5,%6)")
        .arg(SqlEscape(naam), SqlEscape(local), SqlEscape(remote), SqlEscape(settings), n(templateId), n(rubricId));
}

QString UpdateTargetFileSql(int fileId, const QString &naam, const QString &local, const QString &remote,
                            const QString &settings, int templateId, int rubricId)
{
    return QStringLiteral("update tbldoelfile set naam = '%1',localfilename = '%2',remotefilename = '%3',settings = "
                          "'%4', exporttemplate = %5, rubriekid = %6 where id = %7")
        .arg(SqlEscape(naam), SqlEscape(local), SqlEscape(remote), SqlEscape(settings), n(templateId), n(rubricId),
             n(fileId));
}

}  // namespace admin
