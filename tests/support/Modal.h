#pragma once
// Driving the system's own modal windows from a test: the action runs once
// the next modal window is up (checked every 10 ms), while exec() blocks the test.

#include <functional>

class QWidget;

namespace testsupport {

void onModal(std::function<void(QWidget *)> action);

}  // namespace testsupport
