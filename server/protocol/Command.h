#pragma once
// The command language of the coordination server: one client line in, one
// parsed command out. Pure functions, no I/O, so the fuzzer and the unit
// tests drive exactly what the server runs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qserver {

enum class CommandKind {
    Invalid,           // malformed line or arguments; `error` says why
    Unknown,           // a well-formed line whose first word is no command
    CheckVersion,      // "checkversion <version>"              arg = version
    Auth,              // "auth <name> <password>"              arg = name, rest = password
    User,              // "user [<name>]"                       arg = name (unused)
    UserList,          // "userlijst"
    UserOnline,        // "useronline <name>"                   arg = name
    Poll,              // "poll"
    Lock,              // "lock <name>"                         arg = lock name
    Unlock,            // "unlock <name>"                       arg = lock name
    Broadcast,         // "broadcast <words>"                   rest = words
    Direct,            // "direct <name> <text>"                arg = addressee, rest = text
    ClaimFinalEditor,  // "eindredacteur <team id>"             team
    GrantFinalEditor,  // "ja_eindredacteur <claimant>"         arg = claimant
    RefuseFinalEditor, // "nee_eindredacteur <claimant>"        arg = claimant
    JobList,           // "job list"
    JobReload,         // "job reload"
    JobNewOnce,        // "job new eenmalig "<name>" "<text>""  arg = job name, rest = description
    Publish,           // "publiceer <rubric selection>"        rest = selection (may be empty)
    CheckPassword,     // "checkpw <name> <password>"           arg = name, rest = password
    Hangup,            // "hangup <name>"                       arg = name
    Shutdown,          // "shutdown"
};

struct Command {
    CommandKind kind = CommandKind::Invalid;
    std::string word;    // the command word as sent, lower case
    std::string arg;     // first argument (see CommandKind)
    std::string rest;    // remaining text (see CommandKind)
    std::int64_t team = 0;
    std::string error;   // why the line is Invalid
};

// Parses one line (without its line end). Never throws; every byte sequence
// gives a Command. Control characters other than tab make the line Invalid.
Command parseCommand(std::string_view line);

// Compares dotted version numbers numerically ("1.10" > "1.9"; missing parts
// count as 0). nullopt when either side is not a dotted number.
std::optional<int> compareVersions(std::string_view a, std::string_view b);

// Splits a command line into arguments the way a POSIX shell splits words,
// without any expansion: blanks separate, '...' groups literally, "..." groups
// with \" and \\ as escapes, a backslash outside quotes escapes the next
// character. nullopt (and `error`) for an unterminated quote or a trailing
// backslash.
std::optional<std::vector<std::string>> splitArguments(std::string_view text, std::string *error = nullptr);

// ASCII lower case; login names and command words are compared this way.
std::string toLower(std::string_view s);

// Equality in time that depends only on the lengths, so a password check does
// not reveal how many leading characters were right.
bool constantTimeEquals(std::string_view a, std::string_view b);

// Removes blanks (space, tab) at both ends.
std::string_view trimBlanks(std::string_view s);

}  // namespace qserver
