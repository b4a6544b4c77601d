#include "core/CoreSql.h"

namespace core {

namespace {

QString num(int n)
{
    return QString::number(n);
}

}  // namespace

QString UserRightsSql(int userId)
{
    return QStringLiteral("select rights from tbluser where userid = ") + num(userId);
}

QString UserTeamsSql(int userId)
{
    return QStringLiteral(
               "select * from tblredactie where id in (select redactieid from tblredactieuser where userid = ") +
           num(userId) + QStringLiteral(") order by naam");
}

QString AddressBooksSql()
{
    return QStringLiteral("select id,naam from tbladresboek order by naam");
}

QString TeamSql(int teamId)
{
    return QStringLiteral("select naam,color from tblredactie where id = ") + num(teamId);
}

QString LoginNameSql(int userId)
{
    return QStringLiteral("select loginnaam from tbluser where userid = ") + num(userId);
}

}  // namespace core
