#pragma once
// Clients of the news desk inside one test process, each with its own
// database session and server link and logged in as its own editor, and the
// main window's operations as a recorder. Every statement (TPostgres::
// OnStatement) and every server command (the link's traffic log) of every
// client goes into one recording, so tests compare what was really sent, in
// its order. The client whose turn it is is installed into the program state,
// which the frames and the core helpers read.

#include "support/NullLinkClient.h"
#include "support/TestDatabase.h"

#include "core/Frame.h"
#include "core/Global.h"
#include "core/ServerLink.h"
#include "db/Postgres.h"

#include <QMenu>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace testsupport {

class DeskClient : public NullLinkClient {
public:
    explicit DeskClient(QStringList &log) : m_log(log) {}

    bool login(const TestDatabase &db, quint16 port, const QString &user, const QString &password)
    {
        post = std::make_unique<db::TPostgres>();
        post->setHost(db.server().host);
        post->setPort(db.server().port);
        if (!post->Open())
            return false;
        post->Connect(db.name(), kClientUser, kClientPassword);
        if (!post->Connected())
            return false;
        post->OnStatement = [this](const QString &sql) { m_log << QStringLiteral("sql ") + sql; };
        link = std::make_unique<core::TServerLink>(core::state(), *this);
        if (!link->open(QStringLiteral("127.0.0.1"), port))
            return false;
        name = user;
        activate();
        if (!link->SendCommand(QStringLiteral("auth ") + user + QLatin1Char(' ') + password))
            return false;
        userId = core::state().userId;
        return true;
    }

    // Makes this client the one the frames talk through.
    void activate()
    {
        core::TProgramState &s = core::state();
        s.post = post.get();
        s.server = link.get();
        s.userId = userId;
        s.userName = name;
        s.isFinalEditor = finalEditor;
        s.administrator = administrator;
    }

    void logStatus(const QString &text) override
    {
        static const QString sent = QStringLiteral("<blue>server: ");
        if (text.startsWith(sent))
            m_log << QStringLiteral("cmd ") + text.mid(sent.size());
    }
    int leftTab() const override { return tabs.first; }
    int rightTab() const override { return tabs.second; }
    void frameMessage(core::PanelSide side, const QString &, const QString &argument) override
    {
        activate();
        if (core::TFrame *f = side == core::PanelSide::Left ? left.data() : right.data())
            f->serverMessage(argument);
    }
    void refreshPanel(core::PanelSide side) override
    {
        activate();
        m_log << QStringLiteral("refresh ") + name;
        if (core::TFrame *f = side == core::PanelSide::Left ? left.data() : right.data())
            f->frameMessage(core::FRAME_REFRESH, 0, 0);
    }

    std::unique_ptr<db::TPostgres> post;
    std::unique_ptr<core::TServerLink> link;
    QString name;
    int userId = 0;
    bool finalEditor = false;
    bool administrator = false;
    QPair<int, int> tabs{3, 3};  // the ready list beside the working cycle
    QPointer<core::TFrame> left, right;

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
