#include "text/Text.h"

#include <charconv>

namespace qserver {

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
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
