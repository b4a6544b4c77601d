#include "import/PlainText.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace qserver::import {

namespace {

constexpr std::size_t kMaxKey = 400;  // well below the 2700 bytes of a btree entry

// Decodes the character reference at s[i] ('&'); returns the bytes used, 0
// when it is none (the '&' then stands for itself).
std::size_t decodeReference(std::string_view s, std::size_t i, std::string &out)
{
    const std::size_t semi = s.find(';', i + 1);
    if (semi == std::string_view::npos || semi - i > 12)
        return 0;
    const std::string_view name = s.substr(i + 1, semi - i - 1);
    if (name.size() >= 2 && name[0] == '#') {
        std::uint32_t cp = 0;
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty())
            return 0;
        for (char c : digits) {
            const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : hex && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
            if (v < 0)
                return 0;
            cp = std::min<std::uint32_t>(cp * (hex ? 16 : 10) + std::uint32_t(v), 0x110000);
        }
        if (cp < 0x20 && cp != '\n' && cp != '\t')
            cp = ' ';
        appendCodePoint(out, cp);
        return semi - i + 1;
    }
    const std::string key(name);
    if (const htmlEntityDesc *e = htmlEntityLookup(reinterpret_cast<const xmlChar *>(key.c_str()))) {
        appendCodePoint(out, e->value);
        return semi - i + 1;
    }
    if (name == "apos") {
        out += '\'';
        return semi - i + 1;
    }
    return 0;
}

// Keeps valid UTF-8 and replaces everything else (and control characters
// other than LF) so the database and the client line format stay safe.
std::string cleanUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += (c < 0x20 && c != '\n') || c == 0x7F ? ' ' : char(c);
            ++i;
            continue;
        }
        const int len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
        bool ok = len > 0 && i + std::size_t(len) <= s.size();
        std::uint32_t cp = len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        for (int k = 1; ok && k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + std::size_t(k)]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        ok = ok && !(len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) &&
             !(len == 4 && (cp < 0x10000 || cp > 0x10FFFF));
        if (ok && cp >= 0x80 && cp <= 0x9F) {
            appendCodePoint(out, windows1252(static_cast<unsigned char>(cp)));
            i += std::size_t(len);
        } else if (ok) {
            out.append(s.substr(i, std::size_t(len)));
            i += std::size_t(len);
        } else {
            appendCodePoint(out, 0xFFFD);
            ++i;
        }
    }
    return out;
}

// True when cleanUtf8() would return `s` unchanged: most texts are, and
// they need no copy.
bool isCleanUtf8(std::string_view s)
{
    bool ascii = true;
    for (const char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\n') || c == 0x7F || c == 0xC2)  // 0xC2 may start a C1 control
            return false;
        ascii = ascii && c < 0x80;
    }
    return ascii || firstInvalidUtf8(s) == std::string_view::npos;
}

std::string cleanUtf8(std::string &&s)
{
    if (isCleanUtf8(s))
        return std::move(s);
    return cleanUtf8(std::string_view(s));
}

// Plain text with references decoded; LF marks line ends.
std::string decodeReferences(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '&') {
            const std::size_t used = decodeReference(s, i, out);
            if (used == 0)
                out += '&';
            i += used ? used : 1;
            continue;
        }
        out += s[i] == '\r' ? ' ' : s[i];
        ++i;
    }
    return out;
}

// True when `s` holds something that starts a tag or a comment.
bool hasMarkup(std::string_view s)
{
    for (std::size_t i = s.find('<'); i != std::string_view::npos && i + 1 < s.size(); i = s.find('<', i + 1)) {
        const unsigned char c = static_cast<unsigned char>(s[i + 1]);
        if (std::isalpha(c) || c == '/' || c == '!' || c == '?')
            return true;
    }
    return false;
}

enum class Kind {
    Inline,  // text flows on
    Line,  // on a line of its own
    Paragraph,  // on a line of its own, an empty line before
    Break,  // <br>: a line end
    Cell,  // a blank before
    Skip,  // no text of its own (script, style ...)
};

