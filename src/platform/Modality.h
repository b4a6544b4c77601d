#pragma once
// Windows that must stay usable while a modal dialog runs: the announcements
// window and the shared text view. A modal dialog blocks every window that is
// not its own child, so a message that arrives while an editor works in one
// (or a text opened from one) could neither be read on nor closed.
//
// DESIGN
// Showing such a window while a modal dialog is up makes it a child window of
// the innermost modal dialog for as long as that dialog is shown: it stays
// usable, and questions the dialog asks later open in front of it. When the
// dialog hides, the window goes back to its own owner at once (before the
// dialog can be destroyed, which would take the window with it) and, when it
// was still open, is shown again beside whatever modal dialog remains.

class QWidget;

namespace platform {

// Shows window (a top-level widget that outlives the modal dialogs) and
// brings it to the front without taking the keyboard, usable even while a
// modal dialog is shown.
void ShowBesideModal(QWidget *window);

}  // namespace platform
