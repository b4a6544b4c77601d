#pragma once
// The hourglass shown while a blocking database or server call runs. Tests
// replace the hook to observe it; the default sets the application's override
// cursor when a QGuiApplication exists.

#include <functional>

namespace platform {

// Called with true when the busy cursor should show, false when it may go.
using CursorHook = std::function<void(bool busy)>;

CursorHook setCursorHook(CursorHook hook);  // returns the previous hook; empty restores the default

// Shows the busy cursor for its lifetime. Nests: the cursor goes when the
// outermost guard ends.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

}  // namespace platform
