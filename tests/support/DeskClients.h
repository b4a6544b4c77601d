#pragma once
// Clients of the news desk inside one test process (RecordingClient with the
// editor's role and rights), and the main window's operations as a recorder.

#include "support/RecordingClient.h"

#include "core/Frame.h"
#include "core/Global.h"
#include "core/ServerLink.h"
#include "db/Postgres.h"

#include <QMenu>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace testsupport {

// A recording client that also carries the editor's role and rights into
// the program state, and reloads its frames when the router asks.
class DeskClient : public RecordingClient {
public:
    explicit DeskClient(QStringList &log) : RecordingClient(log), m_log(log) { tabs = {3, 3}; }  // ready list, cycle

    void activate() override
    {
        RecordingClient::activate();
        core::TProgramState &s = core::state();
        s.isFinalEditor = finalEditor;
        s.administrator = administrator;
    }
    void refreshPanel(core::PanelSide side) override
    {
        activate();
        m_log << QStringLiteral("refresh ") + name;
        if (core::TFrame *f = side == core::PanelSide::Left ? left.data() : right.data())
            f->frameMessage(core::FRAME_REFRESH, 0, 0);
    }

    bool finalEditor = false;
    bool administrator = false;

private:
    QStringList &m_log;
};

// The main window's operations, recorded. RefreshViews reloads the frames as
// the main window does; RightFrame is the frame a test puts there.
class MainRecorder : public core::TMainOperations {
public:
    explicit MainRecorder(QStringList &log) : m_log(log) {}
    void AddMenuButton(const QString &caption, QMenu *menu) override
    {
        m_log << QStringLiteral("main add ") + caption + QLatin1Char(' ') + menu->objectName();
    }
    void RemoveMenuButton(const QString &, QMenu *menu) override
    {
        m_log << QStringLiteral("main remove ") + menu->objectName();
    }
    void RefreshViews() override
    {
        m_log << QStringLiteral("main RefreshViews");
        for (core::TFrame *f : {left.data(), right.data()})
            if (f)
                f->frameMessage(core::FRAME_REFRESH, 0, 0);
    }
    void ShowStatusLine(const QString &) override {}
    void LogStatus(const QString &) override {}
    core::TFrame *RightFrame() const override { return right; }
    QPointer<core::TFrame> left, right;

private:
    QStringList &m_log;
};

}  // namespace testsupport
