// The mail parser and viewer page on sample messages: a multipart message
// with a quoted-printable text and a base64 picture, a sender given only as
// an address, a read mark, and a message that breaks off; and the read-mark
// toggle, byte for byte.

#include "incoming/Mail.h"
#include "incoming/MailDirFrame.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace incoming;

namespace {
QString sample(const char *name)
{
    return qEnvironmentVariable("QUILLON_SOURCE_DIR") + QStringLiteral("/tests/incoming/data/") + QLatin1String(name);
}

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestMail : public QObject {
    Q_OBJECT
private slots:
    void multipartWithPicture();
    void readMarkAndAddressOnlySender();
    void brokenMessageShowsWhatCanBeRead();
    void toggleReadMarkIsByteExact();
    void decoders_data();
    void decoders();
    void hostileStructure();
    void dateInDutch_data();
    void dateInDutch();
    void listedDays();
};

void TestMail::multipartWithPicture()
{
    QTemporaryDir dir;
    TMail mail(dir.path());
    QVERIFY(mail.load(sample("multipart.cnb")));
    QCOMPARE(mail.parts().size(), 3);  // the message, its text, its picture
    QCOMPARE(mail.header("subject"), QStringLiteral("Persbericht caf\u00e9 en foto"));
    QCOMPARE(mail.sender(), QStringLiteral("Gemeente Zwaluwstad"));
    QCOMPARE(mail.parts()[0].boundary(), QStringLiteral("----=_Part_1"));
    QString subject, plain;
    const QString page = mail.renderPage(&subject, &plain);
    QCOMPARE(subject, mail.header("subject"));
    // Quoted-printable undone, UTF-8 read, "<br>" line ends, "<" kept as text.
    QVERIFY2(page.contains(QStringLiteral("De raad besluit vanavond over de fietsbrug \u2013 zie de foto. Tweede regel "
                                          "&lt;met haken&gt;.<br>\r\n<hr>")),
             qPrintable(page));
    QCOMPARE(plain, QStringLiteral("De raad besluit vanavond over de fietsbrug \u2013 zie de foto. Tweede regel <met "
                                   "haken>.\r\n"));
    // The picture: decoded into the attachment folder under a safe, lower-case name.
    QVERIFY(page.contains(QStringLiteral("<img src=\"file://") + dir.path() + QStringLiteral("/brug.png\">")));
    const QByteArray png = bytes(dir.filePath("brug.png"));
    QVERIFY(png.startsWith("\x89PNG"));
    QVERIFY(page.contains(QStringLiteral("<td width=70><b>Van</b>: </td><td>Gemeente Zwaluwstad "
                                         "&lt;pers@zwaluwstad.example&gt;</td>")));
    QVERIFY(page.contains(QStringLiteral("<b>Status</b>: </td><td>nog niet gemarkeerd als gelezen</td>")));
    QVERIFY2(page.contains(QStringLiteral("<b>Datum</b>: </td><td>do 10 dec 2026 09:12</td>")), qPrintable(page));
}

void TestMail::dateInDutch_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("shown");
    QTest::newRow("weekday, seconds, offset") << "Thu, 10 Dec 2026 09:12:00 +0100" << "do 10 dec 2026 09:12";
    QTest::newRow("no weekday, no seconds") << "3 Mar 2027 17:05 -0500" << "wo 3 mrt 2027 17:05";
    QTest::newRow("May and October") << "Sat, 1 May 2027 08:00:00 +0000" << "za 1 mei 2027 08:00";
    QTest::newRow("blanks around it") << "  Sun, 31 Oct 2027 23:59:59 +0200 " << "zo 31 okt 2027 23:59";
    QTest::newRow("not a date: kept") << "gisteren rond de middag" << "gisteren rond de middag";
    QTest::newRow("empty") << "" << "";
}

void TestMail::dateInDutch()
{
    QFETCH(QString, header);
    QFETCH(QString, shown);
    QCOMPARE(MailDateText(header), shown);
}

void TestMail::readMarkAndAddressOnlySender()
{
    TMail mail;
    QVERIFY(mail.load(sample("gelezen.cnb"), true));
    QVERIFY(mail.isRead());
    QCOMPARE(mail.sender(), QStringLiteral("tips@lezer.example"));
    QCOMPARE(mail.parts().size(), 1);
    QVERIFY(mail.parts()[0].body.isEmpty());  // headers only
    mail.parse(bytes(sample("gelezen.cnb")));
    QString plain;
    QVERIFY(mail.renderPage(nullptr, &plain).contains(QStringLiteral("<td>gelezen</td>")));
    QCOMPARE(plain, QStringLiteral("De markt gaat zaterdag niet door.\r\nGroet, een lezer\r\n"));
}

