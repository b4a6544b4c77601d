#pragma once
// The editors of tbluser as the server needs them: one row per log-in name.
//
// DESIGN: a lookup runs on a database worker (it may block) and hands its
// outcome to `post`, which the owner points at its event loop; the caller
// thus never sees SQL, libpq or a thread. "Unknown editor" and "the database
// failed" are different outcomes, because only the first is the client's
// fault.
//
// Passwords are checked here, on the worker, because a scrypt hash costs
// tens of milliseconds the event loop must not spend. The stored value never
// leaves this file: callers learn only whether the password was right. A
// password still stored as plain text (from before hashing) is right once and
// rewritten as a hash at that log-in; the rewrite names the old value, so a
// password an administrator set meanwhile is never overwritten.

#include <functional>
#include <string>

namespace qserver {

class DbConnection;
class DbPool;

struct UserRow {
    int userId = 0;
    std::string loginName;  // as stored, which may differ in letter case from what was asked
    std::string rights;  // tbluser.rights, one character per right
};

struct UserLookup {
    enum class Outcome {
        Found,
        Unknown,  // no editor with that name
        DatabaseFailed,  // the database could not answer; `error` says why
    };
    Outcome outcome = Outcome::DatabaseFailed;
    UserRow user;
    bool passwordRight = false;  // Found, and the password matches the stored hash
    std::string error;
};

class UserStore {
public:
    using Post = std::function<void(std::function<void()>)>;  // runs a function on the owner's loop
    using Done = std::function<void(const UserLookup &)>;

    UserStore(DbPool &pool, Post post) : m_pool(pool), m_post(std::move(post)) {}

    // Looks up the editor called `name` (letter case ignored; an exact match
    // wins), checks `password` against the stored hash and calls `done`
    // through `post` with the outcome. An editor without a password (empty)
    // never logs in. An unknown name costs as much time as a known one.
    void check(const std::string &name, const std::string &password, Done done);

    // The check itself, on a worker's connection.
    static UserLookup checkOn(DbConnection &db, const std::string &name, const std::string &password);

private:
    DbPool &m_pool;
    Post m_post;
};

}  // namespace qserver
