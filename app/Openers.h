#pragma once
// Fills the registry of frames and openers with the windows this build has.
// A frame kind or window that is not registered shows as "not in use" or as
// a disabled menu item.

namespace views {
class TViewForm;
}

namespace app {

void RegisterOpeners(views::TViewForm *viewForm);

}  // namespace app
