#pragma once
// The error raised when stored or configured text cannot be read as the value
// it should hold (an ini number, a "yyyymmdd" date). Nobody between the fault
// and the event loop catches it on purpose: the application's error display
// shows text() and the current action stops, which is what a newsroom expects
// from a bad value rather than a silently wrong one.

#include <QString>

#include <stdexcept>

namespace platform {

class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    // The Dutch message for the user, unchanged.
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

}  // namespace platform
