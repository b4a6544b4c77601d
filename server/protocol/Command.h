#pragma once
// The command language of the coordination server: one client line in, one
// parsed command out. Pure functions, no I/O, so the fuzzer and the unit
// tests drive exactly what the server runs.

#include "text/Text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qserver {

enum class CommandKind {
    Invalid,  // malformed line or arguments; `error` says why
    Unknown,  // a well-formed line whose first word is no command
    CheckVersion,  // "checkversion <version>"              arg = version
    Auth,  // "auth <name> <password>"              arg = name, rest = password
    User,  // "user [<name>]"                       arg = name (unused)
    UserList,  // "userlijst"
    UserOnline,  // "useronline <name>"                   arg = name
    Poll,  // "poll"
    Lock,  // "lock <name>"                         arg = lock name
    Unlock,  // "unlock <name>"                       arg = lock name
    Broadcast,  // "broadcast <words>"                   rest = words
    Direct,  // "direct <name> <text>"                arg = addressee, rest = text
    ClaimFinalEditor,  // "eindredacteur <team id>"             team
    GrantFinalEditor,  // "ja_eindredacteur <claimant>"         arg = claimant
    RefuseFinalEditor,  // "nee_eindredacteur <claimant>"        arg = claimant
    JobList,  // "job list"
    JobReload,  // "job reload"
    JobNewOnce,  // "job new eenmalig "<name>" "<text>""  arg = job name, rest = description
    Publish,  // "publiceer <rubric selection>"        rest = selection (may be empty)
    Preview,  // "voorbeeld <rubric selection>"        rest = selection (may be empty)
    CheckPassword,  // "checkpw <name> <password>"           arg = name, rest = password
    Hangup,  // "hangup <name>"                       arg = name
    Unblock,  // "ontgrendel <name>"                   arg = name of a locked-out editor
    Shutdown,  // "shutdown"
};

struct Command {
    CommandKind kind = CommandKind::Invalid;
    std::string word;  // the command word as sent, lower case
    std::string arg;  // first argument (see CommandKind)
    std::string rest;  // remaining text (see CommandKind)
    std::int64_t team = 0;
    std::string error;  // why the line is Invalid
};

// Parses one line (without its line end). Never throws; every byte sequence
// gives a Command. Control characters other than tab make the line Invalid.
Command parseCommand(std::string_view line);

}  // namespace qserver
