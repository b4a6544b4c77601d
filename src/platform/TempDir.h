#pragma once
#include <QString>

namespace platform {

// The system's folder for temporary files (the crash backup "versie.txt", the
// rendered mail "temp.htm"), trimmed, in native separators and without a
// trailing separator; join names with QDir(TempDirectory()).filePath(name).
// It is never longer than 512 characters, the classic limit; a longer folder
// gives the system-wide temporary folder rather than a truncated path, which
// would name some other folder.
QString TempDirectory();

}  // namespace platform
