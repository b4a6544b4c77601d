#include "protocol/Relay.h"

#include "text/Text.h"

#include <vector>

namespace qserver {

namespace {
constexpr std::size_t kMaxWord = 20;  // longest verb or id a client sends is far shorter

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool letters(std::string_view w)
{
    if (w.empty() || w.size() > kMaxWord)
        return false;
    for (char c : w)
        if (!isLetter(c))
            return false;
    return true;
}

bool wholeNumber(std::string_view w)
{
    if (!w.empty() && w.front() == '-')
        w.remove_prefix(1);
    if (w.empty() || w.size() > kMaxWord)
        return false;
    for (char c : w)
        if (!isDigit(c))
            return false;
    return true;
}

std::vector<std::string_view> words(std::string_view s)
{
    std::vector<std::string_view> out;
    while (true) {
        s = trimBlanks(s);
        if (s.empty() || out.size() > 3)
            return out;
        std::size_t end = 0;
        while (end < s.size() && s[end] != ' ' && s[end] != '\t')
            ++end;
        out.push_back(s.substr(0, end));
        s.remove_prefix(end);
    }
}
}  // namespace

std::optional<std::string> relayableBroadcast(std::string_view text)
{
    const std::vector<std::string_view> w = words(text);
    if (w.size() == 3 && (w[0] == "agenda" || w[0] == "todo" || w[0] == "klaar" || w[0] == "rubriek") &&
        letters(w[1]) && wholeNumber(w[2]))
        return std::string(w[0]) + " " + std::string(w[1]) + " " + std::string(w[2]);
    if (w.size() == 2 && w[0] == "viewchanged" && w[1] == "agenda")
        return std::string("viewchanged agenda");
    return std::nullopt;
}

bool needsEditorRole(std::string_view relayed)
{
    return relayed.substr(0, 8) == "rubriek ";
}

bool endsReply(std::string_view line)
{
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= 32)
        line.remove_prefix(1);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32)
        line.remove_suffix(1);
    std::size_t n = 0;
    while (n < line.size() && isLetter(line[n]))
        ++n;
    const std::string kind = toLower(line.substr(0, n));
    return line.empty() || kind == "ok" || kind == "err";
}

}  // namespace qserver
