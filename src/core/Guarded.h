#pragma once
// The error display for the windows' own actions: a malformed stored
// value (platform::ConversionError) or any other exception stops the action
// that met it and is shown in an error box, instead of unwinding through the
// event loop.

#include "platform/Dialogs.h"
#include "platform/Errors.h"

#include <exception>

namespace core {

template <typename Action>
void Guarded(Action &&action)
{
    try {
        action();
    } catch (const platform::ConversionError &e) {
        platform::showError(e.text());
    } catch (const std::exception &e) {
        platform::showError(QString::fromUtf8(e.what()));
    }
}

}  // namespace core
