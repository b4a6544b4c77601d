#pragma once
// One editor's client inside a test process: its own database session and
// server link, logged in as that editor, with every statement
// ("sql ...") and every server command ("cmd ...") appended to one shared
// recording, so a test compares what was really sent, in its order. The
// client whose turn it is is installed into the program state (activate()),
// which the frames and the core helpers read. List messages polled from the
// server go to the frame in the panel the router chose.

#include "support/ClientSession.h"
#include "support/NullLinkClient.h"

#include "core/Frame.h"
#include "core/Global.h"
#include "core/ServerLink.h"
#include "db/Postgres.h"
#include "platform/Socket.h"

#include <QPair>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace testsupport {

class RecordingClient : public NullLinkClient {
public:
    explicit RecordingClient(QStringList &log) : m_log(log) {}

    // Connects both sessions and sends "auth"; false when any step fails.
    bool login(const TestDatabase &db, quint16 port, const QString &user, const QString &password,
               const platform::TlsOptions &tls = {})
    {
        post = OpenClientSession(db);
        if (!post)
            return false;
        post->OnStatement = [this](const QString &sql) { m_log << QStringLiteral("sql ") + sql; };
        link = std::make_unique<core::TServerLink>(core::state(), *this);
        link->setTls(tls);
        if (!link->open(QStringLiteral("127.0.0.1"), port))
            return false;
        name = user;
        activate();
        if (!link->SendCommand(QStringLiteral("auth ") + user + QLatin1Char(' ') + password))
            return false;
        userId = core::state().userId;
        return true;
    }

    virtual ~RecordingClient() = default;

    virtual void activate()
    {
        core::TProgramState &s = core::state();
        s.post = post.get();
        s.server = link.get();
        s.userId = userId;
        s.userName = name;
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
        core::TFrame *f = side == core::PanelSide::Left ? left.data() : right.data();
        if (f)
            f->serverMessage(argument);
    }

    std::unique_ptr<db::TPostgres> post;
    std::unique_ptr<core::TServerLink> link;
    QString name;
    int userId = 0;
    QPair<int, int> tabs{1, 1};  // the tab pair shown: agenda and production list
    QPointer<core::TFrame> left, right;

private:
    QStringList &m_log;
};

}  // namespace testsupport
