#pragma once
// The statements and server commands of the publishing window, composed as
// text exactly as the desk's database and the server expect them. No widgets
// and no connections.

#include <QString>

namespace output {

QString PublishProgrammesSql(int team);  // id, naam of the programmes the team may publish
QString PublishRubricsSql(int programme);  // r.id, r.naam: working copies, by name
QString JobListsSql(int team);  // id, naam, by name
QString JobListRubricsSql(int jobList);  // rubs
QString InsertJobListSql(const QString &name, const QString &selection, int team);
QString UpdateJobListSql(const QString &name, const QString &selection, int jobList);
QString DeleteJobListSql(int jobList);

QString PublishCommand(const QString &selection);  // "publiceer " + selection
QString PreviewCommand(const QString &selection);  // "voorbeeld " + selection

}  // namespace output
