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
//   Postgres     this API: log-in, Query, Execute, status texts, error boxes
// Every session runs with client_encoding UTF8 and standard_conforming_strings
// off; Connect verifies the latter because text values are escaped with
// backslashes (SqlEscape), and refuses every statement when it does not hold.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace db::pg {
class Connection;
struct Message;
}

// A query result: field names and rows of text values. Every value is the
// backend's text form trimmed of characters of code 32 or lower at both ends;
// NULL reads as the empty string.
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

    // Building, for the client and for tests.
    void setFieldNames(QStringList names) { m_fieldNames = std::move(names); }
    void appendRow(QStringList row) { m_rows.push_back(std::move(row)); }
    void reserveRows(std::size_t n) { m_rows.reserve(n); }

private:
    QStringList m_fieldNames;         // from the last row description, column order
    std::vector<QStringList> m_rows;  // arrival order
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

    // Runs one statement and returns all its rows; always a record set, empty
    // when not connected or when the statement failed at once.
    std::unique_ptr<TPostgresRecordSet> Query(const QString &sql);
    // Runs one statement and discards its rows.
    void Execute(const QString &sql);

    TPostgresStatusEvent OnStatus;          // progress and error texts for the log
    TPostgresAuthEvent OnAuthenticate;      // supplies the password; unset: the one given to Connect
    TPostgresStatementEvent OnStatement;    // every statement sent by Query/Execute, in order
    TPostgresDisconnectEvent OnDisconnect;  // the connection dropped or broke during an operation

private:
    void status(const QString &text);
    bool sendQuery(const QByteArray &sql, QString *error);
    void run(const QString &sql, TPostgresRecordSet *result, bool update);
    bool runInternal(const QByteArray &sql, QString *firstValue, QString *backendError);
    bool login(const QString &database, const QString &user, const QString &password);
    bool sendStartup(const QString &database, const QString &user, QString *error);
    bool sendPassword(const QByteArray &password, QString *error);
    void internalError(const QString &text, bool boxShown);
    void dropConnection(bool notify);

    QString m_host;
    int m_port = 5432;
    int m_protocol = 3;
    int m_connectTimeoutMs = 10000;
    int m_replyTimeoutMs = -1;
    std::unique_ptr<db::pg::Connection> m_conn;  // none before Open and after Close
    bool m_ready = false;                        // logged in and escapes verified
};
