#pragma once
// Typed requests between subsystems that cannot include each other: what the
// opener of a window is given and what it answers. The production list, the
// ready list, the evaluation and the rubric cycle open the versions window
// this way; tests register recorders in its place.

#include <functional>
#include <optional>

namespace core {

class TRegistry;

// Open the versions window of a topic. The caller holds the topic's lock.
struct VersionsRequest {
    int agendaId = -1;           // tblagenda.id of the topic
    int preferredVersionId = -1; // the version to show first, or -1
};

struct VersionsResult {
    bool hasVersions = false;  // the window was shown (the topic has or got versions)
    int modalResult = 0;       // 1 after "&Opslaan", 2 when closed otherwise; 0 when never shown
};

using VersionsOpener = std::function<VersionsResult(const VersionsRequest &)>;

// The program's versions opener; an empty function unregisters it.
void registerVersionsOpener(VersionsOpener opener);
// Runs it; nullopt when none is registered.
std::optional<VersionsResult> openVersions(const VersionsRequest &request);

}  // namespace core