Kind kindOf(const xmlChar *name)
{
    static constexpr std::string_view kParagraph[] = {"p",  "h1", "h2", "h3",     "h4",    "h5",    "h6", "blockquote",
                                                      "pre", "ul", "ol", "dl",    "table", "figure", "hr", "address"};
    static constexpr std::string_view kLine[] = {"article", "aside",  "dd",     "div",   "dt",    "figcaption",
                                                 "footer",  "form",   "header", "li",    "main",  "nav",
                                                 "section", "tr",     "caption", "tbody", "thead", "tfoot"};
    static constexpr std::string_view kSkip[] = {"script", "style", "head", "noscript", "template", "iframe",
                                                 "object", "svg",   "math", "select",   "textarea", "title"};
    const std::string_view n = name ? reinterpret_cast<const char *>(name) : "";
    if (std::find(std::begin(kParagraph), std::end(kParagraph), n) != std::end(kParagraph))
        return Kind::Paragraph;
    if (std::find(std::begin(kLine), std::end(kLine), n) != std::end(kLine))
        return Kind::Line;
    if (std::find(std::begin(kSkip), std::end(kSkip), n) != std::end(kSkip))
        return Kind::Skip;
    if (n == "br")
        return Kind::Break;
    if (n == "td" || n == "th")
        return Kind::Cell;
    return Kind::Inline;
}

// What the HTML parser hands over while it reads a fragment: text in
// document order, LF for line ends. The line ends that block boundaries ask
// for wait until text follows, so adjacent boundaries make one (a
// paragraph's start asks for an empty line, its end and other blocks for a
// line end). The parser reports events, no tree is built: feeds bring
// thousands of small fragments, and the nesting is the sender's choice.
struct HtmlTextState {
    std::string out;
    int pending = 0;  // line ends asked for before the next text
    int pre = 0;  // open <pre> elements
    int skip = 0;  // open elements whose content is no text
    void ask(int n) { pending = std::max(pending, n); }
};

HtmlTextState &htmlState(void *ctx)
{
    return *static_cast<HtmlTextState *>(static_cast<htmlParserCtxtPtr>(ctx)->_private);
}

bool isPre(const xmlChar *name)
{
    return name && std::strcmp(reinterpret_cast<const char *>(name), "pre") == 0;
}

void htmlStart(void *ctx, const xmlChar *name, const xmlChar **)
{
    HtmlTextState &s = htmlState(ctx);
    const Kind k = kindOf(name);
    if (k == Kind::Skip || s.skip > 0) {
        s.skip += k == Kind::Skip ? 1 : 0;
        return;
    }
    if (k == Kind::Paragraph)
        s.ask(2);
    else if (k == Kind::Line)
        s.ask(1);
    else if (k == Kind::Cell)
        s.out += ' ';
    else if (k == Kind::Break) {
        s.out.append(std::size_t(s.pending), '\n');
        s.pending = 0;
        s.out += '\n';
    }
    if (isPre(name))
        ++s.pre;
}

void htmlEnd(void *ctx, const xmlChar *name)
{
    HtmlTextState &s = htmlState(ctx);
    const Kind k = kindOf(name);
    if (s.skip > 0) {
        s.skip -= k == Kind::Skip ? 1 : 0;
        return;
    }
    if (k == Kind::Paragraph || k == Kind::Line)
        s.ask(1);
    if (isPre(name) && s.pre > 0)
        --s.pre;
}

void htmlCharacters(void *ctx, const xmlChar *ch, int len)
{
    HtmlTextState &s = htmlState(ctx);
    if (s.skip > 0)
        return;
    for (int i = 0; i < len; ++i) {
        const char c = char(ch[i]);
        const bool blank = c == ' ' || c == '\r' || c == '\t' || (c == '\n' && s.pre == 0);
        if (!blank && s.pending > 0) {
            s.out.append(std::size_t(s.pending), '\n');
            s.pending = 0;
        }
        s.out += blank ? ' ' : c;
    }
}

struct HtmlCtxtFree {
    void operator()(htmlParserCtxtPtr c) const { htmlFreeParserCtxt(c); }
};

// One parser context per thread, reset for each fragment, with our own
// event handlers in place of the tree builder's.
htmlParserCtxtPtr htmlContext()
{
    thread_local std::unique_ptr<htmlParserCtxt, HtmlCtxtFree> ctxt([] {
        htmlParserCtxtPtr c = htmlNewParserCtxt();
        if (c && c->sax) {
            std::memset(c->sax, 0, sizeof(*c->sax));
            c->sax->startElement = htmlStart;
            c->sax->endElement = htmlEnd;
            c->sax->characters = htmlCharacters;
            c->sax->ignorableWhitespace = htmlCharacters;
            c->sax->cdataBlock = htmlCharacters;
            c->sax->initialized = 1;
        }
        return c;
    }());
    return ctxt.get();
}

