#pragma once
// The client's own database session on a test database, as the program
// opens it (the client role, its password), with every statement it sends
// appended to a recording.

#include "support/TestDatabase.h"

#include "db/Postgres.h"

#include <QStringList>

#include <memory>

namespace testsupport {

// A logged-in session, or nullptr with the reason in *error.
inline std::unique_ptr<db::TPostgres> OpenClientSession(const TestDatabase &db, QStringList *sent = nullptr,
                                                        QString *error = nullptr)
{
    auto post = std::make_unique<db::TPostgres>();
    post->setHost(db.server().host);
    post->setPort(db.server().port);
    QString why;
    if (!post->Open(&why)) {
        if (error)
            *error = why;
        return nullptr;
    }
    post->OnStatus = [&why](const QString &status) { why = status; };
    post->Connect(db.name(), kClientUser, kClientPassword);
    post->OnStatus = {};
    if (!post->Connected()) {
        if (error)
            *error = why;
        return nullptr;
    }
    if (sent)
        post->OnStatement = [sent](const QString &sql) { *sent << sql; };
    return post;
}

}  // namespace testsupport
