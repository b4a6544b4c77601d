#pragma once
// The database client: the frontend side of the PostgreSQL protocol, simple
// query only, blocking, one statement at a time on the user-interface thread.
//
// DESIGN
// Layers, each in its own file:
//   PgBuffer     bytes in (three offsets, complete messages only) and out
//   PgDecoder    one message at a time from the input buffer, protocol 3.0
//                or 2.0, into a protocol-neutral PgMessage; "need more"
//                apart from "framing lost"
//   PgAuth       password hashing: MD5 and SCRAM-SHA-256
//   PgConnection transport: socket + buffer + decoder; reads until a
//                message is complete, detects a closed connection
//   Postgres     this API: log-in, Query, Execute, status texts; results say
//                whether they worked, and core decides what the user sees
// Every session runs with client_encoding UTF8 and standard_conforming_strings
// off; Connect verifies the latter because text values are escaped with
// backslashes (SqlEscape), and refuses every statement when it does not hold.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace db {

namespace pg {
class Connection;
struct Message;
struct Field;
}  // namespace pg

// How a statement ended.
enum class TPostgresOutcome {
    Ok,  // ran to its end without an error
    BackendError,  // the backend refused it; its message is in error()
    Lost,  // the connection failed on the way; it is closed now
    Refused,  // not sent: the text cannot be sent safely (a NUL character)
    NotConnected  // not sent: there is no usable session
};

// A query result: field names and rows of text values. Every value is the
// backend's text form trimmed of characters of code 32 or lower at both ends;
// NULL reads as the empty string. A failed statement still yields a record
// set (with the rows that arrived before the failure), so callers that treat
// a failure as "no rows" need no test; callers that must know ask ok().
class TPostgresRecordSet {
public:
    int RowCount() const { return static_cast<int>(m_rows.size()); }

    // Row i (0-based); throws std::out_of_range outside the rows.
    const QStringList &Row(int i) const;

    int FieldCount() const { return static_cast<int>(m_fieldNames.size()); }

    // Field name i (0-based); empty outside the fields.
    QString FieldName(int i) const;

    // The value of the field named name (any letter case) in row; empty when
    // there is no such field or row.
    QString ValueByName(int row, const QString &name) const;

    const QStringList &FieldNames() const { return m_fieldNames; }

    // Whether the statement worked, and if not, why: the text an error box
    // shows (the backend's message, or "Internal error:\n" and the reason
    // when the connection failed). The first error of a reply is kept.
    bool ok() const { return m_outcome == TPostgresOutcome::Ok; }
    TPostgresOutcome outcome() const { return m_outcome; }
    const QString &error() const { return m_error; }

    // Building, for the client and for tests.
    void setFieldNames(QStringList names) { m_fieldNames = std::move(names); }
    void appendRow(QStringList row) { m_rows.push_back(std::move(row)); }
    void reserveRows(std::size_t n) { m_rows.reserve(n); }
    // Records a failure unless one is recorded already.
    void setFailure(TPostgresOutcome outcome, const QString &error);

private:
    QStringList m_fieldNames;  // from the last row description, column order
    std::vector<QStringList> m_rows;  // arrival order
    TPostgresOutcome m_outcome = TPostgresOutcome::Ok;
    QString m_error;  // empty when ok()
};

// One row as it arrives, for callers that turn rows into something else at
// once (a list line) and need not keep the values: each value reads as the
// record set would hold it, straight from the input buffer. Valid only
// during the call it is passed to.
class TPostgresRowView {
public:
    explicit TPostgresRowView(const std::vector<pg::Field> &fields) : m_fields(fields) {}

    int FieldCount() const;
    // Value i as TPostgresRecordSet::Row would give it; empty outside the row.
    QString Value(int i) const;
    // Appends Value(i) to out without a temporary string.
    void AppendValue(int i, QString &out) const;
    // The most characters Value(i) can have (its size in bytes), for reserving.
    qsizetype MaxLength(int i) const;

private:
    const std::vector<pg::Field> &m_fields;
};

using TPostgresRowSink = std::function<void(const TPostgresRowView &row)>;

// The backend's transaction state after the last complete reply, as
// ReadyForQuery reports it in protocol 3.0.
enum class TPostgresTransaction {
    Unknown,  // no reply yet, or protocol 2.0, whose ReadyForQuery does not say
    Idle,  // 'I': outside a transaction block
    InTransaction,  // 'T': inside a transaction block that can still be committed
    Failed  // 'E': inside a failed block; everything up to "rollback" is refused
};