std::string htmlText(std::string_view utf8)
{
    htmlParserCtxtPtr ctxt = htmlContext();
    if (!ctxt || !ctxt->sax || utf8.size() > 0x3fffffff)
        return {};
    HtmlTextState state;
    ctxt->_private = &state;
    const int options = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING;
    htmlDocPtr doc = htmlCtxtReadMemory(ctxt, utf8.data(), int(utf8.size()), nullptr, "UTF-8", options);
    if (doc)
        xmlFreeDoc(doc);  // none is built; in case a handler is left to the parser
    ctxt->_private = nullptr;
    return std::move(state.out);
}

}  // namespace

namespace {

int monthNumber(std::string_view m)
{
    static constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                                 "jul", "aug", "sep", "oct", "nov", "dec"};
    if (m.size() < 3)
        return 0;
    std::string low;
    for (char c : m.substr(0, 3))
        low += char(std::tolower(static_cast<unsigned char>(c)));
    for (std::size_t i = 0; i < kMonths.size(); ++i)
        if (kMonths[i] == low)
            return int(i) + 1;
    return 0;
}

bool readNumber(std::string_view s, std::size_t &i, std::size_t minDigits, std::size_t maxDigits, int &out)
{
    std::size_t n = 0;
    out = 0;
    while (i < s.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(s[i]))) {
        out = out * 10 + (s[i] - '0');
        ++i;
        ++n;
    }
    return n >= minDigits;
}

// Zone offset in seconds east of UTC: "+0100", "+01:00", "Z", "GMT", "UT",
// the US zones of RFC 822; nullopt when unreadable.
std::optional<int> zoneOffset(std::string_view z)
{
    while (!z.empty() && z.front() == ' ')
        z.remove_prefix(1);
    while (!z.empty() && z.back() == ' ')
        z.remove_suffix(1);
    if (z.empty() || z == "Z" || z == "z" || z == "GMT" || z == "UT" || z == "UTC")
        return 0;
    if (z[0] == '+' || z[0] == '-') {
        std::string digits;
        for (char c : z.substr(1))
            if (c != ':')
                digits += c;
        if (digits.size() != 4 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        const int v =
            ((digits[0] - '0') * 10 + (digits[1] - '0')) * 3600 + ((digits[2] - '0') * 10 + (digits[3] - '0')) * 60;
        return z[0] == '-' ? -v : v;
    }
    static constexpr std::pair<std::string_view, int> kZones[] = {{"EST", -5}, {"EDT", -4}, {"CST", -6}, {"CDT", -5},
                                                                  {"MST", -7}, {"MDT", -6}, {"PST", -8}, {"PDT", -7},
                                                                  {"CET", 1},  {"CEST", 2}};
    for (const auto &[name, hours] : kZones)
        if (z == name)
            return hours * 3600;
    return std::nullopt;
}

std::optional<std::time_t> makeUtc(int y, int mo, int d, int h, int mi, int s, int offset)
{
    if (y < 1970 || y > 2999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = std::min(s, 59);
    return timegm(&tm) - offset;
}

std::optional<std::time_t> parseRfc822(std::string_view t)
{
    // Optional weekday and comma.
    const std::size_t comma = t.find(',');
    if (comma != std::string_view::npos)
        t.remove_prefix(comma + 1);
    std::size_t i = 0;
    auto skip = [&] {
        while (i < t.size() && t[i] == ' ')
            ++i;
    };
    int d = 0, y = 0, h = 0, mi = 0, s = 0;
    skip();
    if (!readNumber(t, i, 1, 2, d))
        return std::nullopt;
    skip();
    const std::size_t monthStart = i;
    while (i < t.size() && std::isalpha(static_cast<unsigned char>(t[i])))
        ++i;
    const int mo = monthNumber(t.substr(monthStart, i - monthStart));
    skip();
    const std::size_t yearStart = i;
    if (!mo || !readNumber(t, i, 2, 4, y))
        return std::nullopt;
    if (i - yearStart == 2)
        y += y < 70 ? 2000 : 1900;
    skip();
    if (!readNumber(t, i, 1, 2, h) || i >= t.size() || t[i++] != ':' || !readNumber(t, i, 2, 2, mi))
        return std::nullopt;
    if (i < t.size() && t[i] == ':') {
        ++i;
        if (!readNumber(t, i, 2, 2, s))
            return std::nullopt;
    }
    const auto zone = zoneOffset(t.substr(i));
    if (!zone)
        return std::nullopt;
    return makeUtc(y, mo, d, h, mi, s, *zone);
}

std::optional<std::time_t> parseIso(std::string_view t)
{
    std::size_t i = 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    auto sep = [&](char c) {
        if (i < t.size() && t[i] == c)
            ++i;
    };
    if (!readNumber(t, i, 4, 4, y))
        return std::nullopt;
    sep('-');
    if (!readNumber(t, i, 2, 2, mo))
        return std::nullopt;
    sep('-');
    if (!readNumber(t, i, 2, 2, d))
        return std::nullopt;
    if (i == t.size())
        return makeUtc(y, mo, d, 0, 0, 0, 0);
    if (t[i] != 'T' && t[i] != 't' && t[i] != ' ')
        return std::nullopt;
    ++i;
    if (!readNumber(t, i, 2, 2, h))
        return std::nullopt;
    sep(':');
    if (!readNumber(t, i, 2, 2, mi))
        return std::nullopt;
    sep(':');
    if (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])) && !readNumber(t, i, 2, 2, s))
        return std::nullopt;
    if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
            ++i;
    }
    const auto zone = zoneOffset(t.substr(i));
    if (!zone)
        return std::nullopt;
    return makeUtc(y, mo, d, h, mi, s, *zone);
}

}  // namespace

