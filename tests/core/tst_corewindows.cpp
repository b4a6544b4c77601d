// The core's own windows without services: rights, the start picture, the
// announcements queue, the hand-over countdown, the job window, the
// "version" parameter. Server commands go to a scripted server on a socket pair.

#include "core/Global.h"
#include "core/LogView.h"
#include "core/MainForm.h"
#include "core/Mededeling.h"
#include "core/OpgeefDialog.h"
#include "core/ServerLink.h"
#include "core/StartPicture.h"
#include "core/TaakForm.h"
#include "support/NullLinkClient.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace core;

namespace {

// The program's link on a socket pair; the test plays the server.
struct ScriptedServer {
    testsupport::NullLinkClient quiet;  // these tests look at the windows
    TServerLink link{state(), quiet};
    int fd = -1;
    ScriptedServer()
    {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0) {
            link.adopt(fds[0]);
            fd = fds[1];
            fcntl(fd, F_SETFL, O_NONBLOCK);
        }
        link.setReadTimeout(1);
        state().server = &link;
    }
    ~ScriptedServer()
    {
        state().server = nullptr;
        ::close(fd);
    }
    void reply(const QByteArray &b) const { QVERIFY(::write(fd, b.constData(), b.size()) == b.size()); }
    QByteArray written() const
    {
        QByteArray all;
        char buf[4096];
        for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;)
            all.append(buf, n);
        return all;
    }
};

}  // namespace

class TestCoreWindows : public QObject {
    Q_OBJECT
private slots:
    void rights_data();
    void rights();
    void startPicture();
    void brokenJpegGivesNoPicture_data();
    void brokenJpegGivesNoPicture();
    void announcementsQueue();
    void handOverCountdown();
    void handOverAnswers();
    void jobWindow();
    void versionParameter();
};

void TestCoreWindows::rights_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<bool>("finalEditor");
    QTest::addColumn<bool>("administrator");
    QTest::newRow("empty gives neither") << "" << false << false;
    QTest::newRow("x alone gives the final-editor right") << "x" << true << false;
    QTest::newRow("short administrator") << "-x" << false << true;
    QTest::newRow("both") << "xx--------------" << true << true;
    QTest::newRow("capital X is no right") << "XX" << false << false;
}

void TestCoreWindows::rights()
{
    QFETCH(QString, rights);
    QFETCH(bool, finalEditor);
    QFETCH(bool, administrator);
    QCOMPARE(PadRights(rights).size(), qMax<qsizetype>(16, rights.size()));
    QVERIFY(PadRights(rights).startsWith(rights));
    TProgramState s;
    ApplyRights(s, rights);
    QCOMPARE(s.finalEditorRight, finalEditor);
    QCOMPARE(s.administrator, administrator);
}

void TestCoreWindows::startPicture()
{
    const QImage picture = StartPicture();
    QCOMPARE(picture.size(), QSize(480, 280));
    // The bar at the top is the deep blue of the picture, not black or grey.
    const QColor top = picture.pixelColor(5, 2);
    QVERIFY2(top.blue() > top.red() + 60, qPrintable(top.name()));

    // A cut-off file gives at most the picture libjpeg could read, never a crash.
    QFile f(":/quillon/start.jpg");
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QImage cut = DecodeJpeg(f.readAll().left(2000));
    QVERIFY(cut.isNull() || cut.size() == QSize(480, 280));
}

void TestCoreWindows::brokenJpegGivesNoPicture_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("dit is geen plaatje");
    QTest::newRow("png signature") << QByteArray("\x89PNG\r\n\x1a\n", 8);
}

void TestCoreWindows::brokenJpegGivesNoPicture()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(DecodeJpeg(bytes).isNull());
}

