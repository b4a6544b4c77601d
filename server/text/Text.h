#pragma once
// Text helpers the whole server shares (commands, configuration, jobs): no
// I/O and no knowledge of the protocol, so every folder may use them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qserver {

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
