#include "platform/Cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

namespace {
CursorHook g_hook;
int g_depth = 0;

void defaultHook(bool busy)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

void notify(bool busy)
{
    if (g_hook)
        g_hook(busy);
    else
        defaultHook(busy);
}
}  // namespace

CursorHook setCursorHook(CursorHook hook)
{
    CursorHook previous = std::move(g_hook);
    g_hook = std::move(hook);
    return previous;
}

BusyCursor::BusyCursor()
{
    if (g_depth++ == 0)
        notify(true);
}

BusyCursor::~BusyCursor()
{
    if (--g_depth == 0)
        notify(false);
}

}  // namespace platform
