#include "core/Frame.h"

#include <QMetaObject>

namespace core {

bool TFrame::frameMessage(int, qintptr, qintptr)
{
    return false;
}

void TFrame::serverMessage(const QString &) {}

void broadcastFrameMessage(QWidget *panel, int msg, qintptr wParam, qintptr lParam)
{
    if (!panel)
        return;
    // Copy first: a frame may create or destroy siblings while it handles it.
    const auto frames = panel->findChildren<TFrame *>(Qt::FindDirectChildrenOnly);
    for (const QPointer<TFrame> f : frames) {
        if (f)
            f->frameMessage(msg, wParam, lParam);
    }
}

bool sendFrameMessage(TFrame *frame, int msg, qintptr wParam, qintptr lParam)
{
    return frame ? frame->frameMessage(msg, wParam, lParam) : false;
}

void postFrameMessage(TFrame *frame, int msg, qintptr wParam, qintptr lParam)
{
    if (!frame)
        return;
    QPointer<TFrame> target(frame);
    QMetaObject::invokeMethod(
        frame,
        [target, msg, wParam, lParam] {
            if (target)
                target->frameMessage(msg, wParam, lParam);
        },
        Qt::QueuedConnection);
}

}  // namespace core
