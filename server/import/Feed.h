#pragma once
// RSS (2.0, and the RDF form of 1.0) and Atom feeds read into the rows of
// tblnetinfo. No I/O: the bytes come from the fetcher.

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
};

struct FeedResult {
    bool ok = false;
    std::string error;  // why not, for the job log
    std::string kind;  // "RSS" or "Atom"
    std::vector<FeedItem> items;  // in feed order, keys distinct
};

// Limits of what one item may bring.
constexpr std::size_t kMaxTitleBytes = 500;
constexpr std::size_t kMaxBodyBytes = 100 * 1024;
constexpr std::size_t kMaxUrlBytes = 2000;

// Reads a whole feed. `feedUrl` resolves links relative to it; items without
// a date get `fetchedAt`. At most `maxItems` items are taken (the first
// ones: feeds list the newest first).
FeedResult parseFeed(std::string_view bytes, const std::string &feedUrl, std::time_t fetchedAt, std::size_t maxItems);

// An http(s) link as given, or resolved against `base` when it starts with
// "/"; "" for anything else (javascript:, file:, relative paths).
std::string safeLink(std::string link, const std::string &base);

}  // namespace qserver::import