void TestCoreWindows::announcementsQueue()
{
    ScriptedServer server;
    TMededeling box;
    auto *memo = box.findChild<QPlainTextEdit *>("Memo1");
    auto *button1 = box.findChild<QPushButton *>("Button1");
    auto *reply = box.findChild<QPushButton *>("Button2");
    QCOMPARE(memo->toPlainText(), QString("Geen mededelingen"));
    box.AddAnnouncement("quillon", "Van quillon: Je bent eindredacteur geworden");
    box.AddAnnouncement("piet", "Van piet: koffie?");
    QVERIFY(box.isVisible());
    QVERIFY(memo->toPlainText().endsWith(" Van quillon: Je bent eindredacteur geworden"));
    QVERIFY(!reply->isVisibleTo(&box));  // the server itself gets no answer
    QCOMPARE(button1->text(), QString("Volgende"));
    button1->click();
    QCOMPARE(box.currentSender(), QString("piet"));
    QVERIFY(reply->isVisibleTo(&box));
    QCOMPARE(button1->text(), QString("Sluiten"));

    testsupport::ScriptedDialogs dialogs;
    dialogs.expectInput("Aan: piet", "ja graag");
    server.reply("ok\n");
    reply->click();
    QCOMPARE(server.written(), QByteArray("direct piet ja graag\r\n"));
    button1->click();
    QVERIFY(!box.isVisible());
    QVERIFY(box.texts().isEmpty());
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

void TestCoreWindows::handOverCountdown()
{
    TOpgeefDialog dialog("kees");
    auto *label = dialog.findChild<QLabel *>("Label1");
    QCOMPARE(dialog.findChild<QLabel *>("Panel1")->text(), QString("Eindredactie opgeven aan kees"));
    dialog.Timer1Timer();
    QCOMPARE(label->text(), QString("je hebt nog 29 seconden"));
    for (int i = 0; i < 29; ++i)
        dialog.Timer1Timer();
    QCOMPARE(label->text(), QString("je hebt nog 0 seconden"));
    QCOMPARE(dialog.result(), 0);  // still open at 0
    dialog.Timer1Timer();
    QCOMPARE(dialog.result(), int(platform::ModalResult::Yes));
}

void TestCoreWindows::handOverAnswers()
{
    TOpgeefDialog::setTickInterval(1);
    TOpgeefDialog unanswered("kees");
    QVERIFY(unanswered.ask());  // thirty quick "seconds", then Yes

    TOpgeefDialog::setTickInterval(1000);
    TOpgeefDialog refused("kees");
    QTimer::singleShot(0, &refused, [&refused] { refused.findChild<QPushButton *>("Button2")->click(); });
    QVERIFY(!refused.ask());
}

void TestCoreWindows::jobWindow()
{
    ScriptedServer server;
    TTaakForm form;
    server.link.setHandler("job", [&form](const QString &text) { form.HandleJobMessage(text); });
    form.HandleJobMessage("log verborgen");  // hidden: dropped
    server.reply("job name import 3\njob aname opschonen\nok\n");
    form.show();
    QCOMPARE(server.written(), QByteArray("job list\r\n"));
    QVERIFY(form.LogView1()->Lines().isEmpty());
    QCOMPARE(form.ListBox1()->count(), 1);
    QCOMPARE(form.ListBox1()->item(0)->text(), QString("import 3"));
    QCOMPARE(form.ListBox2()->item(0)->text(), QString("opschonen"));

    for (int i = 0; i < 60; ++i)
        form.HandleJobMessage(QString("log  regel %1  ").arg(i));
    QCOMPARE(form.LogView1()->Lines().size(), 50);
    QVERIFY(form.LogView1()->Lines().last().startsWith("<green>"));
    QVERIFY(form.LogView1()->Lines().last().endsWith(" <blue>:<black> regel 59"));
    form.HandleJobMessage("Log hoofdletters");  // sub-kinds keep their case: ignored
    QVERIFY(form.LogView1()->Lines().last().endsWith("regel 59"));

    // "refresh" clears both lists and asks again; the reply fills them anew.
    server.reply("job name publiceren\nok\n");
    form.HandleJobMessage("refresh");
    QCOMPARE(server.written(), QByteArray("job list\r\n"));
    QCOMPARE(form.ListBox1()->count(), 1);
    QCOMPARE(form.ListBox1()->item(0)->text(), QString("publiceren"));
    QCOMPARE(form.ListBox2()->count(), 0);

    server.reply("ok\n");
    form.findChild<QPushButton *>("Button1")->click();
    QCOMPARE(server.written(), QByteArray("job reload\r\n"));
}

void TestCoreWindows::versionParameter()
{
    QVERIFY(HasVersionParameter({"quillon", "-x", "version"}));
    QVERIFY(!HasVersionParameter({"version"}));  // the program's own name is no parameter
    QVERIFY(!HasVersionParameter({"quillon", "Version"}));
    QTemporaryDir dir;
    WriteVerInfo(dir.path(), "1.3.4.1");
    QFile f(dir.filePath("verinfo.txt"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("1.3.4.1\n"));
    WriteVerInfo(dir.filePath("bestaat/niet"), "1.3.4.1");  // errors are ignored
}

QTEST_MAIN(TestCoreWindows)
#include "tst_corewindows.moc"
