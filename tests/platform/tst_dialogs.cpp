#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/FileVersion.h"
#include "platform/Invoer.h"
#include "support/ScriptedDialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

using namespace platform;

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void scriptedAnswersInOrder()
    {
        testsupport::ScriptedDialogs d;
        d.expectBox(BoxType::Confirmation, QStringLiteral("Quillon verlaten?"), ModalResult::No);
        d.expectInput(QStringLiteral("Naam"), QStringLiteral("Sport"));
        QVERIFY(!confirm(QStringLiteral("Quillon verlaten?")));
        QString v = QStringLiteral("oud");
        QVERIFY(dialogs().inputQuery(QStringLiteral("Nieuw"), QStringLiteral("Naam"), v));
        QCOMPARE(v, QStringLiteral("Sport"));
        QVERIFY(d.problems().isEmpty());
    }

    void captionsAndButtons()
    {
        QCOMPARE(boxCaption(BoxType::Error), QStringLiteral("Fout"));
        QCOMPARE(buttonTexts(BoxButtons::YesNo), QStringList({QStringLiteral("&Ja"), QStringLiteral("&Nee")}));
    }

    void busyCursorNests()
    {
        QStringList seen;
        setCursorHook([&](bool busy) { seen.append(busy ? QStringLiteral("on") : QStringLiteral("off")); });
        {
            BusyCursor outer;
            BusyCursor inner;
        }
        setCursorHook({});
        QCOMPARE(seen, QStringList({QStringLiteral("on"), QStringLiteral("off")}));
    }

    // Enter in the one-line memo presses "&Ok"; the limit holds for pasted text too.
    void invoerEnterAcceptsWithinLimit()
    {
        TInvoer dialog;
        QString text = QStringLiteral("oud");
        QTimer::singleShot(0, [&] {
            auto *memo = dialog.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
            QVERIFY(memo);
            QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("ALT-Code"));
            memo->insertPlainText(QStringLiteral("12\n345"));
            QTest::keyClick(memo, Qt::Key_Return);
        });
        QVERIFY(dialog.ask(QStringLiteral("Speciaal teken invoegen"), QStringLiteral("ALT-Code"), text, 3));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Speciaal teken invoegen"));
        QCOMPARE(text, QStringLiteral("12 "));
    }

    void invoerCancelKeepsText()
    {
        TInvoer dialog;
        QString text = QStringLiteral("oud");
        QTimer::singleShot(0, [&] { dialog.findChild<QPushButton *>(QStringLiteral("Button2"))->click(); });
        QVERIFY(!dialog.ask(QStringLiteral("Bericht versturen"), QStringLiteral("Aan: joost"), text));
        QCOMPARE(text, QStringLiteral("oud"));
    }

    void fileVersionFromBuild() { QCOMPARE(fileVersion(), QStringLiteral("1.3.4.1")); }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
