#include "publish/Formats.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
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

namespace {

namespace chr = std::chrono;

// "yyyymmdd" as a day; nullopt unless eight digits of a real date.
std::optional<chr::sys_days> dayOf(std::string_view ymd)
{
    if (ymd.size() != 8 || !std::all_of(ymd.begin(), ymd.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int y = std::stoi(std::string(ymd.substr(0, 4)));
    const unsigned m = unsigned(std::stoi(std::string(ymd.substr(4, 2))));
    const unsigned d = unsigned(std::stoi(std::string(ymd.substr(6, 2))));
    const chr::year_month_day date{chr::year{y}, chr::month{m}, chr::day{d}};
    if (!date.ok())
        return std::nullopt;
    return chr::sys_days{date};
}

std::string ymdText(chr::sys_days day)
{
    const chr::year_month_day d{day};
    char out[40];
    std::snprintf(out, sizeof out, "%04d%02u%02u", int(d.year()), unsigned(d.month()), unsigned(d.day()));
    return out;
}

std::string hhnnText(int minute)
{
    char out[24];
    std::snprintf(out, sizeof out, "%02d:%02d", minute / 60 % 100, minute % 60);
    return out;
}

// The minute of the day of a clock time ("hh:nn..."), or -1.
int minuteOf(std::string_view time)
{
    if (time.size() < 5 || time[2] != ':')
        return -1;
    for (std::size_t i : {0, 1, 3, 4})
        if (time[i] < '0' || time[i] > '9')
            return -1;
    const int h = (time[0] - '0') * 10 + (time[1] - '0'), n = (time[3] - '0') * 10 + (time[4] - '0');
    return h < 24 && n < 60 ? h * 60 + n : -1;
}

}  // namespace

bool clockActive(const ClockEntry &c, std::string_view date, std::string_view time)
{
    if (date < std::string_view(c.startDate) || date > std::string_view(c.endDate))
        return false;
    const auto day = dayOf(date);
    if (!day)
        return false;
    const unsigned weekday = chr::weekday{*day}.iso_encoding();  // Monday 1 ... Sunday 7
    if (c.weekdays.size() < weekday || c.weekdays[weekday - 1] != 'x')
        return false;
    auto hhnn = [](const std::string &t) { return std::string_view(t).substr(0, 5); };
    if (time < hhnn(c.dailyFrom) || time >= hhnn(c.dailyUntil))
        return false;
    if (date == c.startDate && time < hhnn(c.startTime))
        return false;
    if (date == c.endDate && time > hhnn(c.endTime))
        return false;
    return true;
}

bool clockListActive(std::string_view clocks, std::string_view date, std::string_view time)
{
    for (const ClockEntry &c : clockEntries(clocks))
        if (clockActive(c, date, time))
            return true;
    return false;
}

std::optional<Minute> nextClockChange(std::string_view clocks, const Minute &now)
{
    const auto today = dayOf(now.date);
    const int nowMinute = minuteOf(now.time);
    if (!today || nowMinute < 0)
        return std::nullopt;
    const std::vector<ClockEntry> entries = clockEntries(clocks);
    std::set<chr::sys_days> days;
    std::set<int> minutes = {0};
    for (int i = 0; i <= 8; ++i)
        days.insert(*today + chr::days{i});
    for (const ClockEntry &c : entries) {
        for (const std::string *d : {&c.startDate, &c.endDate})
            if (const auto day = dayOf(*d))
                for (int i = 0; i <= 1; ++i)
                    if (*day + chr::days{i} > *today)
                        days.insert(*day + chr::days{i});
        for (const std::string *t : {&c.dailyFrom, &c.dailyUntil, &c.startTime})
            if (const int m = minuteOf(*t); m >= 0)
                minutes.insert(m);
        if (const int m = minuteOf(c.endTime); m >= 0 && m + 1 < 24 * 60)
            minutes.insert(m + 1);  // the end time itself still counts
    }
    auto active = [&](chr::sys_days day, int minute) {
        const std::string date = ymdText(day), time = hhnnText(minute);
        for (const ClockEntry &c : entries)
            if (clockActive(c, date, time))
                return true;
        return false;
    };
    for (const chr::sys_days day : days)
        for (const int minute : minutes) {
            if (day == *today && minute <= nowMinute)
                continue;
            const bool before = minute > 0 ? active(day, minute - 1) : active(day - chr::days{1}, 24 * 60 - 1);
            if (active(day, minute) != before)
                return Minute{ymdText(day), hhnnText(minute)};
        }
    return std::nullopt;
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
