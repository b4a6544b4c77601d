#pragma once
// Password exchanges of the database log-in: MD5 (request code 5) and
// SCRAM-SHA-256 (SASL, codes 10 to 12). Cleartext needs no help.

#include <QByteArray>
#include <QString>

namespace db::pg {

// The MD5 response: "md5" + hex(md5(hex(md5(password + user)) + salt)).
QByteArray md5Response(const QByteArray &user, const QByteArray &password, const QByteArray &salt);

// The client side of one SCRAM-SHA-256 exchange (RFC 5802/7677) without
// channel binding. The password is used as given (no SASLprep), which is
// exact for ASCII passwords.
class ScramClient {
public:
    // nonce: the client nonce; empty draws 18 random bytes (base64).
    // user goes into the first message; the backend takes the user of the
    // startup packet and expects it empty.
    explicit ScramClient(QByteArray password, QByteArray nonce = {}, QByteArray user = {});

    // "n,,n=<user>,r=<nonce>"
    QByteArray clientFirst() const;

    // Checks the server's first message and computes the final client
    // message. False with *error when the message is not acceptable.
    bool handleServerFirst(const QByteArray &serverFirst, QByteArray *clientFinal, QString *error);

    // Verifies the server's signature ("v=..."). False with *error otherwise.
    bool verifyServerFinal(const QByteArray &serverFinal, QString *error) const;

    static constexpr int kMaxIterations = 10'000'000;  // a hostile server cannot stall us for ever

private:
    QByteArray m_password;
    QByteArray m_nonce;
    QByteArray m_firstBare;  // client-first-message-bare
    QByteArray m_serverSignature;  // expected in the server's final message
};

}  // namespace db::pg
