#include "core/Requests.h"

namespace core {

namespace {

VersionsOpener &versionsOpener() {
    static VersionsOpener opener;
    return opener;
}

}  // namespace

void registerVersionsOpener(VersionsOpener opener) { versionsOpener() = std::move(opener); }

std::optional<VersionsResult> openVersions(const VersionsRequest &request) {
    if (!versionsOpener())
        return std::nullopt;
    return versionsOpener()(request);
}

}  // namespace core
