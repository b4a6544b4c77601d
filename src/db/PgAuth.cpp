#include "db/PgAuth.h"

#include <QCryptographicHash>
#include <QList>

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

namespace db::pg {

namespace {

QByteArray hmacSha256(const QByteArray &key, const QByteArray &data)
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    HMAC(EVP_sha256(), key.constData(), static_cast<int>(key.size()),
         reinterpret_cast<const unsigned char *>(data.constData()), static_cast<std::size_t>(data.size()), out, &len);
    return QByteArray(reinterpret_cast<const char *>(out), static_cast<qsizetype>(len));
}

QByteArray sha256(const QByteArray &data)
{
    unsigned char out[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char *>(data.constData()), static_cast<std::size_t>(data.size()), out);
    return QByteArray(reinterpret_cast<const char *>(out), SHA256_DIGEST_LENGTH);
}

// The value of attribute "x=" in a comma-separated SCRAM message.
QByteArray attribute(const QByteArray &message, char name)
{
    for (const QByteArray &part : message.split(',')) {
        if (part.size() >= 2 && part[0] == name && part[1] == '=')
            return part.mid(2);
    }
    return {};
}

}  // namespace

QByteArray md5Response(const QByteArray &user, const QByteArray &password, const QByteArray &salt)
{
    const QByteArray inner = QCryptographicHash::hash(password + user, QCryptographicHash::Md5).toHex();
    return "md5" + QCryptographicHash::hash(inner + salt, QCryptographicHash::Md5).toHex();
}

ScramClient::ScramClient(QByteArray password, QByteArray nonce, QByteArray user)
    : m_password(std::move(password)), m_nonce(std::move(nonce))
{
    if (m_nonce.isEmpty()) {
        unsigned char raw[18];
        if (RAND_bytes(raw, sizeof raw) != 1)
            qFatal("no random bytes for the SCRAM nonce");
        m_nonce = QByteArray(reinterpret_cast<const char *>(raw), sizeof raw).toBase64();
    }
    m_firstBare = "n=" + user + ",r=" + m_nonce;
}

QByteArray ScramClient::clientFirst() const
{
    return "n,," + m_firstBare;
}

bool ScramClient::handleServerFirst(const QByteArray &serverFirst, QByteArray *clientFinal, QString *error)
{
    const QByteArray nonce = attribute(serverFirst, 'r');
    const QByteArray salt = QByteArray::fromBase64(attribute(serverFirst, 's'));
    bool numeric = false;
    const int iterations = attribute(serverFirst, 'i').toInt(&numeric);
    if (!nonce.startsWith(m_nonce) || nonce.size() == m_nonce.size()) {
        *error = QStringLiteral("SCRAM: de server gaf een ongeldige nonce");
        return false;
    }
    if (salt.isEmpty() || !numeric || iterations < 1 || iterations > kMaxIterations) {
        *error = QStringLiteral("SCRAM: ongeldige salt of iteraties");
        return false;
    }
    unsigned char salted[32];
    PKCS5_PBKDF2_HMAC(m_password.constData(), static_cast<int>(m_password.size()),
                      reinterpret_cast<const unsigned char *>(salt.constData()), static_cast<int>(salt.size()),
                      iterations, EVP_sha256(), sizeof salted, salted);
    const QByteArray saltedPassword(reinterpret_cast<const char *>(salted), sizeof salted);

    const QByteArray clientKey = hmacSha256(saltedPassword, "Client Key");
    const QByteArray storedKey = sha256(clientKey);
    const QByteArray finalWithoutProof = "c=biws,r=" + nonce;  // biws: "n,," in base64
    const QByteArray authMessage = m_firstBare + ',' + serverFirst + ',' + finalWithoutProof;
    const QByteArray clientSignature = hmacSha256(storedKey, authMessage);
    QByteArray proof = clientKey;
    for (qsizetype i = 0; i < proof.size(); ++i)
        proof[i] = static_cast<char>(proof[i] ^ clientSignature[i]);
    m_serverSignature = hmacSha256(hmacSha256(saltedPassword, "Server Key"), authMessage);
    *clientFinal = finalWithoutProof + ",p=" + proof.toBase64();
    return true;
}

bool ScramClient::verifyServerFinal(const QByteArray &serverFinal, QString *error) const
{
    const QByteArray failure = attribute(serverFinal, 'e');
    if (!failure.isEmpty()) {
        *error = QStringLiteral("SCRAM: ") + QString::fromUtf8(failure);
        return false;
    }
    if (m_serverSignature.isEmpty() || QByteArray::fromBase64(attribute(serverFinal, 'v')) != m_serverSignature) {
        *error = QStringLiteral("SCRAM: de handtekening van de server klopt niet");
        return false;
    }
    return true;
}

}  // namespace db::pg
