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

// One statement stores what a feed brings: new items are inserted (what the
// unique index (netid, guid) already holds is left to the update, also when
// two imports of the same source run at once), oldest first, so ids follow
// the items' dates; an item the source has changed (headline, text, link,
// or its own date) is updated and gets the time of the change in
// `bijgewerkt`. It returns the rows it stored (id, datum, time, kop, and
// "t" for an update, "f" for a new row). Parameters: netid, the columns as
// arrays, whether each item's date is its own (an item without one keeps the
// date it was first stored with), the time of the change.
extern const char *const kStoreItemsSql;
std::vector<std::string> storeItemsParams(long long sourceId, const std::vector<FeedItem> &items,
                                          const std::string &changedAt);

// The source's name, feed address and the validators of its last fetch.
extern const char *const kSourceSql;
// Keeps the validators of a fetch. Parameters: id, ETag, Last-Modified.
extern const char *const kSaveValidatorsSql;
// Follows a permanent redirect, unless someone changed the address
// meanwhile. Parameters: id, new address, old address.
extern const char *const kMoveFeedSql;
// Every source with a feed address, for the scheduled import of all.
extern const char *const kAllSourcesSql;

// One wire item, once by its id (unique index on tblanp.itemid); returns
// its id when it is new. Parameters: datum, time, kop, body, rubriek, itemid.
extern const char *const kInsertWireSql;

// "bronadd" line of a stored item: "bronadd internet " + source id + " " +
// the client's item line (id, datum, time, kop).
// An item the source changed says so after its headline.
std::string bronaddLine(long long sourceId, const std::string &id, const std::string &datum, const std::string &time,
                        const std::string &kop, bool changed = false);

}  // namespace qserver::import
