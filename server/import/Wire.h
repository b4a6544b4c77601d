#pragma once
// News-wire files (NewsML-G2 and NITF) read into rows of tblanp. No I/O.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace qserver::import {

struct WireItem {
    std::string itemId;  // the agency's id of the item: stored once
    std::string datum;  // "yyyymmdd" local time
    std::string time;  // "hh:nn:ss"
    std::string kop;
    std::string body;  // plain text, CR LF line ends
    std::string rubriek;  // the agency's subject or section, may be ""
};

struct WireResult {
    bool ok = false;
    std::string error;
    std::string format;  // "NewsML-G2" or "NITF"
    std::vector<WireItem> items;  // a NewsML-G2 message may carry several
};

// Reads one agency file. An item without an id cannot be stored once, so it
// makes the whole file fail; items without a date get `fallback`.
WireResult parseWire(std::string_view bytes, std::time_t fallback);

}  // namespace qserver::import
