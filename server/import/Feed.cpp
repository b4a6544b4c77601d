#include "import/Feed.h"

#include "import/PlainText.h"
#include "import/Xml.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace qserver::import {

namespace {

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

// Atom text constructs: type "html" (escaped markup), "xhtml" (markup as
// child elements) or "text".
std::string atomText(const XmlNode *n, bool oneLineOnly)
{
    if (!n)
        return {};
    const std::string type = attribute(n, "type");
    std::string plain;
    if (type == "xhtml")
        plain = htmlToText(innerMarkup(n));
    else if (type == "html" || type == "text/html")
        plain = htmlToText(text(n));
    else
        plain = plainToText(text(n));
    return oneLineOnly ? joinLines(plain) : plain;
}

void finish(FeedItem &item, const std::string &dateText, std::time_t fetchedAt)
{
    const auto parsed = parseDate(dateText);
    const LocalStamp stamp = localStamp(parsed ? *parsed : fetchedAt);
    item.datum = stamp.datum;
    item.time = stamp.time;
    item.kop = cutUtf8(item.kop, kMaxTitleBytes);
    item.body = cutUtf8(item.body, kMaxBodyBytes);
    if (item.kop.empty())
        item.kop = cutUtf8(joinLines(item.body), 120);
}

FeedItem rssItem(const XmlNode *n, const std::string &base, std::time_t fetchedAt)
{
    FeedItem item;
    item.kop = oneLine(text(child(n, "title")));
    const XmlNode *encoded = child(n, "encoded");  // content:encoded: the full text where there is one
    item.body = htmlToText(text(encoded ? encoded : child(n, "description")));
    item.url = safeLink(text(child(n, "link")), base);
    const XmlNode *guid = child(n, "guid");
    std::string key = trimmed(text(guid));
    if (key.empty())
        key = trimmed(attribute(n, "about"));  // RSS 1.0
    if (item.url.empty() && guid && attribute(guid, "isPermaLink") != "false")
        item.url = safeLink(key, base);
    if (key.empty())
        key = item.url;
    if (key.empty())
        key = item.kop + "\n" + item.body;
    item.key = itemKey(key);
    std::string date = text(child(n, "pubDate"));
    if (date.empty())
        date = text(child(n, "date"));  // dc:date
    finish(item, date, fetchedAt);
    return item;
}

FeedItem atomEntry(const XmlNode *n, const std::string &base, std::time_t fetchedAt)
{
    FeedItem item;
    item.kop = atomText(child(n, "title"), true);
    const XmlNode *content = child(n, "content");
    item.body = atomText(content && attribute(content, "src").empty() ? content : child(n, "summary"), false);
    // The alternate link, else the first link without a rel.
    std::string link;
    for (XmlNode *c = firstElement(n); c; c = nextElement(c)) {
        if (localName(c) != "link")
            continue;
        const std::string rel = attribute(c, "rel");
        if (rel == "alternate" || (rel.empty() && link.empty()))
            link = attribute(c, "href");
        if (rel == "alternate")
            break;
    }
    item.url = safeLink(link, base);
    std::string key = trimmed(text(child(n, "id")));
    if (key.empty())
        key = item.url;
    if (key.empty())
        key = item.kop + "\n" + item.body;
    item.key = itemKey(key);
    std::string date = text(child(n, "published"));
    if (date.empty())
        date = text(child(n, "updated"));
    finish(item, date, fetchedAt);
    return item;
}

}  // namespace

std::string safeLink(std::string link, const std::string &base)
{
    link = trimmed(std::move(link));
    if (link.size() > kMaxUrlBytes || link.find_first_of(" \t\r\n\"<>") != std::string::npos)
        return {};
    if (startsNoCase(link, "http://") || startsNoCase(link, "https://"))
        return link;
    if (!link.empty() && link[0] == '/' && (link.size() < 2 || link[1] != '/')) {
        // Relative to the feed's own host.
        const std::size_t scheme = base.find("://");
        if (scheme == std::string::npos || !(startsNoCase(base, "http://") || startsNoCase(base, "https://")))
            return {};
        const std::size_t path = base.find('/', scheme + 3);
        const std::string resolved = base.substr(0, path) + link;
        return resolved.size() > kMaxUrlBytes ? std::string() : resolved;
    }
    return {};
}

FeedResult parseFeed(std::string_view bytes, const std::string &feedUrl, std::time_t fetchedAt, std::size_t maxItems)
{
    FeedResult r;
    XmlDoc doc = parseXml(bytes, r.error);
    if (!doc) {
        r.error = "geen leesbare XML: " + r.error;
        return r;
    }
    const XmlNode *root = rootElement(doc.get());
    const std::string name = localName(root);
    std::vector<const XmlNode *> nodes;
    bool atom = false;
    if (name == "rss") {
        r.kind = "RSS";
        for (XmlNode *c = firstElement(child(root, "channel")); c; c = nextElement(c))
            if (localName(c) == "item")
                nodes.push_back(c);
    } else if (name == "RDF") {
        r.kind = "RSS";
        for (XmlNode *c = firstElement(root); c; c = nextElement(c))
            if (localName(c) == "item")
                nodes.push_back(c);
    } else if (name == "feed") {
        r.kind = "Atom";
        atom = true;
        for (XmlNode *c = firstElement(root); c; c = nextElement(c))
            if (localName(c) == "entry")
                nodes.push_back(c);
    } else {
        r.error = "geen RSS- of Atom-feed (het document begint met <" + cutUtf8(name, 40) + ">)";
        return r;
    }
    std::set<std::string> seen;
    for (const XmlNode *n : nodes) {
        if (r.items.size() >= maxItems)
            break;
        FeedItem item = atom ? atomEntry(n, feedUrl, fetchedAt) : rssItem(n, feedUrl, fetchedAt);
        if (item.kop.empty() && item.body.empty())
            continue;
        if (seen.insert(item.key).second)
            r.items.push_back(std::move(item));
    }
    r.ok = true;
    return r;
}

}  // namespace qserver::import
