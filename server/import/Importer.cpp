#include "import/Importer.h"

#include <charconv>

namespace qserver::import {

std::optional<long long> sourceId(const std::string &jobName)
{
    constexpr std::string_view prefix = "import ";
    if (jobName.size() <= prefix.size() || jobName.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    long long id = 0;
    const char *b = jobName.data() + prefix.size();
    const char *e = jobName.data() + jobName.size();
    const auto [end, ec] = std::from_chars(b, e, id);
    if (ec != std::errc() || end != e)
        return std::nullopt;
    return id;
}

std::string unavailableText(long long sourceId, const std::string &description)
{
    std::string text = description.empty() ? "import " + std::to_string(sourceId) : description;
    return text + ": importeren van bron " + std::to_string(sourceId) + " is in deze server nog niet beschikbaar";
}

}  // namespace qserver::import
