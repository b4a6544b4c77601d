#pragma once
// Time-stamped log lines on stderr, safe from any thread:
//   2026-12-10 14:03:07.412 info  listening on 0.0.0.0:2000
// A line is cut at kMaxLogText bytes (what a client sent may be long), and
// lines a client can provoke go through a LogThrottle.

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qserver {

enum class LogLevel { Info, Warning, Error };

constexpr std::size_t kMaxLogText = 1000;

void logLine(LogLevel level, std::string_view text);
inline void logInfo(std::string_view t)
{
    logLine(LogLevel::Info, t);
}
inline void logWarning(std::string_view t)
{
    logLine(LogLevel::Warning, t);
}
inline void logError(std::string_view t)
{
    logLine(LogLevel::Error, t);
}

// At most `burst` lines per key (an address, a kind of failure) in each
// window; the first line allowed after a quiet spell says how many were held
// back. Keys whose window has passed are forgotten at forgetOld(), and the
// table never holds more than kMaxKeys, so an attacker with many addresses
// cannot grow it. Safe from any thread.
class LogThrottle {
public:
    using Clock = std::chrono::steady_clock;
    LogThrottle(int burst, Clock::duration window) : m_burst(burst), m_window(window) {}

    // True when a line for `key` may be written now; `suffix` is then "" or
    // " (N similar lines suppressed)".
    bool allow(const std::string &key, std::string &suffix);
    void forgetOld();

private:
    static constexpr std::size_t kMaxKeys = 10000;
    struct Entry {
        Clock::time_point start;
        int count = 0;
        std::size_t suppressed = 0;
    };
    void forgetOldLocked();

    std::mutex m_mutex;
    int m_burst;
    Clock::duration m_window;
    std::unordered_map<std::string, Entry> m_keys;
};

}  // namespace qserver

namespace qserver {
// A line any client can provoke again and again (by logging in while the
// database is down, say): at most five a minute per key, from any thread.
void logThrottled(LogLevel level, const std::string &key, std::string_view text);
}  // namespace qserver
