// Stored passwords: a hash verifies its own password only, a plain-text
// value from before hashing is right once and due for a rewrite, weaker
// parameters are due for a rewrite, and malformed or oversized stored texts
// never match (nor make the check spend unbounded memory).

#include "common/PasswordHash.h"

#include <QtTest>

#include <string>

using quillon::HashPassword;
using quillon::ScryptParams;
using quillon::VerifyPassword;

// Cheap parameters keep the table fast; the defaults are tried once below.
static const ScryptParams Weak{10, 8, 1};

class TestPasswordHash : public QObject {
    Q_OBJECT
private slots:
    void defaultHashRoundTrip();
    void verify_data();
    void verify();
    void saltsDiffer();
};

void TestPasswordHash::defaultHashRoundTrip()
{
    const std::string hash = HashPassword("kievit");
    QVERIFY(QString::fromStdString(hash).startsWith("$scrypt$ln=15,r=8,p=1$"));
    QVERIFY(quillon::IsPasswordHash(hash));
    const auto right = VerifyPassword("kievit", hash);
    QVERIFY(right.right);
    QVERIFY(!right.rewrite);
    QVERIFY(!VerifyPassword("Kievit", hash).right);
}

void TestPasswordHash::verify_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("right");
    QTest::addColumn<bool>("rewrite");

    const QString weak = QString::fromStdString(HashPassword("mer'el\\", Weak));
    QTest::newRow("weaker hash, right: rewritten") << "mer'el\\" << weak << true << true;
    QTest::newRow("weaker hash, wrong") << "merel" << weak << false << false;
    QTest::newRow("plain text, right: rewritten") << "reiger"
                                                  << "reiger" << true << true;
    QTest::newRow("plain text, wrong") << "reiger2"
                                       << "reiger" << false << false;
    QTest::newRow("plain text, prefix of it") << "reig"
                                              << "reiger" << false << false;
    QTest::newRow("no password yet") << ""
                                     << "" << false << false;
    QTest::newRow("no password yet, something typed") << "x"
                                                      << "" << false << false;
    QTest::newRow("empty typed against a hash") << "" << weak << false << false;
    QTest::newRow("the hash itself typed") << weak << weak << false << false;

    QString cut = weak;
    cut.chop(2);
    QTest::newRow("hash cut short") << "mer'el\\" << cut << false << false;
    QString garbled = weak;
    garbled.replace("$scrypt$ln=10", "$scrypt$ln=1O");
    QTest::newRow("parameter not a number") << "mer'el\\" << garbled << false << false;
    const QString tail = weak.mid(weak.indexOf("$", 8));
    QTest::newRow("memory beyond the bound") << "x"
                                             << "$scrypt$ln=20,r=32,p=1" + tail << false << false;
    QTest::newRow("too many lanes") << "x"
                                    << "$scrypt$ln=10,r=8,p=99" + tail << false << false;
    QTest::newRow("parameters out of order") << "mer'el\\"
                                             << "$scrypt$r=8,ln=10,p=1" + tail << false << false;
    QTest::newRow("upper-case hex") << "mer'el\\" << weak.toUpper().replace("$SCRYPT$LN", "$scrypt$ln") << false
                                    << false;
    QTest::newRow("extra field") << "mer'el\\" << weak + "$00" << false << false;
    QTest::newRow("only the prefix") << "$scrypt$"
                                     << "$scrypt$" << false << false;
}

void TestPasswordHash::verify()
{
    QFETCH(QString, password);
    QFETCH(QString, stored);
    QFETCH(bool, right);
    QFETCH(bool, rewrite);
    const auto check = VerifyPassword(password.toStdString(), stored.toStdString());
    QCOMPARE(check.right, right);
    QCOMPARE(check.rewrite, rewrite);
}

void TestPasswordHash::saltsDiffer()
{
    const std::string a = HashPassword("ekster", Weak), b = HashPassword("ekster", Weak);
    QVERIFY(a != b);
    QVERIFY(VerifyPassword("ekster", a).right && VerifyPassword("ekster", b).right);
    // Bounds hold for making hashes too.
    QVERIFY(HashPassword("x", ScryptParams{21, 8, 1}).empty());
}

QTEST_APPLESS_MAIN(TestPasswordHash)
#include "tst_passwordhash.moc"
