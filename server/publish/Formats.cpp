#include "publish/Formats.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace qserver::publish {

namespace {
constexpr char kSeparator = ':';
constexpr char kQuote = '"';
constexpr char kEscape = '\\';

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

std::string trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return std::string(s);
}

// The parse of a whole, optionally negative, decimal number, all of `word`.
std::optional<std::int64_t> wholeNumber(std::string_view word, bool allowMinus)
{
    if (word.empty() || (word[0] == '-' && !allowMinus))
        return std::nullopt;
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (ec != std::errc() || end != word.data() + word.size() || v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return v;
}
}  // namespace

std::optional<std::vector<std::int64_t>> parseSelection(std::string_view selection)
{
    std::vector<std::int64_t> ids;
    std::set<std::int64_t> seen;
    std::size_t pos = 0;
    while (pos < selection.size()) {
        if (isBlank(selection[pos])) {
            ++pos;
            continue;
        }
        std::size_t end = pos;
        while (end < selection.size() && !isBlank(selection[end]))
            ++end;
        const auto id = wholeNumber(selection.substr(pos, end - pos), false);
        if (!id)
            return std::nullopt;
        if (seen.insert(*id).second)
            ids.push_back(*id);
        pos = end;
    }
    return ids;
}

std::optional<std::vector<std::int64_t>> rubricContentIds(std::string_view content, std::string *error)
{
    std::vector<std::int64_t> ids;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find(kFieldEnd, pos);
        if (end == std::string_view::npos)
            end = content.size();
        const std::string_view word = content.substr(pos, end - pos);
        const auto id = wholeNumber(word, true);
        if (!id) {
            if (error)
                *error = "onleesbaar tekstnummer \"" + lineSafe(word.substr(0, 20)) + "\"";
            return std::nullopt;
        }
        ids.push_back(*id);
        pos = end + kFieldEnd.size();
    }
    return ids;
}

std::string FieldReader::next()
{
    std::string field;
    bool quoted = false;
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos++];
        if (quoted) {
            if (c == kQuote)
                quoted = false;
            else if (c == kEscape) {
                // The escaped character may be several bytes: keep them all.
                if (m_pos < m_text.size()) {
                    std::size_t n = 1;
                    while (m_pos + n < m_text.size() && (static_cast<unsigned char>(m_text[m_pos + n]) & 0xC0) == 0x80)
                        ++n;
                    field.append(m_text.substr(m_pos, n));
                    m_pos += n;
                }
            } else
                field += c;
        } else if (c == kQuote)
            quoted = true;
        else if (c == kSeparator)
            break;
        else
            field += c;
    }
    return field;
}

std::vector<NameValue> parseValues(std::string_view values)
{
    std::vector<NameValue> pairs;
    FieldReader reader(values);
    while (!reader.atEnd()) {
        NameValue p;
        p.name = reader.next();
        p.value = reader.next();
        pairs.push_back(std::move(p));
    }
    return pairs;
}

std::optional<std::string> valueOf(std::string_view values, std::string_view name)
{
    std::optional<std::string> found;
    for (NameValue &p : parseValues(values))
        if (p.name == name)
            found = std::move(p.value);
    return found;
}

std::vector<NameValue> definitionDefaults(std::string_view definition)
{
    std::vector<NameValue> out;
    FieldReader reader(definition);
    while (!reader.atEnd()) {
        const std::string kind = lower(reader.next());
        std::string name = reader.next();
        if (kind == "merge" || kind == "info")
            continue;
        reader.next();  // the caption
        std::string start = reader.next();
        if (kind == "checkbox")
            start = start == "true" ? "true" : "false";
        else if (kind == "combobox")
            start = FieldReader(start).next();
        out.push_back({std::move(name), std::move(start)});
    }
    return out;
}

std::vector<NameValue> fileParameters(std::string_view definition, std::string_view values)
{
    std::vector<NameValue> params = definitionDefaults(definition);
    for (const NameValue &v : parseValues(values))
        for (NameValue &p : params)
            if (p.name == v.name)
                p.value = v.value;
    return params;
}

std::optional<std::string> editorSetting(std::string_view settings, std::string_view name)
{
    std::optional<std::string> found;
    std::string key;
    std::string collected;
    bool quoted = false;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const char c = settings[i];
        if (quoted) {
            if (c == kQuote)
                quoted = false;
            else if (c == kEscape) {
                if (i + 1 < settings.size())
                    collected += settings[++i];
            } else
                collected += c;
        } else if (c == kQuote)
            quoted = true;
        else if (c == '=') {
            key = collected;
            collected.clear();
        } else if (c == ';') {
            if (key == name)
                found = collected;
            key.clear();
            collected.clear();
        } else
            collected += c;
    }
    return found;
}

std::vector<std::string> storedTextLines(std::string_view stored)
{
    static constexpr std::string_view kEscapeName = "\xE2\x89\xA4";  // U+2264, the editor's "<"
    // First the plain text with CR for every line end (a CR from elsewhere is
    // a hard return too), then the lines between them.
    std::string text;
    text.reserve(stored.size());
    std::size_t i = 0;
    while (i < stored.size()) {
        const char c = stored[i];
        if (c == '<') {
            const std::size_t close = stored.find('>', i + 1);
            if (close == std::string_view::npos)
                break;  // an open tag runs to the end and takes the rest with it
            const std::string name = lower(trimmed(stored.substr(i + 1, close - i - 1)));
            if (name == "hrt" || name == "br")
                text += '\r';
            else if (name == kEscapeName)
                text += '<';
            i = close + 1;
            continue;
        }
        if (c != '\n')
            text += c;
        ++i;
    }
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t from = 0;
    while (true) {
        const std::size_t cr = text.find('\r', from);
        lines.push_back(text.substr(from, cr == std::string::npos ? std::string::npos : cr - from));
        if (cr == std::string::npos)
            break;
        from = cr + 1;
    }
    return lines;
}

std::vector<ClockEntry> clockEntries(std::string_view clocks)
{
    std::vector<ClockEntry> out;
    std::size_t pos = 0;
    auto cut = [&] {
        const std::size_t at = clocks.find(kFieldEnd, pos);
        std::string f(clocks.substr(pos, at == std::string_view::npos ? std::string_view::npos : at - pos));
        pos = at == std::string_view::npos ? clocks.size() : at + kFieldEnd.size();
        return f;
    };
    while (pos < clocks.size()) {
        ClockEntry c;
        for (std::string *f :
             {&c.startDate, &c.endDate, &c.startTime, &c.endTime, &c.dailyFrom, &c.dailyUntil, &c.weekdays})
            *f = cut();
        out.push_back(std::move(c));
    }
    return out;
}

std::string lineSafe(std::string_view text)
{
    std::string out(text);
    for (char &c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
        else if (c == '|')
            c = '/';
    }
    return out;
}

bool plainFileName(std::string_view name)
{
    return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos && name.find('\\') == std::string_view::npos;
}

}  // namespace qserver::publish
