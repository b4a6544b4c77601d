#pragma once
// When a configured job runs. Three forms, chosen so that a newsroom
// administrator can read them at a glance:
//   "every 15m"           every interval (s, m or h) after the server starts
//   "daily 06:30,18:00"   at these local wall-clock times every day
//   "manual"              only when a client starts it ("job new eenmalig")

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qserver {

struct JobSchedule {
    enum class Kind {
        Manual,  // never by itself
        Interval,  // every `interval`
        Daily,  // at each of `minutesOfDay` (local time)
    };
    Kind kind = Kind::Manual;
    std::chrono::seconds interval{0};
    std::vector<int> minutesOfDay;  // sorted, 0..1439

    // The schedule as it was written, normalised (for the job lists).
    std::string describe() const;
};

std::optional<JobSchedule> parseSchedule(const std::string &text, std::string *error);

using WallClock = std::chrono::system_clock;

// The first run strictly after `after`; for Interval the runs fall at
// `origin` + k * interval. nullopt for Manual.
std::optional<WallClock::time_point> nextRun(const JobSchedule &s, WallClock::time_point origin,
                                             WallClock::time_point after);

}  // namespace qserver
