#pragma once
// Time-stamped log lines on stderr, safe from any thread:
//   2026-12-10 14:03:07.412 info  listening on 0.0.0.0:2000

#include <string_view>

namespace qserver {

enum class LogLevel { Info, Warning, Error };

void logLine(LogLevel level, std::string_view text);
inline void logInfo(std::string_view t) { logLine(LogLevel::Info, t); }
inline void logWarning(std::string_view t) { logLine(LogLevel::Warning, t); }
inline void logError(std::string_view t) { logLine(LogLevel::Error, t); }

}  // namespace qserver
