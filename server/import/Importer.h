#pragma once
// The built-in one-off job "import " + source id (refreshing an internet
// source). The fetching itself arrives with the sources issue; until then the
// job reports that it cannot run rather than claiming success.

#include <optional>
#include <string>

namespace qserver::import {

// The source id when `jobName` names the built-in import job ("import 12").
std::optional<long long> sourceId(const std::string &jobName);

// The "job log" text for an import that cannot run yet.
std::string unavailableText(long long sourceId, const std::string &description);

}  // namespace qserver::import
