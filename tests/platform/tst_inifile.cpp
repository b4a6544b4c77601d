#include "platform/Errors.h"
#include "platform/IniFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace platform;

namespace {
// "section.key=value" per entry, file order; then "!line: reason" per problem.
QString dump(const IniFile &ini)
{
    QStringList out;
    for (const QString &s : ini.sections())
        for (const IniEntry &e : ini.entries(s))
            out.append(s + u'.' + e.key + u'=' + e.value);
    for (const IniProblem &p : ini.problems())
        out.append(QStringLiteral("!%1: %2").arg(p.line).arg(p.reason));
    return out.join(u'|');
}
}  // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty file") << QByteArray() << "";
        QTest::newRow("keys kept in file order") << QByteArray("[prikbord]\nzulu=1\nalpha=2\nmike=3\n")
                                                 << "prikbord.zulu=1|prikbord.alpha=2|prikbord.mike=3";
        QTest::newRow("comments, blanks and CR LF")
            << QByteArray("; kop\r\n# ook\r\n\r\n[hosts]\r\n  serverhost = nieuws01  \r\n")
            << "hosts.serverhost=nieuws01";
        QTest::newRow("quotes around a value removed once")
            << QByteArray("[a]\nx=\"met spaties \"\ny='\"'\nz=\"open\n") << "a.x=met spaties |a.y=\"|a.z=\"open";
        QTest::newRow("no inline comments: the value keeps them") << QByteArray("[a]\nx=1 ; niet\n") << "a.x=1 ; niet";
        QTest::newRow("equals sign inside the value") << QByteArray("[a]\nsql=a=b\n") << "a.sql=a=b";
        QTest::newRow("empty value") << QByteArray("[a]\nx=\n") << "a.x=";
        QTest::newRow("repeated section merged, order kept")
            << QByteArray("[a]\nx=1\n[b]\ny=2\n[A]\nz=3\n") << "a.x=1|a.z=3|b.y=2";
        QTest::newRow("line without equals sign")
            << QByteArray("[a]\nx=1\nzomaar tekst\ny=2\n") << "a.x=1|a.y=2|!3: regel zonder '='";
        QTest::newRow("key missing") << QByteArray("[a]\n=waarde\n") << "!2: sleutel ontbreekt";
        QTest::newRow("key before any section")
            << QByteArray("x=1\n[a]\ny=2\n") << "a.y=2|!1: sleutel buiten een sectie";
        QTest::newRow("broken header: its keys are not filed under the section before")
            << QByteArray("[a]\nx=1\n[b\ny=2\n[c]\nz=3\n")
            << "a.x=1|c.z=3|!3: ongeldige sectiekop|!4: sleutel onder een ongeldige sectiekop";
        QTest::newRow("empty header") << QByteArray("[ ]\nx=1\n")
                                      << "!1: ongeldige sectiekop|!2: sleutel onder een ongeldige sectiekop";
        QTest::newRow("comment after a header") << QByteArray("[a] ; uitleg\nx=1\n") << "a.x=1";
        QTest::newRow("text after a header")
            << QByteArray("[a] rommel\nx=1\n") << "!1: ongeldige sectiekop|!2: sleutel onder een ongeldige sectiekop";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[a]\nx=1\n") << "a.x=1";
        QTest::newRow("UTF-8 value") << QByteArray("[a]\nx=Ren\xC3\xA9\n") << QString::fromUtf8("a.x=Ren\xC3\xA9");
        QTest::newRow("Latin-1 value of an old editor")
            << QByteArray("[a]\nx=Ren\xE9\n") << QString::fromUtf8("a.x=Ren\xC3\xA9");
        QTest::newRow("Latin-1 at the very end")
            << QByteArray("[a]\nx=Ren\xE9") << QString::fromUtf8("a.x=Ren\xC3\xA9");
    }
    void parse()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, expected);
        QCOMPARE(dump(IniFile::parse(contents)), expected);
    }

    void lookupIgnoresCase()
    {
        const IniFile ini = IniFile::parse("[Hosts]\nServerPort=2001\nserverport=9999\n");
        QCOMPARE(ini.value(QStringLiteral("hosts"), QStringLiteral("SERVERPORT")), QStringLiteral("2001"));
        QVERIFY(ini.contains(QStringLiteral(" HOSTS "), QStringLiteral("serverPort")));
        QCOMPARE(ini.value(QStringLiteral("hosts"), QStringLiteral("serverhost"), QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        QCOMPARE(ini.keys(QStringLiteral("hosts")), QStringList({"ServerPort", "serverport"}));
        QVERIFY(!IniFile::load(QStringLiteral("/nonexistent/zidad.ini")).exists());
    }

    void parseInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "12" << true << 12;
        QTest::newRow("blanks and sign") << " -3 " << true << -3;
        QTest::newRow("plus sign") << "+4" << true << 4;
        QTest::newRow("hexadecimal") << "$1F" << true << 31;
        QTest::newRow("0x hexadecimal") << "0x10" << true << 16;
        QTest::newRow("all bits") << "$FFFFFFFF" << true << -1;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("word") << "sport" << false << 0;
        QTest::newRow("trailing text") << "12a" << false << 0;
        QTest::newRow("overflow") << "2147483648" << false << 0;
        QTest::newRow("sign after dollar") << "$-1" << false << 0;
        QTest::newRow("decimal point") << "1.5" << false << 0;
    }
    void parseInteger()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const auto parsed = platform::parseInteger(text);
        QCOMPARE(parsed.has_value(), ok);
        if (ok)
            QCOMPARE(*parsed, value);
    }

    // The settings file is opened at every read, so a change on disk shows at
    // the next one; a malformed number is a conversion error naming the key.
    void readFromTheSettingsFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zidad.ini"));
        qputenv("QUILLON_INI", path.toUtf8());
        QCOMPARE(iniFilePath(), path);
        QCOMPARE(IniReadString(QStringLiteral("hosts"), QStringLiteral("serverhost")), QString());

        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[filmtijden]\nredactie=3\n[promo]\nredactie=drie\n");
        f.close();
        QCOMPARE(IniReadString(QStringLiteral("FILMTIJDEN"), QStringLiteral("redactie")), QStringLiteral("3"));
        QCOMPARE(IniReadInt(QStringLiteral("filmtijden"), QStringLiteral("redactie")), 3);
        QCOMPARE(IniTryReadInt(QStringLiteral("promo"), QStringLiteral("redactie")), std::nullopt);
        try {
            IniReadInt(QStringLiteral("promo"), QStringLiteral("redactie"));
            QFAIL("no conversion error");
        } catch (const ConversionError &e) {
            QCOMPARE(e.text(), QStringLiteral("'drie' is geen geldig geheel getal ([promo] redactie in %1)").arg(path));
        }
        QVERIFY_THROWS_EXCEPTION(ConversionError, IniReadInt(QStringLiteral("promo"), QStringLiteral("ontbreekt")));
        qunsetenv("QUILLON_INI");
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
