#pragma once
// A throw-away certificate authority and a server certificate for 127.0.0.1
// and localhost, made with the openssl program, so the tests run the server
// link over TLS as the demo does.

#include <QString>

namespace testsupport {

// Writes ca.pem, ca.key, server.pem and server.key into dir; empty on
// success, else what failed.
QString MakeCertificates(const QString &dir);

}  // namespace testsupport