// Callback types of TPostgres.
using TPostgresStatusEvent = std::function<void(const QString &msg)>;
// authtype: 3 cleartext, 5 MD5, 10 SCRAM-SHA-256; password in/out.
using TPostgresAuthEvent = std::function<void(int authtype, QString &password)>;
using TPostgresStatementEvent = std::function<void(const QString &sql)>;
using TPostgresDisconnectEvent = std::function<void()>;

class TPostgres : public QObject {
    Q_OBJECT
public:
    explicit TPostgres(QObject *parent = nullptr);
    ~TPostgres() override;

    void setHost(const QString &host) { m_host = host; }
    QString host() const { return m_host; }
    void setPort(int port) { m_port = port; }
    int port() const { return m_port; }  // 5432 unless set

    // 3 (default) or 2; [hosts] postgresprotocol. Takes effect at Connect.
    void setProtocolVersion(int major);
    int protocolVersion() const { return m_protocol; }

    // Time-out for opening the connection (default 10000 ms).
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }
    // Longest wait for more reply bytes; negative (the default) waits as long
    // as the backend takes, since a long statement is not a failure. A closed
    // connection ends the wait at once in either case.
    void setReplyTimeout(int ms) { m_replyTimeoutMs = ms; }

    // Opens the TCP connection to host:port. False with the reason in *error.
    bool Open(QString *error = nullptr);
    // Closes the connection; Query and Execute do nothing afterwards.
    void Close();
    // The connection is open (before or after Connect).
    bool Active() const;

    // Logs in on the open connection. Success shows as the status "Auth ok"
    // and Connected(); every failure is reported through OnStatus and closes
    // the connection.
    void Connect(const QString &database, const QString &user, const QString &password);
    // Logged in, with backslash escapes confirmed: statements may run.
    bool Connected() const;

    // Runs one statement and returns all its rows, or no rows for an update
    // (keepRows false). Always a record set: see its ok() and error(). Shows
    // nothing to the user: deciding that is the caller's (core::Query).
    std::unique_ptr<TPostgresRecordSet> Run(const QString &sql, bool keepRows = true);
    // Run with rows.
    std::unique_ptr<TPostgresRecordSet> Query(const QString &sql) { return Run(sql, true); }
    // Runs one statement and discards its rows; whether it worked.
    bool Execute(const QString &sql) { return Run(sql, false)->ok(); }
    // Runs one statement and hands each row to sink as it arrives instead of
    // keeping it: the record set says only whether it worked. A failure
    // after some rows leaves those rows delivered.
    std::unique_ptr<TPostgresRecordSet> Run(const QString &sql, const TPostgresRowSink &sink);

    // The transaction state after the last statement.
    TPostgresTransaction transactionStatus() const { return m_transaction; }

    TPostgresStatusEvent OnStatus;  // progress and error texts for the log
    TPostgresAuthEvent OnAuthenticate;  // supplies the password; unset: the one given to Connect
    TPostgresStatementEvent OnStatement;  // every statement sent by Query/Execute, in order
    TPostgresDisconnectEvent OnDisconnect;  // the connection dropped or broke during an operation

private:
    void status(const QString &text);
    bool sendQuery(const QByteArray &sql, QString *error);
    std::unique_ptr<TPostgresRecordSet> start(const QString &sql, bool keepRows);
    void run(const QByteArray &sql, TPostgresRecordSet &result, bool keepRows, const TPostgresRowSink *sink = nullptr);
    bool runInternal(const QByteArray &sql, QString *firstValue, QString *backendError);
    bool login(const QString &database, const QString &user, const QString &password);
    bool sendStartup(const QString &database, const QString &user, QString *error);
    bool sendPassword(const QByteArray &password, QString *error);
    void connectionFailed(TPostgresRecordSet &result, const QString &text);
    void dropConnection(bool notify);

    QString m_host;
    int m_port = 5432;
    int m_protocol = 3;
    int m_connectTimeoutMs = 10000;
    int m_replyTimeoutMs = -1;
    std::unique_ptr<db::pg::Connection> m_conn;  // none before Open and after Close
    bool m_ready = false;  // logged in and escapes verified
    TPostgresTransaction m_transaction = TPostgresTransaction::Unknown;
};

}  // namespace db
