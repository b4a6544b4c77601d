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

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string toLower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

bool constantTimeEquals(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size() > b.size() ? a.size() : b.size();
    unsigned diff = a.size() == b.size() ? 0u : 1u;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        const unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
        diff |= unsigned(x ^ y);
    }
    return diff == 0;
}

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
    if (w == "publiceer") {
        c.kind = CommandKind::Publish;
        c.rest = std::string(rest);
        return c;
    }
    c.kind = CommandKind::Unknown;
    c.error = "unknown command";
    return c;
}

std::optional<int> compareVersions(std::string_view a, std::string_view b)
{
    // Parses one dotted number into its parts; rejects empty parts and signs.
    auto parts = [](std::string_view v) -> std::optional<std::vector<unsigned long long>> {
        std::vector<unsigned long long> out;
        if (v.empty())
            return std::nullopt;
        while (true) {
            const std::size_t dot = v.find('.');
            std::string_view part = v.substr(0, dot);
            unsigned long long n = 0;
            const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), n);
            if (part.empty() || ec != std::errc() || end != part.data() + part.size())
                return std::nullopt;
            out.push_back(n);
            if (dot == std::string_view::npos)
                return out;
            v.remove_prefix(dot + 1);
        }
    };
    const auto pa = parts(a);
    const auto pb = parts(b);
    if (!pa || !pb)
        return std::nullopt;
    const std::size_t n = pa->size() > pb->size() ? pa->size() : pb->size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned long long x = i < pa->size() ? (*pa)[i] : 0;
        const unsigned long long y = i < pb->size() ? (*pb)[i] : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

std::optional<std::vector<std::string>> splitArguments(std::string_view text, std::string *error)
{
    std::vector<std::string> args;
    std::string current;
    bool inWord = false;
    std::size_t i = 0;
    auto fail = [&](const char *why) -> std::optional<std::vector<std::string>> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    while (i < text.size()) {
        const char ch = text[i];
        if (isBlank(ch)) {
            if (inWord) {
                args.push_back(std::move(current));
                current.clear();
                inWord = false;
            }
            ++i;
        } else if (ch == '\'') {
            const std::size_t close = text.find('\'', i + 1);
            if (close == std::string_view::npos)
                return fail("unterminated single quote");
            current.append(text.substr(i + 1, close - i - 1));
            inWord = true;
            i = close + 1;
        } else if (ch == '"') {
            ++i;
            bool closed = false;
            while (i < text.size()) {
                const char q = text[i];
                if (q == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (q == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
                    current.push_back(text[i + 1]);
                    i += 2;
                    continue;
                }
                current.push_back(q);
                ++i;
            }
            if (!closed)
                return fail("unterminated double quote");
            inWord = true;
        } else if (ch == '\\') {
            if (i + 1 >= text.size())
                return fail("trailing backslash");
            current.push_back(text[i + 1]);
            inWord = true;
            i += 2;
        } else {
            current.push_back(ch);
            inWord = true;
            ++i;
        }
    }
    if (inWord)
        args.push_back(std::move(current));
    return args;
}

}  // namespace qserver
