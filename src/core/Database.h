#pragma once
// The one seam between the client's windows and the database client: every
// frame and dialog runs its statements through these functions.
//
// DESIGN
// TPostgres reports (a record set says whether it worked and why not); this
// seam decides what the user sees: the hourglass while a statement runs and
// one error box per failed statement, with the backend's message. A session
// that is gone shows no box here (the main window already tells the editor
// the database connection was lost), but the result still says it failed, so
// a save can keep its window and text open.

#include <QString>

#include <functional>
#include <memory>

namespace db {
class TPostgresRecordSet;
class TPostgresRowView;
}  // namespace db

namespace core {

// Runs one statement on the program's database client and returns its rows;
// always a record set (empty and not ok() without a client).
std::unique_ptr<db::TPostgresRecordSet> Query(const QString &sql);
// Runs one statement and discards its rows; whether it worked.
bool Execute(const QString &sql);
// Runs one statement and hands each row to eachRow as it arrives (long
// lists that become lines at once); the record set holds no rows and says
// whether it worked. eachRow must not throw.
std::unique_ptr<db::TPostgresRecordSet> QueryRows(const QString &sql,
                                                  const std::function<void(const db::TPostgresRowView &)> &eachRow);

// Statements of one action between "begin" and "end". The first failure
// ends the group: later statements are not sent, and Commit sends "rollback"
// instead of "end", so nothing half-done is stored. A transaction destroyed
// without Commit is rolled back. Callers announce a change to other clients
// (a broadcast) only when Commit returned true.
class TTransaction {
public:
    TTransaction();  // sends "begin"
    ~TTransaction();
    TTransaction(const TTransaction &) = delete;
    TTransaction &operator=(const TTransaction &) = delete;

    // Runs sql unless an earlier statement failed; whether it worked.
    bool Execute(const QString &sql);
    // Runs sql and returns its rows; empty and not ok() after a failure.
    std::unique_ptr<db::TPostgresRecordSet> Query(const QString &sql);
    // Everything so far worked.
    bool ok() const { return m_ok; }
    // "end" when everything worked, else "rollback"; true when stored.
    bool Commit();

private:
    bool m_ok = true;
    bool m_open = true;  // neither "end" nor "rollback" sent yet
};

}  // namespace core
