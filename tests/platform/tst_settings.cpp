#include "platform/Settings.h"

#include <QTemporaryDir>
#include <QTest>

using namespace platform;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        setSettingsFolder(m_dir.path());
    }
    void cleanup() { setSettingsFolder({}); }

    void writeThenRead()
    {
        QCOMPARE(ReadSetting(QStringLiteral("redactie"), QStringLiteral("-1")), QStringLiteral("-1"));
        WriteSetting(QStringLiteral("redactie"), QStringLiteral("4"));
        WriteSetting(QStringLiteral("sql"), QStringLiteral("select * from tbluser where loginnaam = 'a=b;c'"));
        QCOMPARE(ReadSetting(QStringLiteral("redactie"), QStringLiteral("-1")), QStringLiteral("4"));
        QCOMPARE(ReadSetting(QStringLiteral("sql"), {}),
                 QStringLiteral("select * from tbluser where loginnaam = 'a=b;c'"));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("Marbelt/Quillon.conf"))));
        // Our own key read through the general call is the same store.
        QCOMPARE(ReadRegistryValue(RegistryRoot::CurrentUser, QStringLiteral("Software\\Marbelt\\Quillon"),
                                   QStringLiteral("redactie"), {}),
                 QStringLiteral("4"));
    }

    void emptyValueIsNotMissing()
    {
        WriteSetting(QStringLiteral("LastSpecialChar"), QString());
        QCOMPARE(ReadSetting(QStringLiteral("LastSpecialChar"), QStringLiteral("x")), QString());
    }

    void unwritableStoreFallsBack()
    {
        setSettingsFolder(QStringLiteral("/proc/geen-map"));
        WriteSetting(QStringLiteral("redactie"), QStringLiteral("4"));  // must not throw or crash
        QCOMPARE(ReadSetting(QStringLiteral("redactie"), QStringLiteral("-1")), QStringLiteral("-1"));
    }

    void logonNameFromTheSystem()
    {
        const QByteArray saved = qgetenv("USER");
        qputenv("USER", "piet");
        QCOMPARE(ReadRegistryValue(RegistryRoot::LocalMachine, QStringLiteral("Network\\Logon"),
                                   QStringLiteral("UserName"), QStringLiteral("<onbekend>")),
                 QStringLiteral("piet"));
        QCOMPARE(ReadRegistryValue(RegistryRoot::LocalMachine, QStringLiteral("Network\\Logon"),
                                   QStringLiteral("Domain"), QStringLiteral("<onbekend>")),
                 QStringLiteral("<onbekend>"));
        qputenv("USER", saved);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
