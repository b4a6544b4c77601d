#pragma once
// The formats of the newsroom's tables as the publication reads them, on
// std::string (UTF-8) without Qt:
//
//   rubric selection   " 12 7 "                     which rubrics to publish
//   rubric content     "12ÿ7ÿ"                      a rubric's texts in cycle order
//   definition string  kind:name:caption:default:   the parameters of an export template
//   value string       name:"value":name:"value"    a target's or file's settings, a text's fields
//   editor settings    name=value;                  a text template's editor set-up (pagelength)
//   stored text        line<br>line<hrt>            a text body as the editor stored it
//   clock list         seven fields, each + 'ÿ'     when a text is on air
//
// DESIGN. The client reads the same formats with its own readers on QString
// (src/texts, src/output); docs/ARCHITECTURE.md says why the server does not
// link them, and tests/server/tst_publishformats.cpp feeds both readers the
// same cases, so the two cannot drift apart unnoticed. 'ÿ' is U+00FF, two
// bytes in UTF-8 (the database session is UTF-8).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qserver::publish {

inline constexpr std::string_view kFieldEnd = "\xC3\xBF";  // U+00FF in UTF-8

// The rubric ids of a selection string: blanks separate, every other word
// must be a whole number. Each id once, in the order given. nullopt for a
// word that is no number (the command is then refused, not half done).
std::optional<std::vector<std::int64_t>> parseSelection(std::string_view selection);

// The text ids of a rubric content string, in order: each an optional minus
// and digits followed by U+00FF (the last separator may be missing). nullopt
// and `error` for a content that does not read: such a rubric is neither
// published nor copied on air, as the cycle never stores over it.
std::optional<std::vector<std::int64_t>> rubricContentIds(std::string_view content, std::string *error = nullptr);

// Reads definition and value strings field by field: a field runs to the
// next ':' outside double quotes; inside quotes a backslash keeps the next
// character; the quotes themselves are dropped.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    std::string next();

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

struct NameValue {
    std::string name;
    std::string value;
    bool operator==(const NameValue &) const = default;
};

// A value string as alternating name and value fields; a name left without a
// value gets the empty value.
std::vector<NameValue> parseValues(std::string_view values);

// The value of name in a value string (the last one when named twice).
std::optional<std::string> valueOf(std::string_view values, std::string_view name);

// The parameters a definition string describes, each with its start value:
// labelled entries (kind, name, caption, default); "info" entries carry no
// value and "merge" entries are not followed (an export template's
// parameters are its own). A check box starts as "true" or "false", a
// combobox with its first item.
std::vector<NameValue> definitionDefaults(std::string_view definition);

// The parameters of a target file: its template's defaults, overridden by
// the file's value string for the names the definition knows (other names are
// ignored, as the settings panel ignores them).
std::vector<NameValue> fileParameters(std::string_view definition, std::string_view values);

// The value of name in an editor settings text (name=value;, quotes group,
// a backslash keeps the next character); only pairs ended by ';' count.
std::optional<std::string> editorSetting(std::string_view settings, std::string_view name);

// The lines of a stored text body as the editor showed them: "<br>" and
// "<hrt>" (any case) end a line, the editor's escape "<≤>" gives "<", other
// tags give nothing, LF is dropped, and the line end after the last line
// opens no empty line. An empty body has no lines.
std::vector<std::string> storedTextLines(std::string_view stored);

// One entry of a clock list.
struct ClockEntry {
    std::string startDate, endDate, startTime, endTime, dailyFrom, dailyUntil, weekdays;
    bool operator==(const ClockEntry &) const = default;
};

// The entries of a clock list, seven fields each; fields missing at the end
// of the last entry are empty.
std::vector<ClockEntry> clockEntries(std::string_view clocks);

// The activity rule of one clock at date ("yyyymmdd") and time ("hh:nn"),
// as the rubric cycle applies it: every comparison one of texts by byte, the
// times of the clock cut to their first five characters; the start date not
// after date, the end date not before it; the weekday of date (Monday first)
// "x" in the days; in time <= time < out time; on the start date time >= the
// start time, on the end date time <= the end time. A date that is no date
// is never active.
bool clockActive(const ClockEntry &clock, std::string_view date, std::string_view time);

// Whether any clock of a clock list is active then; a list without clocks
// never is. This is "on air now" ("ok" in the cycle, "***" otherwise).
bool clockListActive(std::string_view clocks, std::string_view date, std::string_view time);

// A moment of the server's local time to the minute.
struct Minute {
    std::string date;  // yyyymmdd
    std::string time;  // hh:nn
    bool operator==(const Minute &) const = default;
};

// The first minute after `now` at which clockListActive(clocks) differs from
// the minute before it, looked for over the next eight days and on the days
// around the clocks' start and end dates; nullopt when nothing changes there
// (or the clocks hold values that give no moment). A clock changes only at
// midnight, at its in and out times, at its start time on the start date and
// a minute after its end time on the end date, so only those minutes are
// tried.
std::optional<Minute> nextClockChange(std::string_view clocks, const Minute &now);

// A name that is safe as one protocol word list entry and one log line: control
// characters become spaces and '|' (the separator of "doelfiles") becomes '/'.
std::string lineSafe(std::string_view text);

// True for a plain file name: not empty, no '/', no NUL, not "." or "..", not
// starting with '.', so it stays inside the folder it is joined to.
bool plainFileName(std::string_view name);

}  // namespace qserver::publish
