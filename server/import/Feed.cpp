#include "import/Feed.h"

#include "import/PlainText.h"
#include "import/Xml.h"

#include <libxml/uri.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <set>

namespace qserver::import {

namespace {

constexpr std::string_view kAtom10 = "http://www.w3.org/2005/Atom";
constexpr std::string_view kAtom03 = "http://purl.org/atom/ns#";
constexpr std::string_view kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr std::string_view kContent = "http://purl.org/rss/1.0/modules/content/";
constexpr std::string_view kDc = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kMedia = "http://search.yahoo.com/mrss/";
constexpr std::size_t kHeadlineFromText = 80;  // bytes of text that make a missing headline
constexpr int kMaxJsonDepth = 16;  // a JSON Feed nests four deep; deeper values are dropped while parsing

bool startsNoCase(const std::string &s, std::string_view p)
{
    if (s.size() < p.size())
        return false;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != p[i])
            return false;
    return true;
}

std::string trimmed(std::string s)
{
    const auto notBlank = [](unsigned char c) { return !std::isspace(c); };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notBlank));
    s.erase(std::find_if(s.rbegin(), s.rend(), notBlank).base(), s.end());
    return s;
}

std::string lower(std::string s)
{
    for (char &c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Base64 as Atom carries it (line breaks and blanks allowed); false when it
// is not base64.
bool decodeBase64(std::string_view in, std::string &out)
{
    out.clear();
    unsigned acc = 0;
    int bits = 0;
    bool padded = false;
    for (const char c : in) {
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else if (c == '=') {
            padded = true;
            continue;
        } else if (std::isspace(static_cast<unsigned char>(c)))
            continue;
        else
            return false;
        if (padded)
            return false;
        acc = (acc << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += char((acc >> bits) & 0xFF);
        }
    }
    return true;
}

bool isXmlType(const std::string &type)
{
    return type == "xhtml" || type.find("xml") != std::string::npos;
}

// Atom text constructs: type "text", "html", "xhtml" or a media type (1.0),
// with mode "xml", "escaped" or "base64" (0.3). Base64 content is decoded;
// what is not text after that (a picture) gives "".
std::string atomText(const XmlNode *n, bool oneLineOnly)
{
    if (!n)
        return {};
    const std::string type = lower(trimmed(attribute(n, "type")));
    const std::string mode = lower(trimmed(attribute(n, "mode")));
    const bool html = type.find("html") != std::string::npos;
    const bool mediaType = type.find('/') != std::string::npos;
    std::string plain;
    if (mode == "base64" ||
        (mode.empty() && mediaType && !startsNoCase(type, "text/") && !isXmlType(type))) {
        std::string decoded;
        const bool textual = html || startsNoCase(type, "text/") || type.empty() || type == "application/octet-stream";
        if (textual && decodeBase64(text(n), decoded) && firstInvalidUtf8(decoded) == std::string::npos)
            plain = html ? htmlToText(decoded) : plainToText(decoded);
    } else if (mode == "xml" || (mode.empty() && isXmlType(type))) {
        plain = htmlToText(innerMarkup(n));
    } else if (html) {
        plain = htmlToText(text(n));
    } else {
        plain = plainToText(text(n));
    }
    return oneLineOnly ? joinLines(plain) : plain;
}

// A headline for an item that has none: the first words of its text, else
// its link.
std::string headlineFrom(const FeedItem &item)
{
    const std::string line = joinLines(item.body);
    if (line.empty())
        return item.url;
    if (line.size() <= kHeadlineFromText)
        return line;
    std::string cut = cutUtf8(line, kHeadlineFromText);
    const std::size_t blank = cut.rfind(' ');
    if (blank != std::string::npos && blank > kHeadlineFromText / 2)
        cut.resize(blank);
    return cut + "\u2026";
}

void finish(FeedItem &item, const std::string &dateText, std::time_t fetchedAt)
{
    const auto parsed = parseDate(dateText);
    item.dated = parsed.has_value();
    const LocalStamp stamp = localStamp(parsed ? *parsed : fetchedAt);
    item.datum = stamp.datum;
    item.time = stamp.time;
    item.body = cutUtf8(item.body, kMaxBodyBytes);
    if (item.kop.empty())
        item.kop = headlineFrom(item);
    item.kop = cutUtf8(item.kop, kMaxTitleBytes);
}

std::string keyOf(std::string key, const FeedItem &item)
{
    key = trimmed(std::move(key));
    if (key.empty())
        key = item.url;
    if (key.empty())
        key = item.kop + "\n" + item.body;
    return itemKey(key);
}

// media:title or media:description of an item, directly or in media:group
// or media:content.
const XmlNode *mediaChild(const XmlNode *item, std::string_view name)
{
    if (const XmlNode *m = childNs(item, kMedia, name))
        return m;
    for (const XmlNode *c = firstElement(item); c; c = nextElement(c))
        if (nsOf(c) == kMedia && (localName(c) == "group" || localName(c) == "content"))
            if (const XmlNode *m = childNs(c, kMedia, name))
                return m;
    return nullptr;
}

std::string mediaText(const XmlNode *m)
{
    return attribute(m, "type") == "html" ? htmlToText(text(m)) : plainToText(text(m));
}

FeedItem rssItem(const XmlNode *n, std::time_t fetchedAt)
{
    const std::string_view own = nsOf(n);
    const std::string base = baseOf(n);
    FeedItem item;
    item.kop = oneLine(text(childNs(n, own, "title")));
    if (item.kop.empty())
        item.kop = joinLines(mediaText(mediaChild(n, "title")));
    const XmlNode *encoded = childNs(n, kContent, "encoded");  // the full text where there is one
    const XmlNode *description = childNs(n, own, "description");
    item.body = htmlToText(text(encoded ? encoded : description));
    if (item.body.empty() && !encoded && !description)
        item.body = mediaText(mediaChild(n, "description"));
    item.url = safeLink(text(childNs(n, own, "link")), base);
    const XmlNode *guid = childNs(n, own, "guid");
    std::string key = trimmed(text(guid));
    if (key.empty())
        key = trimmed(attribute(n, "about"));  // RSS 1.0
    if (item.url.empty() && guid && attribute(guid, "isPermaLink") != "false" &&
        (startsNoCase(key, "http://") || startsNoCase(key, "https://")))
        item.url = safeLink(key, base);
    std::string date = text(childNs(n, own, "pubDate"));
    if (date.empty())
        date = text(childNs(n, kDc, "date"));
    item.key = keyOf(key, item);  // before finish(): keys of stored items stay what they were
    finish(item, date, fetchedAt);
    return item;
}

FeedItem atomEntry(const XmlNode *n, std::time_t fetchedAt)
{
    const std::string_view own = nsOf(n);
    FeedItem item;
    item.kop = atomText(childNs(n, own, "title"), true);
    const XmlNode *content = childNs(n, own, "content");
    item.body = atomText(content && attribute(content, "src").empty() ? content : childNs(n, own, "summary"), false);
    if (item.body.empty() && content)
        item.body = atomText(childNs(n, own, "summary"), false);
    // The alternate link, else the first link without a rel.
    const XmlNode *link = nullptr;
    for (const XmlNode *c = firstElement(n); c; c = nextElement(c)) {
        if (nsOf(c) != own || localName(c) != "link")
            continue;
        const std::string rel = attribute(c, "rel");
        if (rel == "alternate" || (rel.empty() && !link))
            link = c;
        if (rel == "alternate")
            break;
    }
    item.url = link ? safeLink(attribute(link, "href"), baseOf(link)) : std::string();
    std::string date;
    for (const char *name : {"published", "updated", "issued", "modified", "created"})
        if (date.empty())
            date = text(childNs(n, own, name));
    item.key = keyOf(text(childNs(n, own, "id")), item);
    finish(item, date, fetchedAt);
    return item;
}

// Items of a JSON Feed; values of the wrong type count as absent.
std::string jsonText(const nlohmann::json &o, const char *name)
{
    const auto it = o.find(name);
    if (it == o.end())
        return {};
    return it->is_string() ? it->get<std::string>() : std::string();
}

// An item's id; some feeds write it as a number.
std::string jsonId(const nlohmann::json &o)
{
    const auto it = o.find("id");
    if (it != o.end() && (it->is_number_integer() || it->is_number_unsigned()))
        return it->dump();
    return jsonText(o, "id");
}

FeedResult parseJsonFeed(std::string_view bytes, const std::string &feedUrl, std::time_t fetchedAt,
                         std::size_t maxItems)
{
    FeedResult r;
    r.kind = "JSON Feed";
    const auto bounded = [](int depth, nlohmann::json::parse_event_t, nlohmann::json &) {
        return depth <= kMaxJsonDepth;
    };
    const nlohmann::json doc = nlohmann::json::parse(bytes.begin(), bytes.end(), bounded, false);
    if (doc.is_discarded()) {
        r.error = "geen leesbare JSON";
        return r;
    }
    if (!doc.is_object() || jsonText(doc, "version").rfind("https://jsonfeed.org/version/", 0) != 0) {
        r.error = "geen JSON Feed (geen versie van jsonfeed.org)";
        return r;
    }
    const auto items = doc.find("items");
    if (items == doc.end() || !items->is_array()) {
        r.error = "JSON Feed zonder items";
        return r;
    }
    std::set<std::string> seen;
    for (const nlohmann::json &o : *items) {
        if (r.items.size() >= maxItems)
            break;
        if (!o.is_object())
            continue;
        FeedItem item;
        item.kop = joinLines(plainToText(jsonText(o, "title")));
        const std::string html = jsonText(o, "content_html");
        item.body = html.empty() ? plainToText(jsonText(o, "content_text")) : htmlToText(html);
        if (item.body.empty())
            item.body = plainToText(jsonText(o, "summary"));
        item.url = safeLink(jsonText(o, "url"), feedUrl);
        if (item.url.empty())
            item.url = safeLink(jsonText(o, "external_url"), feedUrl);
        std::string date = jsonText(o, "date_published");
        if (date.empty())
            date = jsonText(o, "date_modified");
        item.key = keyOf(jsonId(o), item);
        finish(item, date, fetchedAt);
        if (item.kop.empty())
            continue;
        if (seen.insert(item.key).second)
            r.items.push_back(std::move(item));
    }
    r.ok = true;
    return r;
}

bool looksLikeJson(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    for (const char c : bytes) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            return c == '{';
    }
    return false;
}

}  // namespace

