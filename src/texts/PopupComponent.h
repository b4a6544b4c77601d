#pragma once

namespace texts {
// A popup menu learns which control it was opened on from this dynamic
// property (a QObject*), which the control sets just before showing it; the
// classic platform called that control the menu's popup component.

inline constexpr char PopupComponentProperty[] = "popupComponent";

}  // namespace texts
