#include "Log.h"

#include <atomic>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

namespace qserver {

void logLine(LogLevel level, std::string_view text)
{
    static std::mutex mutex;
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm tm{};
    localtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    const char *tag = level == LogLevel::Info ? "info " : level == LogLevel::Warning ? "warn " : "error";
    // Control characters from clients must not forge log lines.
    std::string clean(text.substr(0, kMaxLogText));
    for (char &c : clean)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    if (text.size() > kMaxLogText)
        clean += "... (" + std::to_string(text.size()) + " bytes)";
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "%s.%03d %s %s\n", stamp, ms, tag, clean.c_str());
    std::fflush(stderr);
}

bool LogThrottle::allow(const std::string &key, std::string &suffix)
{
    std::lock_guard lock(m_mutex);
    suffix.clear();
    const auto now = Clock::now();
    auto it = m_keys.find(key);
    if (it == m_keys.end()) {
        if (m_keys.size() >= kMaxKeys)
            forgetOldLocked();
        if (m_keys.size() >= kMaxKeys)
            return false;
        it = m_keys.emplace(key, Entry{now, 0, 0}).first;
    }
    Entry &e = it->second;
    if (now - e.start >= m_window) {
        if (e.suppressed > 0)
            suffix = " (" + std::to_string(e.suppressed) + " similar lines suppressed)";
        e = Entry{now, 0, 0};
    }
    if (e.count >= m_burst) {
        ++e.suppressed;
        return false;
    }
    ++e.count;
    return true;
}

void LogThrottle::forgetOld()
{
    std::lock_guard lock(m_mutex);
    forgetOldLocked();
}

void LogThrottle::forgetOldLocked()
{
    const auto now = Clock::now();
    for (auto it = m_keys.begin(); it != m_keys.end();) {
        if (now - it->second.start < m_window) {
            ++it;
            continue;
        }
        if (it->second.suppressed > 0)
            logWarning(it->first + ": " + std::to_string(it->second.suppressed) + " similar lines suppressed");
        it = m_keys.erase(it);
    }
}

void logThrottled(LogLevel level, const std::string &key, std::string_view text)
{
    static LogThrottle throttle(5, std::chrono::seconds(60));
    static std::atomic<LogThrottle::Clock::rep> lastSweep{0};
    // Keys of past windows are swept now and then, which also reports what
    // they held back.
    const auto now = LogThrottle::Clock::now().time_since_epoch().count();
    const auto minute = std::chrono::duration_cast<LogThrottle::Clock::duration>(std::chrono::seconds(60)).count();
    auto last = lastSweep.load();
    if (now - last > minute && lastSweep.compare_exchange_strong(last, now))
        throttle.forgetOld();
    std::string suffix;
    if (throttle.allow(key, suffix))
        logLine(level, std::string(text) + suffix);
}

}  // namespace qserver
