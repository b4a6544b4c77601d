#pragma once
// Feeds read into the rows of tblnetinfo: RSS (2.0, 0.9x, and the RDF forms
// 0.9 and 1.0), Atom (1.0 and 0.3) and JSON Feed (1 and 1.1). No I/O: the
// bytes come from the fetcher.
//
// DESIGN: only the elements of the feed's own namespace (none, for RSS 2.0)
// fill our fields; the extensions we know (content:encoded, dc:date,
// media:title and media:description) are found by their namespace, never by
// their local name alone, so an unknown extension's <x:description> cannot
// stand in for the item's own. A feed that is not well-formed XML is read a
// second time in recovery mode: its complete items are taken, the others
// counted, and the result says that the feed was damaged.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace qserver::import {

struct FeedItem {
    std::string key;  // guid or id, else the link, else a hash of title and text: stored once per source
    std::string datum;  // "yyyymmdd", local time of publication (else of fetching)
    std::string time;  // "hh:nn:ss"
    std::string kop;  // one line of plain text
    std::string body;  // plain text, CR LF line ends
    std::string url;  // http or https link to the item's page, or ""
    bool dated = false;  // the date is the feed's own, not the time of fetching
};

struct FeedResult {
    bool ok = false;
    std::string error;  // why not, for the job log
    std::string kind;  // "RSS", "Atom" or "JSON Feed"
    std::vector<FeedItem> items;  // in feed order, keys distinct
    std::string damage;  // not empty: the feed was not well-formed; what the parser found first
    std::size_t skipped = 0;  // items left out because they could not be read completely
};

// Limits of what one item may bring.
constexpr std::size_t kMaxTitleBytes = 500;
constexpr std::size_t kMaxBodyBytes = 100 * 1024;
constexpr std::size_t kMaxUrlBytes = 2000;

// Reads a whole feed. `feedUrl` (the address it was finally fetched from)
// resolves relative links; `charset` is the HTTP header's, used when the
// document names none itself; items without a date get `fetchedAt`. At most
// `maxItems` items are taken (the first ones: feeds list the newest first).
FeedResult parseFeed(std::string_view bytes, const std::string &feedUrl, std::time_t fetchedAt, std::size_t maxItems,
                     const std::string &charset = std::string());

// An http(s) link, resolved against `base` when it is relative; "" for
// anything else (javascript:, file:, a relative link without an http(s)
// base, blanks or quotes in it).
std::string safeLink(std::string link, const std::string &base);

}  // namespace qserver::import
