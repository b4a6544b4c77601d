#pragma once
// The editors of tbluser as the server needs them: one row per log-in name.
//
// DESIGN: a lookup runs on a database worker (it may block) and hands its
// outcome to `post`, which the owner points at its event loop; the caller
// thus never sees SQL, libpq or a thread. "Unknown editor" and "the database
// failed" are different outcomes, because only the first is the client's
// fault.

#include <functional>
#include <string>

namespace qserver {

class DbConnection;
class DbPool;

struct UserRow {
    int userId = 0;
    std::string loginName;  // as stored, which may differ in letter case from what was asked
    std::string password;  // empty: the editor has no password yet and cannot log in
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
    std::string error;
};

class UserStore {
public:
    using Post = std::function<void(std::function<void()>)>;  // runs a function on the owner's loop
    using Done = std::function<void(const UserLookup &)>;

    UserStore(DbPool &pool, Post post) : m_pool(pool), m_post(std::move(post)) {}

    // Looks up the editor called `name` (letter case ignored; an exact match
    // wins) and calls `done` through `post` with the outcome.
    void find(const std::string &name, Done done);

    // The lookup itself, on a worker's connection.
    static UserLookup lookup(DbConnection &db, const std::string &name);

private:
    DbPool &m_pool;
    Post m_post;
};

}  // namespace qserver
