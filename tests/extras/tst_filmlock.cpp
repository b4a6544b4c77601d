// "&Filmtijden" in the main window against a real quillon-server and the
// demo newsroom, with two editors: the menu item follows the team the ini
// file names, the lock "tijden" held by one editor keeps the dialog closed
// for the other with the holder's name, and closing the dialog releases it.
// sanne works in the main window; fatima is a line client in the same team.

#include "support/Modal.h"
#include "support/LineClient.h"
#include "support/ScriptedDialogs.h"
#include "support/ServerProcess.h"
#include "support/TestDatabase.h"

#include "core/Global.h"
#include "core/MainForm.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "extras/FilmLadderDialog.h"
#include "platform/Settings.h"

#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace core;
using platform::BoxType;

class TestFilmLock : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void lockTijdenWithTwoEditors();

private:
    std::unique_ptr<testsupport::TestDatabase> m_db;
    servertest::ServerProcess m_server;
    QTemporaryDir m_dir;
};

void TestFilmLock::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY2(m_server.start(m_db.get()), qPrintable(m_server.error()));
    platform::setSettingsFolder(m_dir.filePath(QStringLiteral("settings")));
    // Film times for sanne's team (1), the promo for another one.
    const QString path = m_dir.filePath(QStringLiteral("zidad.ini"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QStringLiteral("[hosts]\npostgreshost=%1\npostgresport=%2\npostgresdatabase=%3\n"
                           "serverhost=127.0.0.1\nserverport=%4\n[autologin]\nusername=sanne\npassword=reigersloot36\n"
                           "[filmtijden]\nredactie=1\n[promo]\nredactie=2\n")
                .arg(m_db->server().host)
                .arg(m_db->server().port)
                .arg(m_db->name())
                .arg(m_server.port())
                .toUtf8());
    f.close();
    qputenv("QUILLON_INI", path.toUtf8());
}

void TestFilmLock::cleanupTestCase()
{
    registry().clear();
}

void TestFilmLock::lockTijdenWithTwoEditors()
{
    // The dialog as the program's opener makes it, counted.
    int opened = 0;
    registry().registerOpener<FilmTimesRequest>([&opened](const FilmTimesRequest &) {
        ++opened;
        extras::TFilmLadderDialog dialog;
        dialog.Prepare();
        dialog.exec();
        return std::monostate{};
    });
    registry().registerOpener<PromoRequest>([](const PromoRequest &) { return std::monostate{}; });

    testsupport::ScriptedDialogs dialogs;
    TMain main;
    main.setTerminateHook([] {});
    main.show();
    QVERIFY(QTest::qWaitFor([&main] { return main.ready(); }, 10000));
    const QList<QAction *> extra = main.findChild<QMenu *>("ExtraMenu")->actions();
    QAction *film = extra.at(0);
    QCOMPARE(film->text(), QString("&Filmtijden"));
    QVERIFY(film->isEnabled());
    QVERIFY(!extra.at(1)->isEnabled());  // "&Promo" belongs to team 2

    servertest::LineClient fatima(m_server.port());
    QVERIFY(fatima.login("fatima", "eksterduin51"));
    QCOMPARE(fatima.reply("lock tijden"), QString("ok"));

    // Held by fatima: her name in the box, nothing opens.
    dialogs.expectBox(BoxType::Information, "Filmtijden worden al bewerkt door fatima");
    film->trigger();
    QCOMPARE(opened, 0);

    // Released: the dialog opens under sanne's lock and gives it back on "Sluiten".
    QCOMPARE(fatima.reply("unlock tijden"), QString("ok"));
    QString whileOpen;
    testsupport::onModal([&](QWidget *w) {
        QVERIFY(qobject_cast<extras::TFilmLadderDialog *>(w));
        QCOMPARE(w->windowTitle(), QString("Filmtijden"));
        whileOpen = fatima.reply("lock tijden");
        QTest::mouseClick(w->findChild<QPushButton *>("Button1"), Qt::LeftButton);
    });
    film->trigger();
    QCOMPARE(opened, 1);
    QVERIFY2(whileOpen.contains("sanne") && whileOpen.endsWith("err"), qPrintable(whileOpen));
    QCOMPARE(fatima.reply("lock tijden"), QString("ok"));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

QTEST_MAIN(TestFilmLock)
#include "tst_filmlock.moc"
