#include "db/UserStore.h"

#include "Log.h"
#include "db/DbPool.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>

namespace qserver {

UserLookup UserStore::lookup(DbConnection &db, const std::string &name)
{
    UserLookup out;
    // The name is a parameter, never part of the SQL.
    PGresult *r = db.exec("select userid, loginnaam, coalesce(password, ''), coalesce(rights, '') "
                          "from tbluser where lower(loginnaam) = lower($1) "
                          "order by (loginnaam = $1) desc, userid limit 1",
                          {name}, out.error);
    if (!r) {
        logError("database: user lookup failed: " + out.error);
        return out;
    }
    out.outcome = UserLookup::Outcome::Unknown;
    if (PQntuples(r) == 1) {
        out.outcome = UserLookup::Outcome::Found;
        out.user.userId = std::atoi(PQgetvalue(r, 0, 0));
        out.user.loginName = PQgetvalue(r, 0, 1);
        out.user.password = PQgetvalue(r, 0, 2);
        out.user.rights = PQgetvalue(r, 0, 3);
    }
    PQclear(r);
    return out;
}

void UserStore::find(const std::string &name, Done done)
{
    m_pool.submit([this, name, done = std::move(done)](DbConnection &conn) {
        auto result = std::make_shared<UserLookup>(lookup(conn, name));
        m_post([done, result] { done(*result); });
    });
}

}  // namespace qserver
