#pragma once
// The built-in one-off job "import " + source id (refreshing an internet
// source) and the statements that store what feeds and wire files bring.
// No I/O: ImportService runs them.

#include "import/Feed.h"
#include "import/Wire.h"

#include <optional>
#include <string>
#include <vector>

namespace qserver::import {

// The source id when `jobName` names the built-in import job ("import 12").
std::optional<long long> sourceId(const std::string &jobName);

// A PostgreSQL array literal of text values ({"a","b"}), for one parameter
// that carries a column of many rows.
std::string textArray(const std::vector<std::string> &values);

// One statement stores every new item of a feed: what the unique index
// (netid, guid) already holds is skipped, also when two imports of the same
// source run at once. Rows are inserted oldest first, so ids follow the
// items' dates; it returns the stored rows (id, datum, time, kop).
// Parameters: netid, then the columns as arrays.
extern const char *const kInsertItemsSql;
std::vector<std::string> insertItemsParams(long long sourceId, const std::vector<FeedItem> &items);

// The source's name and feed address, by id.
extern const char *const kSourceSql;
// Every source with a feed address, for the scheduled import of all.
extern const char *const kAllSourcesSql;

// One wire item, once by its id (unique index on tblanp.itemid); returns
// its id when it is new. Parameters: datum, time, kop, body, rubriek, itemid.
extern const char *const kInsertWireSql;

// "bronadd" line of a stored item: "bronadd internet " + source id + " " +
// the client's item line (id, datum, time, kop).
std::string bronaddLine(long long sourceId, const std::string &id, const std::string &datum, const std::string &time,
                        const std::string &kop);

}  // namespace qserver::import
