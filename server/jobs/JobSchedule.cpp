#include "jobs/JobSchedule.h"

#include "text/Text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>

namespace qserver {

std::string JobSchedule::describe() const
{
    switch (kind) {
    case Kind::Manual: return "handmatig";
    case Kind::Interval: {
        const long long s = interval.count();
        if (s % 3600 == 0)
            return "elke " + std::to_string(s / 3600) + " uur";
        if (s % 60 == 0)
            return "elke " + std::to_string(s / 60) + " min";
        return "elke " + std::to_string(s) + " s";
    }
    case Kind::Daily: {
        std::string out = "dagelijks";
        char buf[24];
        for (std::size_t i = 0; i < minutesOfDay.size(); ++i) {
            std::snprintf(buf, sizeof buf, "%02d:%02d", minutesOfDay[i] / 60, minutesOfDay[i] % 60);
            out += (i == 0 ? " " : ",");
            out += buf;
        }
        return out;
    }
    }
    return {};
}

std::optional<JobSchedule> parseSchedule(const std::string &text, std::string *error)
{
    auto fail = [&](const char *why) -> std::optional<JobSchedule> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const std::string t = toLower(trimBlanks(text));
    JobSchedule s;
    if (t == "manual" || t.empty())
        return s;
    if (t.rfind("every ", 0) == 0) {
        std::string v(trimBlanks(std::string_view(t).substr(6)));
        if (v.empty())
            return fail("\"every\" needs an interval such as 15m");
        long long n = 0;
        const char unit = v.back();
        const long long mult = unit == 's' ? 1 : unit == 'm' ? 60 : unit == 'h' ? 3600 : 0;
        if (mult == 0)
            return fail("interval needs a unit: s, m or h");
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size() - 1, n);
        if (ec != std::errc() || end != v.data() + v.size() - 1 || n <= 0 || n > 366LL * 24 * 3600)
            return fail("interval is not a positive number");
        s.kind = JobSchedule::Kind::Interval;
        s.interval = std::chrono::seconds(n * mult);
        return s;
    }
    if (t.rfind("daily ", 0) == 0) {
        std::string_view rest = trimBlanks(std::string_view(t).substr(6));
        while (!rest.empty()) {
            const std::size_t comma = rest.find(',');
            std::string_view hm = trimBlanks(rest.substr(0, comma));
            int h = 0, m = 0;
            if (hm.size() != 5 || hm[2] != ':' || std::from_chars(hm.data(), hm.data() + 2, h).ptr != hm.data() + 2 ||
                std::from_chars(hm.data() + 3, hm.data() + 5, m).ptr != hm.data() + 5 || h > 23 || m > 59 || h < 0 ||
                m < 0)
                return fail("times must be written hh:mm, separated by commas");
            s.minutesOfDay.push_back(h * 60 + m);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
        if (s.minutesOfDay.empty())
            return fail("\"daily\" needs at least one time");
        std::sort(s.minutesOfDay.begin(), s.minutesOfDay.end());
        s.minutesOfDay.erase(std::unique(s.minutesOfDay.begin(), s.minutesOfDay.end()), s.minutesOfDay.end());
        s.kind = JobSchedule::Kind::Daily;
        return s;
    }
    return fail("expected \"every <n>s|m|h\", \"daily hh:mm[,hh:mm]\" or \"manual\"");
}

std::optional<WallClock::time_point> nextRun(const JobSchedule &s, WallClock::time_point origin,
                                             WallClock::time_point after)
{
    using namespace std::chrono;
    switch (s.kind) {
    case JobSchedule::Kind::Manual: return std::nullopt;
    case JobSchedule::Kind::Interval: {
        if (after < origin)
            return origin + s.interval;
        const auto k = duration_cast<seconds>(after - origin).count() / s.interval.count() + 1;
        return origin + s.interval * k;
    }
    case JobSchedule::Kind::Daily: {
        // Walk today and tomorrow through mktime, which handles the
        // daylight-saving change of the local time zone.
        const std::time_t now = WallClock::to_time_t(after);
        std::tm day{};
        localtime_r(&now, &day);
        for (int offset = 0; offset < 3; ++offset) {
            for (int minute : s.minutesOfDay) {
                std::tm cand = day;
                cand.tm_mday += offset;
                cand.tm_hour = minute / 60;
                cand.tm_min = minute % 60;
                cand.tm_sec = 0;
                cand.tm_isdst = -1;
                const std::time_t t = std::mktime(&cand);
                if (t != std::time_t(-1) && WallClock::from_time_t(t) > after)
                    return WallClock::from_time_t(t);
            }
        }
        return std::nullopt;
    }
    }
    return std::nullopt;
}

}  // namespace qserver
