#include "db/Postgres.h"

#include "db/PgAuth.h"
#include "db/PgConnection.h"

#include <QStringDecoder>

#include <optional>
#include <stdexcept>

using db::pg::Kind;
using db::pg::Message;
using db::pg::OutputMessage;

namespace db {

namespace {

constexpr std::int32_t kProtocol3 = 0x00030000;
constexpr std::int32_t kProtocol2 = 0x00020000;

// A value as the record set keeps it: the UTF-8 text trimmed of bytes of code
// 32 or lower at both ends. Every byte of a multi-byte UTF-8 sequence is
// 0x80 or above, so trimming bytes is trimming characters, without a copy.
QByteArrayView trimmedBytes(const db::pg::Field &f)
{
    if (!f.data)
        return {};
    const auto *b = reinterpret_cast<const unsigned char *>(f.data);
    std::size_t n = static_cast<std::size_t>(f.size);
    while (n > 0 && b[0] <= 32) {
        ++b;
        --n;
    }
    while (n > 0 && b[n - 1] <= 32)
        --n;
    return QByteArrayView(b, static_cast<qsizetype>(n));
}

// fromUtf8 drops a leading byte-order mark; a stored U+FEFF is data.
QStringDecoder valueDecoder()
{
    return QStringDecoder(QStringDecoder::Utf8,
                          QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
}

QString textValue(const db::pg::Field &f)
{
    const QByteArrayView b = trimmedBytes(f);
    if (b.size() >= 3 && b.startsWith("\xEF\xBB\xBF"))
        return valueDecoder().decode(b);
    return QString::fromUtf8(b);
}

QString utf8(std::string_view v)
{
    return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}

TPostgresTransaction transactionState(std::int32_t statusByte)
{
    switch (statusByte) {
    case 'I': return TPostgresTransaction::Idle;
    case 'T': return TPostgresTransaction::InTransaction;
    case 'E': return TPostgresTransaction::Failed;
    default: return TPostgresTransaction::Unknown;  // 2.0 sends none
    }
}

// Backend messages end with a line end in 2.0; boxes and log lines do not want it.
QString backendText(const Message &m)
{
    return utf8(m.text).trimmed();
}

}  // namespace

// ---- TPostgresRecordSet ----------------------------------------------------

const QStringList &TPostgresRecordSet::Row(int i) const
{
    if (i < 0 || i >= RowCount())
        throw std::out_of_range("TPostgresRecordSet::Row: index " + std::to_string(i) + " outside " +
                                std::to_string(RowCount()) + " rows");
    return m_rows[static_cast<std::size_t>(i)];
}

QString TPostgresRecordSet::FieldName(int i) const
{
    return i >= 0 && i < m_fieldNames.size() ? m_fieldNames[i] : QString();
}

void TPostgresRecordSet::setFailure(TPostgresOutcome outcome, const QString &error)
{
    if (m_outcome != TPostgresOutcome::Ok || outcome == TPostgresOutcome::Ok)
        return;
    m_outcome = outcome;
    m_error = error;
}

QString TPostgresRecordSet::ValueByName(int row, const QString &name) const
{
    if (row < 0 || row >= RowCount())
        return QString();
    const QStringList &values = m_rows[static_cast<std::size_t>(row)];
    for (qsizetype col = 0; col < m_fieldNames.size(); ++col) {
        if (m_fieldNames[col].compare(name, Qt::CaseInsensitive) == 0)
            return col < values.size() ? values[col] : QString();
    }
    return QString();
}

// ---- TPostgresRowView ------------------------------------------------------

int TPostgresRowView::FieldCount() const
{
    return static_cast<int>(m_fields.size());
}

QString TPostgresRowView::Value(int i) const
{
    return i >= 0 && i < FieldCount() ? textValue(m_fields[static_cast<std::size_t>(i)]) : QString();
}

qsizetype TPostgresRowView::MaxLength(int i) const
{
    return i >= 0 && i < FieldCount() ? trimmedBytes(m_fields[static_cast<std::size_t>(i)]).size() : 0;
}

void TPostgresRowView::AppendValue(int i, QString &out) const
{
    const QByteArrayView b =
        i >= 0 && i < FieldCount() ? trimmedBytes(m_fields[static_cast<std::size_t>(i)]) : QByteArrayView();
    if (b.isEmpty())
        return;
    // UTF-8 never takes fewer bytes than UTF-16 takes code units.
    const qsizetype at = out.size();
    out.resize(at + b.size());
    QChar *to = out.data() + at;
    // Most values are ASCII: widened directly, the rest (from the first
    // other byte on) decoded.
    const auto *from = reinterpret_cast<const unsigned char *>(b.data());
    qsizetype ascii = 0;
    while (ascii < b.size() && from[ascii] < 0x80) {
        to[ascii] = QChar(from[ascii]);
        ++ascii;
    }
    if (ascii == b.size())
        return;
    static thread_local QStringDecoder decoder = valueDecoder();  // stateless: reusable
    const QChar *end = decoder.appendToBuffer(to + ascii, b.sliced(ascii));
    out.resize(end - out.constData());
}

// ---- TPostgres -------------------------------------------------------------

TPostgres::TPostgres(QObject *parent) : QObject(parent), m_conn(std::make_unique<db::pg::Connection>()) {}

TPostgres::~TPostgres() = default;

void TPostgres::setProtocolVersion(int major)
{
    m_protocol = major == 2 ? 2 : 3;
}

void TPostgres::status(const QString &text)
{
    if (OnStatus)
        OnStatus(text);
}

bool TPostgres::Open(QString *error)
{
    m_ready = false;
    return m_conn->open(m_host, m_port, m_connectTimeoutMs, error);
}

void TPostgres::Close()
{
    dropConnection(false);
}

bool TPostgres::Active() const
{
    return m_conn->isOpen();
}

bool TPostgres::Connected() const
{
    return m_ready && m_conn->isOpen();
}

void TPostgres::dropConnection(bool notify)
{
    m_ready = false;
    m_conn->close();
    if (notify && OnDisconnect)
        OnDisconnect();
}

void TPostgres::Connect(const QString &database, const QString &user, const QString &password)
{
    m_ready = false;
    m_transaction = TPostgresTransaction::Unknown;
    if (!m_conn->isOpen()) {
        status(QStringLiteral("Error: geen verbinding met de database"));
        return;
    }
    m_ready = login(database, user, password);
    if (!m_ready)
        m_conn->close();
}

bool TPostgres::sendStartup(const QString &database, const QString &user, QString *error)
{
    const QByteArray db = database.toUtf8();
    const QByteArray u = user.toUtf8();
    if (m_protocol == 2) {
        // Fixed layout of 296 bytes; the options, unused and tty fields stay empty.
        OutputMessage p(0, true);
        p.addInt32(kProtocol2).addFixed(db.toStdString(), 64).addFixed(u.toStdString(), 32);
        p.addFixed({}, 64).addFixed({}, 64).addFixed({}, 64);
        return m_conn->send(p.finish(), error);
    }
    // The session settings go with the startup packet, so they hold before
    // any statement could run.
    OutputMessage p(0, true);
    p.addInt32(kProtocol3);
    p.addString("user").addString(u.toStdString());
    p.addString("database").addString(db.toStdString());
    p.addString("client_encoding").addString("UTF8");
    p.addString("standard_conforming_strings").addString("off");
    p.addByte('\0');
    return m_conn->send(p.finish(), error);
}

bool TPostgres::sendPassword(const QByteArray &password, QString *error)
{
    // 3.0: a 'p' message; 2.0: the same packet without the type byte.
    OutputMessage p(m_protocol == 2 ? '\0' : 'p', true);
    p.addString(password.toStdString());
    return m_conn->send(p.finish(), error);
}

// Runs the startup exchange up to the first ReadyForQuery and checks the
// session settings. Reports every failure through OnStatus and returns false;
// the caller closes the connection then.
bool TPostgres::login(const QString &database, const QString &user, const QString &password)
{
    m_conn->setProtocol(m_protocol);
    QString err;
    if (!sendStartup(database, user, &err)) {
        status(err);
        return false;
    }
    std::optional<db::pg::ScramClient> scram;
    QString conforming, encoding;
    Message m;
    auto askPassword = [&](int type) {
        QString pw = password;
        if (OnAuthenticate)
            OnAuthenticate(type, pw);
        return pw.toUtf8();
    };
    for (bool done = false; !done;) {
        if (!m_conn->next(m, m_connectTimeoutMs, &err)) {
            status(err);
            return false;
        }
        switch (m.kind) {
        case Kind::Authentication: {
            bool sent = true;
            switch (m.code) {
            case 0:  // AuthenticationOk
                status(QStringLiteral("Auth ok"));
                break;
            case 3:  // cleartext password
                sent = sendPassword(askPassword(3), &err);
                break;
            case 5:  // MD5 password with a 4-byte salt
                if (m.data.size() != 4) {
                    status(QStringLiteral("Error: ongeldige MD5-aanvraag van de database"));
                    return false;
                }
                sent = sendPassword(db::pg::md5Response(user.toUtf8(), askPassword(5), QByteArray(m.data.data(), 4)),
                                    &err);
                break;
            case 10: {  // SASL: a list of mechanisms, each zero-terminated
                const QList<QByteArray> mechanisms = QByteArray(m.data.data(), qsizetype(m.data.size())).split('\0');
                if (m_protocol != 3 || !mechanisms.contains("SCRAM-SHA-256")) {
                    status(QStringLiteral("Error: de database vraagt een onbekende SASL-methode"));
                    return false;
                }
                scram.emplace(askPassword(10));
                const QByteArray first = scram->clientFirst();
                OutputMessage p('p', true);
                p.addString("SCRAM-SHA-256").addInt32(static_cast<std::int32_t>(first.size()));
                p.addBytes(first.constData(), static_cast<std::size_t>(first.size()));
                sent = m_conn->send(p.finish(), &err);
                break;
            }
            case 11: {  // SASLContinue: the server's first message
                QByteArray final;
                if (!scram ||
                    !scram->handleServerFirst(QByteArray(m.data.data(), qsizetype(m.data.size())), &final, &err)) {
                    status(QStringLiteral("Error: ") + (scram ? err : QStringLiteral("onverwachte SASL-stap")));
                    return false;
                }
                OutputMessage p('p', true);
                p.addBytes(final.constData(), static_cast<std::size_t>(final.size()));
                sent = m_conn->send(p.finish(), &err);
                break;
            }
            case 12:  // SASLFinal: the server proves it knows the password too
                if (!scram || !scram->verifyServerFinal(QByteArray(m.data.data(), qsizetype(m.data.size())), &err)) {
                    status(QStringLiteral("Error: ") + (scram ? err : QStringLiteral("onverwachte SASL-stap")));
                    return false;
                }
                break;
            default:  // Kerberos, crypt, GSS, SSPI, ...: waiting would never end
                status(QStringLiteral("Error: authenticatiemethode %1 wordt niet ondersteund").arg(m.code));
                return false;
            }
            if (!sent) {
                status(err);
                return false;
            }
            break;
        }
        case Kind::ErrorResponse:
        case Kind::Malformed: status(QStringLiteral("Error: ") + backendText(m)); return false;
        case Kind::ParameterStatus:
            if (m.text == "standard_conforming_strings")
                conforming = utf8(m.data);
            else if (m.text == "client_encoding")
                encoding = utf8(m.data);
            break;
        case Kind::ReadyForQuery:
            m_transaction = transactionState(m.code);
            done = true;
            break;
        default: break;
        }
    }

    if (m_protocol == 2) {
        // 2.0 has no startup parameters: set both right after the log-in and
        // ask back what the session really uses.
        QString backendError;
        encoding = QStringLiteral("UTF8");
        for (const char *sql : {"set client_encoding to 'UTF8'", "set standard_conforming_strings to off"}) {
            if (!runInternal(sql, nullptr, &backendError))
                return false;
            if (!backendError.isEmpty())
                encoding.clear();
        }
        if (!runInternal("show standard_conforming_strings", &conforming, &backendError))
            return false;
    }
    if (conforming != QLatin1String("off") || encoding.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) != 0) {
        // SqlEscape writes backslash escapes; a session that reads them as
        // plain characters would let quoted values end their literal.
        status(QStringLiteral("Error: de databasesessie gebruikt geen backslash-escapes of geen UTF-8 "
                              "(standard_conforming_strings=%1, client_encoding=%2); er worden geen "
                              "statements uitgevoerd")
                   .arg(conforming.isEmpty() ? QStringLiteral("?") : conforming,
                        encoding.isEmpty() ? QStringLiteral("?") : encoding));
        return false;
    }
    return true;
}

bool TPostgres::sendQuery(const QByteArray &sql, QString *error)
{
    // 3.0: 'Q' with a length; 2.0: 'Q', the text and a zero byte.
    OutputMessage q('Q', m_protocol == 3);
    q.addString(std::string_view(sql.constData(), static_cast<std::size_t>(sql.size())));
    return m_conn->send(q.finish(), error);
}

// One statement of the client itself during log-in: no status, no box. Stores
// the first value of the first row in *firstValue and the backend's error in
// *backendError. False when the connection failed (status reported).
bool TPostgres::runInternal(const QByteArray &sql, QString *firstValue, QString *backendError)
{
    QString err;
    backendError->clear();
    if (!sendQuery(sql, &err)) {
        status(err);
        return false;
    }
    Message m;
    bool haveValue = false;
    for (;;) {
        if (!m_conn->next(m, m_connectTimeoutMs, &err)) {
            status(err);
            return false;
        }
        if (m.kind == Kind::DataRow && firstValue && !haveValue && !m.fields.empty()) {
            *firstValue = textValue(m.fields.front());
            haveValue = true;
        } else if (m.kind == Kind::ErrorResponse || m.kind == Kind::Malformed) {
            *backendError = backendText(m);
        } else if (m.kind == Kind::ReadyForQuery) {
            return true;
        }
    }
}

void TPostgres::connectionFailed(TPostgresRecordSet &result, const QString &text)
{
    // The first error of the reply stays the one reported: after the
    // backend's own error the lost connection reaches the owner through
    // OnDisconnect only.
    result.setFailure(TPostgresOutcome::Lost, QStringLiteral("Internal error:\n") + text);
    dropConnection(true);
}

std::unique_ptr<TPostgresRecordSet> TPostgres::Run(const QString &sql, bool keepRows)
{
    auto result = start(sql, keepRows);
    if (result->ok())
        run(sql.toUtf8(), *result, keepRows);
    return result;
}

std::unique_ptr<TPostgresRecordSet> TPostgres::Run(const QString &sql, const TPostgresRowSink &sink)
{
    auto result = start(sql, true);
    if (result->ok())
        run(sql.toUtf8(), *result, false, &sink);
    return result;
}

// The checks and notices before a statement is sent; a record set that is
// not ok() when it must not be sent.
std::unique_ptr<TPostgresRecordSet> TPostgres::start(const QString &sql, bool keepRows)
{
    status(QStringLiteral("Uitvoeren van query..."));
    auto result = std::make_unique<TPostgresRecordSet>();
    if (!Connected()) {
        result->setFailure(TPostgresOutcome::NotConnected,
                           QStringLiteral("Internal error:\ngeen verbinding met de database"));
        return result;
    }
    if (sql.contains(QChar(0))) {
        // 2.0 ends the statement text at the NUL and would read what follows
        // as a message of its own; 3.0 would break the message.
        const QString why = QStringLiteral("Het statement bevat een NUL-teken en is niet naar de database gestuurd.");
        status(QStringLiteral("Error: ") + why);
        result->setFailure(TPostgresOutcome::Refused, why);
        return result;
    }
    status((keepRows ? QStringLiteral("query: ") : QStringLiteral("updatequery: ")) + sql);
    if (OnStatement)
        OnStatement(sql);
    return result;
}

// Sends sql and reads the reply up to ReadyForQuery, handing rows to sink
// when there is one, else collecting them into result when keepRows. A backend error is recorded and the rows so far are
// kept; a transport failure is recorded and closes the connection.
void TPostgres::run(const QByteArray &sql, TPostgresRecordSet &result, bool keepRows, const TPostgresRowSink *sink)
{
    QString err;
    if (!sendQuery(sql, &err)) {
        connectionFailed(result, err);
        return;
    }
    Message m;
    for (;;) {
        if (!m_conn->next(m, m_replyTimeoutMs, &err)) {
            connectionFailed(result, err);
            return;
        }
        switch (m.kind) {
        case Kind::RowDescription:
            if (keepRows) {
                QStringList names;
                names.reserve(static_cast<qsizetype>(m.fields.size()));
                for (const db::pg::Field &f : m.fields)
                    names.append(QString::fromUtf8(f.data, f.size));
                result.setFieldNames(std::move(names));
            }
            break;
        case Kind::DataRow:
            if (sink) {
                (*sink)(TPostgresRowView(m.fields));
            } else if (keepRows) {
                QStringList row;
                row.reserve(static_cast<qsizetype>(m.fields.size()));
                for (const db::pg::Field &f : m.fields)
                    row.append(textValue(f));
                result.appendRow(std::move(row));
            }
            break;
        case Kind::CommandComplete: status(QStringLiteral("Result: ") + utf8(m.text)); break;
        case Kind::ErrorResponse:
        case Kind::Malformed: {
            const QString text = backendText(m);
            status(QStringLiteral("Error: ") + text);
            // A malformed message was skipped by its length: the session goes on.
            result.setFailure(TPostgresOutcome::BackendError,
                              m.kind == Kind::Malformed ? QStringLiteral("Internal error:\n") + text : text);
            break;
        }
        case Kind::CopyInResponse: {
            // The client has no COPY data; refuse so the backend ends the statement.
            OutputMessage f = m_protocol == 3 ? OutputMessage('f', true) : OutputMessage(0, false);
            if (m_protocol == 3)
                f.addString("COPY FROM STDIN wordt niet ondersteund");
            else
                f.addBytes("\\.\n", 3);
            if (!m_conn->send(f.finish(), &err)) {
                connectionFailed(result, err);
                return;
            }
            break;
        }
        case Kind::ReadyForQuery: m_transaction = transactionState(m.code); return;
        default: break;
        }
    }
}

}  // namespace db