void TestMail::brokenMessageShowsWhatCanBeRead()
{
    TMail mail;
    mail.parse(bytes(sample("afgebroken.cnb")));
    QCOMPARE(mail.parts().size(), 3);
    QString plain;
    const QString page = mail.renderPage(nullptr, &plain);
    // windows-1252 quotes converted; an unknown charset falls back; broken
    // base64 decodes what it can; the end of the data ends every part.
    QCOMPARE(plain, QStringLiteral("Getuigen \u201cgezocht\u201d\r\n"));
    QVERIFY2(page.contains(QStringLiteral("not all<br>")), qPrintable(page));
}

void TestMail::toggleReadMarkIsByteExact()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("m.cnb");
    QVERIFY(QFile::copy(sample("gelezen.cnb"), path));
    QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray before = bytes(path);
    const QDateTime stamp(QDate(2026, 12, 7), QTime(8, 0));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    QString error;
    QVERIFY(ToggleReadMark(path, &error));
    QCOMPARE(bytes(path), before.mid(11));  // exactly "Read: yes" CR LF gone
    QVERIFY(ToggleReadMark(path, &error));
    QCOMPARE(bytes(path), before);
    // The folder lists by file time: marking does not make an old mail new.
    QCOMPARE(QFileInfo(path).lastModified(), stamp);
    QVERIFY(!ToggleReadMark(dir.filePath("weg.cnb"), &error));
    QVERIFY(!error.isEmpty());
}

void TestMail::decoders_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("output");
    QTest::newRow("qp escape and soft break") << QByteArray("a=3Db=\r\nc") << "qp" << QByteArray("a=bc");
    QTest::newRow("qp soft break with trailing blanks") << QByteArray("a= \t\nb") << "qp" << QByteArray("ab");
    QTest::newRow("qp lower-case hex") << QByteArray("=e9") << "qp" << QByteArray("\xe9");
    QTest::newRow("qp bad escape kept") << QByteArray("100=%") << "qp" << QByteArray("100=%");
    QTest::newRow("qp = at the end") << QByteArray("x=") << "qp" << QByteArray("x");
    QTest::newRow("base64 over lines") << QByteArray("aGFs\r\nbG8=\r\n") << "b64" << QByteArray("hallo");
    QTest::newRow("base64 with garbage") << QByteArray("aG*Fs\tbG8") << "b64" << QByteArray("hallo");
    QTest::newRow("encoded words joined")
        << QByteArray("=?utf-8?B?Y2Fm?= =?UTF-8?Q?=C3=A9?= x") << "hdr" << QByteArray("caf\xc3\xa9 x");
    QTest::newRow("broken encoded word kept") << QByteArray("=?utf-8?Q?half") << "hdr" << QByteArray("=?utf-8?Q?half");
}

void TestMail::decoders()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, kind);
    QFETCH(QByteArray, output);
    if (kind == QLatin1String("qp"))
        QCOMPARE(DecodeQuotedPrintable(input), output);
    else if (kind == QLatin1String("b64"))
        QCOMPARE(DecodeBase64Lines(input), output);
    else
        QCOMPARE(DecodeHeaderWords(input), QString::fromUtf8(output));
}

void TestMail::hostileStructure()
{
    // Deeply nested multiparts, a boundary that never ends, a name that
    // climbs out of the attachment folder: read without crash or hang.
    QByteArray deep;
    for (int i = 0; i < 5000; ++i)
        deep += "Content-Type: multipart/mixed; boundary=b" + QByteArray::number(i) + "\r\n\r\n--b" +
                QByteArray::number(i) + "\r\n";
    TMail mail;
    mail.parse(deep);
    QVERIFY(mail.parts().size() <= 40);
    QTemporaryDir dir;
    TMail attach(dir.path() + QStringLiteral("/att"));
    attach.parse("Content-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\nContent-Type: application/octet-stream; "
                 "name=\"..\\\\..\\\\evil.bat\"\r\nContent-Transfer-Encoding: base64\r\n\r\naGk=\r\n--x--\r\n");
    attach.renderPage(nullptr, nullptr);
    QVERIFY(QFile::exists(dir.filePath("att/evil.bat")));
    QVERIFY(!QFile::exists(dir.filePath("evil.bat")));
    TMail empty;
    empty.parse(QByteArray());
    QCOMPARE(empty.parts().size(), 1);
    QCOMPARE(empty.sender(), QString());
}

void TestMail::listedDays()
{
    const QDate today(2026, 12, 10);
    QVERIFY(MailListed(QDateTime(today, QTime(8, 0)), today, false));
    QVERIFY(MailListed(QDateTime(today.addDays(-1), QTime(0, 0)), today, false));
    QVERIFY(!MailListed(QDateTime(today.addDays(-2), QTime(23, 59)), today, false));
    QVERIFY(MailListed(QDateTime(today.addDays(-2), QTime(23, 59)), today, true));
    QCOMPARE(MailRowCaption(QDateTime(today, QTime(9, 5))), QStringLiteral("do 10 dec 26 09:05"));
}

QTEST_MAIN(TestMail)
#include "tst_mail.moc"
