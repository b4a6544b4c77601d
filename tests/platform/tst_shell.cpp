#include "platform/Printing.h"
#include "platform/Shell.h"
#include "platform/TempDir.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void targets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("url");
        QTest::newRow("web address") << "https://nieuws.example/a?b=1"
                                     << "https://nieuws.example/a?b=1";
        QTest::newRow("www without scheme") << "www.example.nl"
                                            << "http://www.example.nl";
        QTest::newRow("mail link") << " mailto:redactie@example.nl "
                                   << "mailto:redactie@example.nl";
        QTest::newRow("absolute file") << "/tmp/temp.htm"
                                       << "file:///tmp/temp.htm";
        QTest::newRow("empty") << ""
                               << "";
    }
    void targets()
    {
        QFETCH(QString, target);
        QFETCH(QString, url);
        QCOMPARE(shellTarget(target).toString(), url);
    }

    void openGoesThroughTheHook()
    {
        QList<QUrl> opened;
        const OpenUrlHook previous = setOpenUrlHook([&](const QUrl &u) {
            opened.append(u);
            return true;
        });
        QVERIFY(shellOpen(QStringLiteral("www.example.nl")));
        QVERIFY(!shellOpen(QStringLiteral("  ")));
        setOpenUrlHook(previous);
        QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("http://www.example.nl"))});
    }

    void tempDirectory()
    {
        const QString t = TempDirectory();
        QVERIFY(!t.isEmpty() && t.size() <= 512);
        QCOMPARE(t, t.trimmed());
        QVERIFY(QDir(t).exists());
        QVERIFY(t == QDir::rootPath() || !t.endsWith(QDir::separator()));
    }

    // With QUILLON_PRINT_PDF set every job writes that file, the dialog
    // included, so printing paths are testable without a printer.
    void printsToPdf()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("afdruk.pdf"));
        qputenv("QUILLON_PRINT_PDF", pdf.toUtf8());
        QVERIFY(printsToFile());
        QCOMPARE(printFilePath(), pdf);
        {
            testsupport::ScriptedDialogs dialogs;
            dialogs.expectPrint(true);
            PrintJob job(QStringLiteral("test"));
            QVERIFY(job.toFile());
            QVERIFY(job.ask());
            QVERIFY(job.begin());
            job.painter().drawText(100, 100, QStringLiteral("pagina 1"));
            QVERIFY(job.newPage());
            job.painter().drawText(100, 100, QStringLiteral("pagina 2"));
            QVERIFY(job.end());
            QVERIFY(dialogs.problems().isEmpty());
        }
        qunsetenv("QUILLON_PRINT_PDF");
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
