#include "protocol/Command.h"

#include <charconv>

namespace qserver {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Cuts the first blank-separated word off `s`; `s` keeps the text after the
// blanks that follow it.
std::string_view takeWord(std::string_view &s)
{
    std::size_t i = 0;
    while (i < s.size() && !isBlank(s[i]))
        ++i;
    std::string_view word = s.substr(0, i);
    while (i < s.size() && isBlank(s[i]))
        ++i;
    s.remove_prefix(i);
    return word;
}

// Takes `c` by reference so that callers may build `why` from it in the same call.
Command invalid(Command &&c, std::string why)
{
    Command out = std::move(c);
    out.kind = CommandKind::Invalid;
    out.error = std::move(why);
    return out;
}

// Commands with one required name-like argument and nothing after it.
Command oneArgument(Command c, CommandKind kind, std::string_view rest)
{
    std::string_view word = takeWord(rest);
    if (word.empty())
        return invalid(std::move(c), c.word + ": argument missing");
    if (!rest.empty())
        return invalid(std::move(c), c.word + ": unexpected text after the argument");
    c.kind = kind;
    c.arg = std::string(word);
    return c;
}

// Commands with a required first word and free text after it.
Command wordAndText(Command c, CommandKind kind, std::string_view rest, bool textRequired)
{
    std::string_view word = takeWord(rest);
    if (word.empty())
        return invalid(std::move(c), c.word + ": argument missing");
    if (textRequired && rest.empty())
        return invalid(std::move(c), c.word + ": text missing");
    c.kind = kind;
    c.arg = std::string(word);
    c.rest = std::string(rest);
    return c;
}

Command parseJob(Command c, std::string_view rest)
{
    std::string_view sub = takeWord(rest);
    const std::string subLower = toLower(sub);
    if (subLower == "list" || subLower == "reload") {
        c.kind = subLower == "list" ? CommandKind::JobList : CommandKind::JobReload;
        return c;
    }
    if (subLower != "new")
        return invalid(std::move(c), "job: unknown sub-command");
    if (toLower(takeWord(rest)) != "eenmalig")
        return invalid(std::move(c), "job new: only \"eenmalig\" jobs can be created");
    std::string error;
    auto args = splitArguments(rest, &error);
    if (!args)
        return invalid(std::move(c), "job new eenmalig: " + error);
    if (args->empty() || args->size() > 2 || (*args)[0].empty())
        return invalid(std::move(c), "job new eenmalig: expects a quoted name and a quoted description");
    c.kind = CommandKind::JobNewOnce;
    c.arg = (*args)[0];
    c.rest = args->size() > 1 ? (*args)[1] : std::string();
    return c;
}

}  // namespace

Command parseCommand(std::string_view line)
{
    Command c;
    for (char ch : line) {
        const auto u = static_cast<unsigned char>(ch);
        if ((u < 0x20 && ch != '\t') || u == 0x7f)
            return invalid(std::move(c), "control character in line");
    }
    std::string_view rest = trimBlanks(line);
    if (rest.empty())
        return invalid(std::move(c), "empty line");
    c.word = toLower(takeWord(rest));
    const std::string &w = c.word;

    if (w == "checkversion")
        return oneArgument(std::move(c), CommandKind::CheckVersion, rest);
    if (w == "auth")
        return wordAndText(std::move(c), CommandKind::Auth, rest, false);
    if (w == "checkpw")
        return wordAndText(std::move(c), CommandKind::CheckPassword, rest, false);
    if (w == "user") {
        c.kind = CommandKind::User;
        c.arg = std::string(takeWord(rest));
        return c;
    }
    if (w == "userlijst" || w == "poll" || w == "shutdown") {
        c.kind = w == "userlijst" ? CommandKind::UserList : w == "poll" ? CommandKind::Poll : CommandKind::Shutdown;
        return c;
    }
    if (w == "useronline")
        return oneArgument(std::move(c), CommandKind::UserOnline, rest);
    if (w == "lock")
        return oneArgument(std::move(c), CommandKind::Lock, rest);
    if (w == "unlock")
        return oneArgument(std::move(c), CommandKind::Unlock, rest);
    if (w == "hangup")
        return oneArgument(std::move(c), CommandKind::Hangup, rest);
    if (w == "ontgrendel")
        return oneArgument(std::move(c), CommandKind::Unblock, rest);
    if (w == "ja_eindredacteur")
        return oneArgument(std::move(c), CommandKind::GrantFinalEditor, rest);
    if (w == "nee_eindredacteur")
        return oneArgument(std::move(c), CommandKind::RefuseFinalEditor, rest);
    if (w == "broadcast") {
        if (rest.empty())
            return invalid(std::move(c), "broadcast: nothing to broadcast");
        c.kind = CommandKind::Broadcast;
        c.rest = std::string(rest);
        return c;
    }
    if (w == "direct")
        return wordAndText(std::move(c), CommandKind::Direct, rest, false);
    if (w == "eindredacteur") {
        Command one = oneArgument(std::move(c), CommandKind::ClaimFinalEditor, rest);
        if (one.kind != CommandKind::ClaimFinalEditor)
            return one;
        const std::string &id = one.arg;
        const auto [end, ec] = std::from_chars(id.data(), id.data() + id.size(), one.team);
        if (ec != std::errc() || end != id.data() + id.size()) {
            one.team = 0;
            return invalid(std::move(one), "eindredacteur: team id is not a number");
        }
        return one;
    }
    if (w == "job")
        return parseJob(std::move(c), rest);
    if (w == "publiceer" || w == "voorbeeld") {
        c.kind = w == "publiceer" ? CommandKind::Publish : CommandKind::Preview;
        c.rest = std::string(rest);
        return c;
    }
    c.kind = CommandKind::Unknown;
    c.error = "unknown command";
    return c;
}

}  // namespace qserver
