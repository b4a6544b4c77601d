// The byte layers of the database client without any socket: message
// decoding of both protocols, the password hashes and SqlEscape.

#include "FakeBackend.h"
#include "db/PgAuth.h"
#include "db/PgDecoder.h"
#include "db/SqlEscape.h"

#include <QTest>

using namespace db::pg;
using namespace fake;

namespace {

QString dumpField(const Field &f)
{
    return f.data ? QString::fromUtf8(f.data, f.size) : QStringLiteral("NULL");
}

// One line per message, e.g. "D[x,NULL]"; ends with "need more" or the error.
QString dump(const Message &m)
{
    QStringList fields;
    for (const Field &f : m.fields)
        fields.append(dumpField(f));
    const QString text = QString::fromUtf8(m.text.data(), qsizetype(m.text.size()));
    switch (m.kind) {
    case Kind::Authentication:
        return QStringLiteral("R%1(%2)").arg(m.code).arg(
            QString::fromLatin1(QByteArray(m.data.data(), qsizetype(m.data.size())).toHex()));
    case Kind::ParameterStatus:
        return QStringLiteral("S(%1=%2)").arg(text, QString::fromUtf8(m.data.data(), qsizetype(m.data.size())));
    case Kind::BackendKeyData: return QStringLiteral("K");
    case Kind::ReadyForQuery: return QStringLiteral("Z");
    case Kind::RowDescription: return QStringLiteral("T[%1]").arg(fields.join(','));
    case Kind::DataRow: return QStringLiteral("D[%1]").arg(fields.join(','));
    case Kind::CommandComplete: return QStringLiteral("C(%1)").arg(text);
    case Kind::ErrorResponse: return QStringLiteral("E(%1)").arg(text);
    case Kind::NoticeResponse: return QStringLiteral("N(%1)").arg(text);
    case Kind::CopyInResponse: return QStringLiteral("G");
    case Kind::Ignored: return QStringLiteral("ignored ") + QString::fromStdString(typeName(m.type));
    case Kind::Malformed: return QStringLiteral("malformed(%1)").arg(text);
    }
    return {};
}

// Decodes bytes handed over in chunks of chunk bytes, as a socket would.
QString decodeAll(int protocol, const QByteArray &bytes, int chunk, int columns = 0)
{
    InputBuffer in(16);
    Decoder d(protocol);
    Message m;
    QStringList out;
    if (columns > 0) {
        // 2.0 rows need the column count of an earlier description.
        QByteArray t = "T" + be16(columns);
        for (int i = 0; i < columns; ++i)
            t += "c" + QByteArray::number(i + 1) + '\0' + be32(25) + be16(-1) + be32(-1);
        in.assign(std::string_view(t.constData(), size_t(t.size())));
        d.next(in, m);
    }
    qsizetype fed = 0;
    for (;;) {
        const DecodeStatus s = d.next(in, m);
        if (s == DecodeStatus::Message) {
            out.append(dump(m));
            continue;
        }
        if (s == DecodeStatus::Error) {
            out.append(QStringLiteral("error: ") + QString::fromStdString(d.error()));
            break;
        }
        if (fed == bytes.size()) {
            if (in.unconsumed() > 0)
                out.append(QStringLiteral("need more"));
            break;
        }
        const qsizetype n = std::min<qsizetype>(chunk, bytes.size() - fed);
        std::size_t room = 0;
        char *at = in.prepareFill(size_t(n), &room);
        memcpy(at, bytes.constData() + fed, size_t(n));
        in.commitFill(size_t(n));
        fed += n;
    }
    return out.join(QLatin1Char(' '));
}

}  // namespace

