#pragma once
// Publication of rubrics ("publiceer"). The export to the configured targets
// arrives with the client issue that builds the publishing window; until then
// the server answers honestly that it cannot publish instead of pretending.

#include <string>

namespace qserver::publish {

// True when the server can publish; the caller then starts the job.
inline bool available()
{
    return false;
}

// The "job log" text for a request that cannot be served yet.
inline std::string unavailableText(const std::string &requester)
{
    return "publiceren (gevraagd door " + requester + ") is in deze server nog niet beschikbaar";
}

}  // namespace qserver::publish