std::string safeLink(std::string link, const std::string &base)
{
    link = trimmed(std::move(link));
    if (link.empty() || link.size() > kMaxUrlBytes || link.find_first_of(" \t\r\n\"<>\\") != std::string::npos)
        return {};
    std::string resolved;
    if (startsNoCase(link, "http://") || startsNoCase(link, "https://")) {
        resolved = link;
    } else {
        if (!(startsNoCase(base, "http://") || startsNoCase(base, "https://")))
            return {};
        xmlChar *uri = xmlBuildURI(reinterpret_cast<const xmlChar *>(link.c_str()),
                                   reinterpret_cast<const xmlChar *>(base.c_str()));
        resolved = uri ? reinterpret_cast<const char *>(uri) : "";
        xmlFree(uri);
    }
    if (!(startsNoCase(resolved, "http://") || startsNoCase(resolved, "https://")) || resolved.size() > kMaxUrlBytes ||
        resolved.find_first_of(" \t\r\n\"<>\\") != std::string::npos)
        return {};
    return resolved;
}

FeedResult parseFeed(std::string_view bytes, const std::string &feedUrl, std::time_t fetchedAt, std::size_t maxItems,
                     const std::string &charset)
{
    if (looksLikeJson(bytes))
        return parseJsonFeed(bytes, feedUrl, fetchedAt, maxItems);
    FeedResult r;
    XmlOptions options;
    options.charset = charset;
    options.baseUrl = feedUrl;
    options.recover = true;
    XmlRead read = readXml(bytes, options);
    if (!read.doc) {
        r.error = "geen leesbare XML: " + read.error;
        return r;
    }
    r.damage = read.damage;
    const XmlNode *root = rootElement(read.doc.get());
    const std::string name = localName(root);
    std::vector<const XmlNode *> nodes;
    bool atom = false;
    if (name == "rss" && nsOf(root).empty()) {
        r.kind = "RSS";
        for (XmlNode *c = firstElement(childNs(root, "", "channel")); c; c = nextElement(c))
            if (nsOf(c).empty() && localName(c) == "item")
                nodes.push_back(c);
    } else if (name == "RDF" && nsOf(root) == kRdf) {
        r.kind = "RSS";
        // RSS 1.0 and 0.9: the items' namespace is the channel's.
        const XmlNode *channel = child(root, "channel");
        const std::string_view own = nsOf(channel);
        for (XmlNode *c = firstElement(root); c; c = nextElement(c))
            if (localName(c) == "item" && (!channel || nsOf(c) == own))
                nodes.push_back(c);
    } else if (name == "feed" && (nsOf(root) == kAtom10 || nsOf(root) == kAtom03 || nsOf(root).empty())) {
        r.kind = "Atom";
        atom = true;
        for (XmlNode *c = firstElement(root); c; c = nextElement(c))
            if (nsOf(c) == nsOf(root) && localName(c) == "entry")
                nodes.push_back(c);
    } else {
        r.error = "geen RSS- of Atom-feed (het document begint met <" + cutUtf8(name, 40) + ">)";
        return r;
    }
    if (!r.damage.empty()) {
        // Recovery nests what follows a broken element inside it: look deeper.
        std::vector<const XmlNode *> all;
        std::vector<const XmlNode *> todo(nodes.rbegin(), nodes.rend());
        while (!todo.empty()) {
            const XmlNode *n = todo.back();
            todo.pop_back();
            all.push_back(n);
            std::vector<const XmlNode *> inner;
            for (const XmlNode *c = firstElement(n); c; c = nextElement(c))
                if (nsOf(c) == nsOf(n) && localName(c) == localName(n))
                    inner.push_back(c);
            todo.insert(todo.end(), inner.rbegin(), inner.rend());
        }
        nodes = std::move(all);
    }
    std::set<std::string> seen;
    for (const XmlNode *n : nodes) {
        if (r.items.size() >= maxItems)
            break;
        if (!complete(n)) {
            ++r.skipped;  // never half an item
            continue;
        }
        FeedItem item = atom ? atomEntry(n, fetchedAt) : rssItem(n, fetchedAt);
        if (item.kop.empty())
            continue;  // no title, text or link: nothing to show
        if (seen.insert(item.key).second)
            r.items.push_back(std::move(item));
    }
    r.ok = true;
    return r;
}

}  // namespace qserver::import