namespace {
// Lines of `plain` (LF separated): blanks collapsed and trimmed, runs of
// empty lines become one, CR LF between lines.
std::string normaliseLines(const std::string &plain)
{
    std::string out;
    out.reserve(plain.size());
    std::string line;
    int emptyRun = 0;
    bool any = false;
    auto flush = [&] {
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        if (line.empty()) {
            ++emptyRun;
        } else {
            if (any)
                out += emptyRun > 0 ? "\r\n\r\n" : "\r\n";
            out += line;
            any = true;
            emptyRun = 0;
        }
        line.clear();
    };
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char c = plain[i];
        if (c == '\n') {
            flush();
        } else if (c == ' ' || c == '\t') {
            if (!line.empty() && line.back() != ' ')
                line += ' ';
        } else if (static_cast<unsigned char>(c) == 0xC2 && i + 1 < plain.size() &&
                   static_cast<unsigned char>(plain[i + 1]) == 0xA0) {
            ++i;  // a no-break space counts as a blank
            if (!line.empty() && line.back() != ' ')
                line += ' ';
        } else {
            line += c;
        }
    }
    flush();
    return out;
}
}  // namespace

std::string htmlToText(std::string_view html)
{
    std::string cleaned;
    std::string_view clean = html;
    if (!isCleanUtf8(html)) {
        cleaned = cleanUtf8(html);
        clean = cleaned;
    }
    if (!hasMarkup(clean))
        return normaliseLines(cleanUtf8(decodeReferences(clean)));
    return normaliseLines(cleanUtf8(htmlText(clean)));
}

std::uint32_t windows1252(unsigned char c)
{
    static constexpr std::uint16_t k80[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    return c >= 0x80 && c <= 0x9F ? k80[c - 0x80] : c;
}

void appendCodePoint(std::string &out, std::uint32_t cp)
{
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::size_t firstInvalidUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const int len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
        if (len == 0 || i + std::size_t(len) > s.size())
            return i;
        std::uint32_t cp = len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        for (int k = 1; k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + std::size_t(k)]);
            if ((cc & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return i;
        i += std::size_t(len);
    }
    return std::string_view::npos;
}

std::string plainToText(std::string_view text)
{
    std::string s(text);
    for (char &c : s)
        if (c == '\r')
            c = '\n';
    return normaliseLines(cleanUtf8(std::move(s)));
}

std::string oneLine(std::string_view html)
{
    return joinLines(htmlToText(html));
}

std::string joinLines(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::string cutUtf8(std::string s, std::size_t maxBytes)
{
    if (s.size() <= maxBytes)
        return s;
    std::size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    s.resize(n);
    return s;
}

std::optional<std::time_t> parseDate(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 64)
        return std::nullopt;
    if (std::isdigit(static_cast<unsigned char>(text[0])) && text.size() >= 8 &&
        std::isdigit(static_cast<unsigned char>(text[3])))
        return parseIso(text);
    return parseRfc822(text);
}

LocalStamp localStamp(std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    char d[16], h[16];
    std::strftime(d, sizeof d, "%Y%m%d", &tm);
    std::strftime(h, sizeof h, "%H:%M:%S", &tm);
    return {d, h};
}

std::string itemKey(std::string_view text)
{
    if (text.size() <= kMaxKey)
        return std::string(text);
    std::uint64_t h = 1469598103934665603ULL;  // FNV-1a: stable across builds and platforms
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    char buf[24];
    std::snprintf(buf, sizeof buf, "h:%016llx", static_cast<unsigned long long>(h));
    return buf;
}

}  // namespace qserver::import
