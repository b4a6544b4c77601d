#pragma once
#include <QString>

namespace platform {
// The program's file version, defined once by the build ("1.3.4.1").
inline QString fileVersion()
{
    return QStringLiteral(QUILLON_FILE_VERSION);
}
}  // namespace platform
