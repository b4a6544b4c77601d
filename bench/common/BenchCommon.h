#pragma once
// What the benchmarks share: a millisecond clock, the median of runs, and
// the libpq reference's copy of a value, which must give what TPostgres gives
// (UTF-8 decoded, characters of code 32 or lower trimmed at both ends) so the
// two sides do the same work.

#include <QString>

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

inline double now()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline QString trimmedValue(const char *v, int len)
{
    const auto *b = reinterpret_cast<const unsigned char *>(v);
    while (len > 0 && b[0] <= 32) {
        ++b;
        --len;
    }
    while (len > 0 && b[len - 1] <= 32)
        --len;
    return QString::fromUtf8(reinterpret_cast<const char *>(b), len);
}

}  // namespace bench
