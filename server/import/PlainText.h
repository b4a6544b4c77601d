#pragma once
// Text as the client shows it, made from what feeds and wire files carry:
// HTML turned into plain lines, dates into the "yyyymmdd" and "hh:nn:ss"
// texts of the database, and the keys that keep an item from being stored
// twice. No I/O.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace qserver::import {

// Plain text of an HTML fragment, read by libxml2's HTML parser as a
// browser would: tags dropped (block elements and <br> become line ends,
// other line ends in the source are blanks, except in <pre>), script and
// style content and comments dropped, character references decoded (text
// the markup escapes stays text), blanks within a line collapsed, at most
// one empty line in a row. A fragment without any tag is read as plain
// text with references (its line ends stay). Lines end in CR LF, as the
// client's texts do. Control characters (C1 ones are read as Windows-1252
// does) and invalid UTF-8 never come out.
std::string htmlToText(std::string_view html);

// Plain text (no markup) with the same line rules.
std::string plainToText(std::string_view text);

// The HTML text on one line: every run of blanks and line ends is one space.
std::string oneLine(std::string_view html);

// A line for the client: text lines joined with one space.
std::string joinLines(std::string_view text);

// The character Windows-1252 gives byte `c` (0x80 to 0xFF); U+FFFD for the
// five bytes it leaves undefined.
std::uint32_t windows1252(unsigned char c);

// Appends code point `cp` as UTF-8 (U+FFFD for what is no character).
void appendCodePoint(std::string &out, std::uint32_t cp);

// Offset of the first byte of `s` that is not valid UTF-8, or npos.
std::size_t firstInvalidUtf8(std::string_view s);

// Cuts `s` to at most `maxBytes` bytes without splitting a UTF-8 sequence.
std::string cutUtf8(std::string s, std::size_t maxBytes);

// A date of RFC 822 ("Tue, 10 Dec 2026 14:03:07 +0100", also without the
// weekday or seconds, with GMT/UT/Z or a US zone) or of ISO 8601 / RFC 3339
// ("2026-12-10T14:03:07+01:00", "20261210T140307+0100", a date alone) as a
// UTC time; nullopt when it is neither.
std::optional<std::time_t> parseDate(std::string_view text);

// "yyyymmdd" and "hh:nn:ss" of `t` in the server's local time.
struct LocalStamp {
    std::string datum;
    std::string time;
};
LocalStamp localStamp(std::time_t t);

// A key for the unique index: `text` itself when it is short enough for an
// index entry, else a 64-bit hash of it written "h:" + 16 hex digits.
std::string itemKey(std::string_view text);

}  // namespace qserver::import
