#pragma once
// The working frames of the two tab panels and the messages the main window
// sends them.
//
// DESIGN
// The numbers of the frame messages are fixed (the application range starts
// at 0x8000): frames of every subsystem compare against them, and a frame
// reacts to those it knows and ignores the rest. Three ways to deliver one:
// "broadcast" to a panel calls frameMessage on every frame placed in it,
// "send" calls it at once, "post" queues the call on the event loop so it
// runs after the current handler has returned.

#include <QFrame>
#include <QPointer>

namespace core {

constexpr int WM_APP = 0x8000;

enum FrameMessage : int {
    FRAME_ACTIVATE = WM_APP + 401,  // placed: load data, add the menu-bar button
    FRAME_DEACTIVATE = WM_APP + 402,  // about to go: remove the menu-bar button
    FRAME_REFRESH = WM_APP + 403,  // reload the contents
    FRAME_SAVE = WM_APP + 410,  // the versions frame saves its current version
    FRAME_COLLECT = WM_APP + 412,  // the archive collects its selection
    FRAME_MOVE_LEFT = WM_APP + 420,  // move the selected rows back to the left-hand list
    FRAME_MOVE_RIGHT = WM_APP + 421,  // move the selected rows on to the right-hand list
    FRAME_ADD_TO_CYCLE = WM_APP + 422,  // wParam 0: add text id lParam; wParam 1: end of batch
    FRAME_PLAY = WM_APP + 441,  // play the current rubric at once
    FRAME_FOCUS = WM_APP + 500  // focus the frame's main list
};

// Base of every working frame.
class TFrame : public QFrame {
    Q_OBJECT
public:
    explicit TFrame(QWidget *parent = nullptr) : QFrame(parent) {}

    // Handles one frame message; returns true when the frame knew it.
    virtual bool frameMessage(int msg, qintptr wParam, qintptr lParam);

    // A broadcast line of another client meant for the list this frame shows
    // ("agenda", "todo", "klaar": verb and id). May throw std::exception;
    // the dispatcher reports it.
    virtual void serverMessage(const QString &argument);
};

// Calls frameMessage on every frame that is a direct child of panel, in
// creation order.
void broadcastFrameMessage(QWidget *panel, int msg, qintptr wParam = 0, qintptr lParam = 0);

// Calls frameMessage at once; nothing when frame is null.
bool sendFrameMessage(TFrame *frame, int msg, qintptr wParam = 0, qintptr lParam = 0);

// Queues the call on the event loop; dropped when the frame is gone by then.
void postFrameMessage(TFrame *frame, int msg, qintptr wParam = 0, qintptr lParam = 0);

}  // namespace core