class TestPgDecoder : public QObject {
    Q_OBJECT
private slots:
    void protocol3_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("garbage length below 4")
            << QByteArray("Z\0\0\0\3I", 6) << "error: invalid length 3 of message 'Z'";
        QTest::newRow("negative length") << ("D" + be32(-5)) << "error: invalid length -5 of message 'D'";
        QTest::newRow("short type over its cap") << ("Z" + be32(40000)) << "error: message 'Z' too long (40000 bytes)";
        QTest::newRow("long type may be long, waits for its body") << ("D" + be32(40000)) << "need more";
        QTest::newRow("minimal") << ready3() << "Z";
        QTest::newRow("header incomplete") << QByteArray("Z\0\0", 3) << "need more";
        QTest::newRow("body incomplete") << complete3("SELECT 1").chopped(2) << "need more";
        QTest::newRow("trailing data") << ready3() + QByteArray("C\0", 2) << "Z need more";
        QTest::newRow("row with NULL and empty")
            << rowDescription3({"naam", "x"}) + dataRow3({QByteArray("  a "), std::nullopt}) +
                   dataRow3({QByteArray(""), QByteArray("b")})
            << "T[naam,x] D[  a ,NULL] D[,b]";
        QTest::newRow("row claims more columns than it has")
            << msg3('D', be16(2) + be32(1) + "a") + ready3() << "malformed(malformed message 'D' of 11 bytes) Z";
        QTest::newRow("value length below -1")
            << msg3('D', be16(1) + be32(-2)) << "malformed(malformed message 'D' of 10 bytes)";
        QTest::newRow("data after the body's end")
            << msg3('C', QByteArray("SELECT\0x", 8)) << "malformed(malformed message 'C' of 12 bytes)";
        QTest::newRow("unknown type skipped by its length") << msg3('x', "whatever") + ready3() << "ignored 'x' Z";
        QTest::newRow("notification and notice")
            << msg3('A', be32(7) + "kanaal\0\0") + msg3('N', QByteArray("SNOTICE\0Mlet op\0\0", 17))
            << "ignored 'A' N(NOTICE:  let op)";
        QTest::newRow("error with detail and hint")
            << msg3('E', QByteArray("SFOUT\0VERROR\0Mkapot\0P15\0Dmeer\0Hprobeer\0\0", 40))
            << "E(FOUT:  kapot at character 15\nDETAIL:  meer\nHINT:  probeer)";
        QTest::newRow("authentication with salt") << authRequest3(5, "abcd") << "R5(61626364)";
        QTest::newRow("parameter status")
            << param3("standard_conforming_strings", "off") << "S(standard_conforming_strings=off)";
    }
    void protocol3()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(decodeAll(3, bytes, int(bytes.size()) + 1), expected);
    }

    void protocol2_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << 0 << QString();
        QTest::newRow("minimal") << QByteArray("Z") << 0 << "Z";
        QTest::newRow("unknown type loses framing") << QByteArray("\x01Z") << 0 << "error: unknown message type 0x01";
        QTest::newRow("copy-out data cannot be skipped")
            << QByteArray("Hkolom\n") << 0 << "error: unknown message type 'H'";
        QTest::newRow("text incomplete") << QByteArray("Cselec") << 0 << "need more";
        QTest::newRow("text over the cap")
            << "E" + QByteArray(int(Decoder::kStringCap) + 1, 'x') << 0
            << QStringLiteral("error: text in message 'E' longer than %1 bytes").arg(Decoder::kStringCap);
        QTest::newRow("ninth column is the top bit of the second bitmap byte")
            << "D" + QByteArray("\x00\x80", 2) + be32(6) + "ab" << 9 << "D[NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,ab]";
        QTest::newRow("value length below 4")
            << "D" + QByteArray("\x80", 1) + be32(3) << 1 << "error: invalid value length 3 in a data row";
        QTest::newRow("row incomplete") << "D" + QByteArray("\xc0", 1) + be32(5) + "a" + be32(6) << 2 << "need more";
        QTest::newRow("binary row length counts only the value")
            << "B" + QByteArray("\x80", 1) + be32(1) + "z" + "Z" << 1 << "D[z] Z";
        QTest::newRow("binary row may hold an empty value")
            << "B" + QByteArray("\xc0", 1) + be32(0) + be32(2) + "ab" << 2 << "D[,ab]";
        QTest::newRow("md5 request carries a salt") << "R" + be32(5) + "abcd" + "Z" << 0 << "R5(61626364) Z";
        QTest::newRow("function result") << "V" + QByteArray("G") + be32(2) + "xy" + "0" + "V0" << 0
                                         << "ignored 'V' ignored 'V'";
        QTest::newRow("cursor, empty query, notification")
            << QByteArray("Pblank\0I\0A", 10) + be32(1) + QByteArray("n\0", 2) << 0
            << "ignored 'P' ignored 'I' ignored 'A'";
        QTest::newRow("error text") << error2("ERROR:  kapot\n") << 0 << "E(ERROR:  kapot\n)";
    }
    void protocol2()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, columns);
        QFETCH(QString, expected);
        QCOMPARE(decodeAll(2, bytes, int(bytes.size()) + 1, columns), expected);
    }

    // Every split of a stream must decode as the whole stream does.
    void resumedFromPartial_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("3.0") << 3
                             << loginOk3() + rowDescription3({"a", "b"}) + dataRow3({QByteArray("één"), std::nullopt}) +
                                    error3("stuk") + complete3("SELECT 1") + ready3();
        QTest::newRow("2.0") << 2
                             << "R" + be32(0) + rowDescription2({"a", "b"}) +
                                    dataRow2({QByteArray("één"), std::nullopt}) + error2("ERROR:  stuk\n") +
                                    complete2("SELECT 1") + "Z";
    }
    void resumedFromPartial()
    {
        QFETCH(int, protocol);
        QFETCH(QByteArray, bytes);
        const QString whole = decodeAll(protocol, bytes, int(bytes.size()));
        QVERIFY(!whole.contains(QLatin1String("need more")));
        for (int chunk : {1, 2, 3, 7})
            QCOMPARE(decodeAll(protocol, bytes, chunk), whole);
    }

    void md5Response()
    {
        QCOMPARE(db::pg::md5Response("quillon", "zwaluwen", "abcd"), QByteArray("md5af500a824eeb5f448f55620cb0c9c0b1"));
    }

    // The exchange of RFC 7677, section 3.
    void scramExchange()
    {
        ScramClient c("pencil", "rOprNGfwEbeRWgbNEkqO", "user");
        QCOMPARE(c.clientFirst(), QByteArray("n,,n=user,r=rOprNGfwEbeRWgbNEkqO"));
        QByteArray final;
        QString error;
        QVERIFY(c.handleServerFirst(
            "r=rOprNGfwEbeRWgbNEkqO%hvYDpWUa2RaTCAfuxFIlj)hNlF$k0,s=W22ZaJ0SNY7soEsUEjb6gQ==,i=4096", &final, &error));
        QCOMPARE(final, QByteArray("c=biws,r=rOprNGfwEbeRWgbNEkqO%hvYDpWUa2RaTCAfuxFIlj)hNlF$k0,"
                                   "p=dHzbZapWIk4jUhN+Ute9ytag9zjfMHgsqmmiz7AndVQ="));
        QVERIFY(!c.verifyServerFinal("v=AAAATRBi23WpRR/wtup+mMhUZUn/dB5nLTJRsjl95G4=", &error));
        QCOMPARE(error, QStringLiteral("SCRAM: de handtekening van de server klopt niet"));
        QVERIFY(c.verifyServerFinal("v=6rriTRBi23WpRR/wtup+mMhUZUn/dB5nLTJRsjl95G4=", &error));
    }

    void scramRefusesBadServerFirst_data()
    {
        QTest::addColumn<QByteArray>("serverFirst");
        QTest::addColumn<QString>("error");
        QTest::newRow("nonce not extending ours")
            << QByteArray("r=other,s=QUJD,i=4096") << "SCRAM: de server gaf een ongeldige nonce";
        QTest::newRow("nonce not extended")
            << QByteArray("r=abc,s=QUJD,i=4096") << "SCRAM: de server gaf een ongeldige nonce";
        QTest::newRow("no salt") << QByteArray("r=abcdef,i=4096") << "SCRAM: ongeldige salt of iteraties";
        QTest::newRow("iterations beyond the cap")
            << QByteArray("r=abcdef,s=QUJD,i=2000000000") << "SCRAM: ongeldige salt of iteraties";
    }
    void scramRefusesBadServerFirst()
    {
        QFETCH(QByteArray, serverFirst);
        QFETCH(QString, error);
        ScramClient c("pw", "abc");
        QByteArray final;
        QString got;
        QVERIFY(!c.handleServerFirst(serverFirst, &final, &got));
        QCOMPARE(got, error);
        QVERIFY(!c.verifyServerFinal("v=", &got));  // no signature expected yet
    }

    void sqlEscape_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Den Haag"
                               << "Den Haag";
        QTest::newRow("quote and backslash each get one backslash") << R"(it's a\b)"
                                                                    << R"(it\'s a\\b)";
        QTest::newRow("doubled quotes stay apart") << "''"
                                                   << R"(\'\')";
        QTest::newRow("other characters unchanged")
            << QStringLiteral("\u00ff\n\"%_\u20ac") << QStringLiteral("\u00ff\n\"%_\u20ac");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("NUL dropped, so it cannot end a 2.0 statement")
            << QStringLiteral("a") + QChar(0) + QStringLiteral("Qdrop table t") << QStringLiteral("aQdrop table t");
    }
    void sqlEscape()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(SqlEscape(text), expected);
    }
};

QTEST_APPLESS_MAIN(TestPgDecoder)
#include "tst_pgdecoder.moc"
