#include "Log.h"

#include <chrono>
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
    std::string clean(text);
    for (char &c : clean)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "%s.%03d %s %s\n", stamp, ms, tag, clean.c_str());
    std::fflush(stderr);
}

}  // namespace qserver
