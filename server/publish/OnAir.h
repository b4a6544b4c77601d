#pragma once
// What the clocks put on air in the published rubrics, and when that changes.
//
// DESIGN. A published rubric's files hold only the texts that are on air at
// the moment of the publication ("ok" in the cycle). So that the files follow
// the schedule without an editor, the coordinator keeps, per on-air rubric
// that has target files, the texts it last published, and looks again (on a
// database worker, with readOnAirState) at the next minute any of those
// texts' clocks starts or ends, at the latest after a few minutes (a clock
// edited meanwhile). Every rubric whose texts on air differ from what it
// published is published again from its on-air copy (Request::republication).

#include "publish/Formats.h"

#include <cstdint>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qserver {
class DbConnection;
}

namespace qserver::publish {

struct OnAirState {
    std::map<std::int64_t, std::vector<std::int64_t>> shown;  // per on-air rubric with target files: its texts on air
    std::optional<Minute> next;  // the first minute at which any of those texts goes on or off the air
};

// Reads the on-air copies of the rubrics that have target files and their
// texts' clocks, and works out what is on air at `now` and when that changes.
// False and `error` when the database fails.
bool readOnAirState(DbConnection &db, const Minute &now, OnAirState &state, std::string &error);

// The minute of t in the server's local time.
Minute localMinute(std::time_t t);
// The start of that minute in the server's local time; -1 when it does not read.
std::time_t minuteStart(const Minute &m);

}  // namespace qserver::publish
