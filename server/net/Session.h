#pragma once
// What the server knows about one connection beyond its socket: the editor
// logged in on it and the bookkeeping that lives exactly as long as it does.
// Keeping it here, not in tables of the coordinator, means nothing has to be
// erased by hand when a connection goes.

#include <chrono>
#include <string>

namespace qserver {

// Rights a command may need; each is one position of tbluser.rights, where
// 'x' grants it.
enum class Right {
    None,
    FinalEditor,  // position 1: may claim the final-editor role
    Administrator,  // position 2: may hang others up and stop the server
};

struct Session {
    bool loggedIn = false;
    bool greeted = false;  // sent an accepted "checkversion": a client, not a bare connect
    int userId = 0;
    std::string loginName;  // as stored in tbluser
    std::string rights;  // tbluser.rights, read at log-in
    std::chrono::system_clock::time_point since;

    int badLines = 0;  // malformed lines seen, for the log's rate limit
    std::chrono::steady_clock::time_point lastDropWarning;  // last "queued lines dropped" log line

    bool has(Right r) const
    {
        switch (r) {
        case Right::None: return true;
        case Right::FinalEditor: return !rights.empty() && rights[0] == 'x';
        case Right::Administrator: return rights.size() >= 2 && rights[1] == 'x';
        }
        return false;
    }
};

}  // namespace qserver
