#include "db/UserStore.h"

#include "Log.h"
#include "common/PasswordHash.h"
#include "db/DbPool.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>

namespace qserver {

namespace {

// Replaces the plain-text (or weaker) value `old` by a hash of `password`.
// A failure costs nothing but another try at the next log-in.
void rewrite(DbConnection &db, const UserRow &user, const std::string &old, const std::string &password)
{
    const std::string hash = quillon::HashPassword(password);
    if (hash.empty()) {
        logError("password of " + user.loginName + " not rewritten: hashing failed");
        return;
    }
    std::string error;
    PGresult *r = db.exec("update tbluser set password = $1 where userid = $2 and password = $3",
                          {hash, std::to_string(user.userId), old}, error);
    if (!r) {
        logError("password of " + user.loginName + " not rewritten: " + error);
        return;
    }
    if (std::atoi(PQcmdTuples(r)) == 1)
        logInfo("password of " + user.loginName + " is now stored as a hash");
    PQclear(r);
}

}  // namespace

UserLookup UserStore::checkOn(DbConnection &db, const std::string &name, const std::string &password)
{
    UserLookup out;
    // The name is a parameter, never part of the SQL.
    PGresult *r = db.exec("select userid, loginnaam, coalesce(password, ''), coalesce(rights, '') "
                          "from tbluser where lower(loginnaam) = lower($1) "
                          "order by (loginnaam = $1) desc, userid limit 1",
                          {name}, out.error);
    if (!r) {
        logThrottled(LogLevel::Error, "user lookup", "database: user lookup failed: " + out.error);
        return out;
    }
    out.outcome = UserLookup::Outcome::Unknown;
    std::string stored;
    if (PQntuples(r) == 1) {
        out.outcome = UserLookup::Outcome::Found;
        out.user.userId = std::atoi(PQgetvalue(r, 0, 0));
        out.user.loginName = PQgetvalue(r, 0, 1);
        stored = PQgetvalue(r, 0, 2);
        out.user.rights = PQgetvalue(r, 0, 3);
    }
    PQclear(r);
    if (out.outcome != UserLookup::Outcome::Found) {
        quillon::VerifyNothing(password);
        return out;
    }
    const quillon::PasswordCheck check = quillon::VerifyPassword(password, stored);
    out.passwordRight = check.right;
    if (check.rewrite)
        rewrite(db, out.user, stored, password);
    return out;
}

void UserStore::check(const std::string &name, const std::string &password, Done done)
{
    m_pool.submit([this, name, password, done = std::move(done)](DbConnection &conn) {
        auto result = std::make_shared<UserLookup>(checkOn(conn, name, password));
        m_post([done, result] { done(*result); });
    });
}

}  // namespace qserver
