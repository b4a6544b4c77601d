#pragma once
// The statements of the settings dialog's pages, the SQL window and the
// table editor, composed as text exactly as the desk's database expects
// them. No widgets and no connections: the pages call these and run the
// result, and the tests compare the text.
//
// Ids are decimal text; every text value between quotes passes through
// SqlEscape, new login names and new team names included. Table and column
// names of the table editor come from tbltableeditor and the table itself
// and are written as they are.

#include <QString>
#include <QStringList>

namespace admin {

// ---- editors (TUserFrame) ---------------------------------------------------

QString UserListSql();
// The editor's name and rights; never the password, which the clients' role
// cannot read.
QString UserSql(int userId);
// rights as RightsString makes it. passwordHash empty: the stored password
// stays; otherwise it is replaced by passwordHash (never a plain password).
QString UpdateUserSql(int userId, const QString &passwordHash, const QString &rights);
QString InsertUserSql(const QString &loginName);
// Memberships first, then the editor.
QStringList DeleteUserSql(int userId);
QString AvailableTeamsSql(int userId);
QString UserTeamsSql(int userId);
QString AddMembershipSql(int teamId, int userId);
QString RemoveMembershipSql(int teamId, int userId);

// "x" or "-" for the final-editor right, then for the administrator right,
// padded with "-" to 16 characters.
QString RightsString(bool finalEditor, bool administrator);

// ---- editorial teams (TRedactiesFrame) -------------------------------------

QString TeamListSql();
QString ProgrammeListSql();
QString TeamProgrammesSql(int teamId);
QString TeamPublishProgrammesSql(int teamId);
QString InsertTeamSql(const QString &name);
QString RenameTeamSql(int teamId, const QString &name);
// Between "begin" and "end".
QStringList DeleteTeamSql(int teamId);
QString AssignProgrammeSql(int teamId, int programmeId);
QString RemoveProgrammeSql(int teamId, int programmeId);
QString AssignPublishSql(int teamId, int programmeId);
QString RemovePublishSql(int teamId, int programmeId);

// ---- table editor (TTableEditor) ---------------------------------------------

QString TableListSql();
QString TableRowsSql(const QString &table, const QString &sortColumn);
// columns and values pair up in order.
QString UpdateRowSql(const QString &table, const QStringList &columns, const QStringList &values, int id);
QString InsertRowSql(const QString &table, const QStringList &columns, const QStringList &values);
QString DeleteRowSql(const QString &table, int id);

// ---- templates (TTemplateFrame) ---------------------------------------------

QString TemplateListSql();
QString TemplateParentSql(int templateId);
QString TeamTemplatesSql(int teamId);
QString ProgrammeRubricsSql(int programmeId);
QString RubricTemplatesSql(int rubricId);
QString GiveTemplateToTeamSql(int teamId, int templateId);
QString TakeTemplateFromTeamSql(int teamId, int templateId);
QString GiveTemplateToRubricSql(int rubricId, int templateId);
QString TakeTemplateFromRubricSql(int rubricId, int templateId);
QString SetTemplateParentSql(int templateId, int parentId);
QString TemplateForEditSql(int templateId);
QString UpdateTemplateSql(int templateId, const QString &naam, const QString &editor, const QString &content,
                          const QString &initial);
QString TemplateForCopySql(int templateId);
QString InsertTemplateSql(const QString &naam, const QString &content, const QString &editor);
QStringList DeleteTemplateSql(int templateId);

// ---- programmes and rubrics (TProgrammaFrame) -------------------------------

QString WorkingRubricsSql();
QString ProgrammeLinksSql(int programmeId);
QString InsertProgrammeSql(const QString &name);
QString RenameProgrammeSql(int programmeId, const QString &name);
QString DeleteProgrammeSql(int programmeId);
QString NextRubricIdSql();
// The working copy, then the on-air copy.
QStringList InsertRubricSql(const QString &id, const QString &name);
QString RenameRubricSql(int rubricId, const QString &name);
QStringList DeleteRubricSql(int rubricId);
QString LinkRubricSql(int programmeId, int rubricId);
QString UnlinkRubricSql(int programmeId, int rubricId);

// ---- targets (TDoelenFrame) --------------------------------------------------

QString TargetListSql();
QString TargetFileListSql();
QString TargetSql(int targetId);
QString TargetFilesOfTargetSql(int targetId);
QString InsertTargetSql(const QString &naam, const QString &module, const QString &settings);
QString UpdateTargetSql(int targetId, const QString &naam, const QString &module, const QString &settings);
// The target and the links of files to it, between "begin" and "end".
QStringList DeleteTargetSql(int targetId);
QString SendFileToTargetSql(int fileId, int targetId);
QString StopFileToTargetSql(int fileId, int targetId);

// ---- export templates and target files (TExportFrame) -----------------------

QString ExportTemplateListSql();
QString InsertExportTemplateSql(const QString &naam, const QString &settings);
QString ExportTemplateSettingsSql(int templateId);
QString UpdateExportTemplateSql(int templateId, const QString &naam, const QString &settings);
QString DeleteExportTemplateSql(int templateId);
QString TargetFileSql(int fileId);
QString AlongFilesSql(int fileId);
QString NotAlongFilesSql(int fileId);
QString TakeAlongSql(int fileId, int alsoFileId);
QString LeaveBehindSql(int fileId, int alsoFileId);
QString InsertTargetFileSql(const QString &naam, const QString &local, const QString &remote, const QString &settings,
                            int templateId, int rubricId);
QString UpdateTargetFileSql(int fileId, const QString &naam, const QString &local, const QString &remote,
                            const QString &settings, int templateId, int rubricId);

}  // namespace admin
