#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/FileVersion.h"
#include "support/ScriptedDialogs.h"

#include <QTest>

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

    void fileVersionFromBuild() { QCOMPARE(fileVersion(), QStringLiteral("1.3.4.1")); }
};

QTEST_GUILESS_MAIN(TestDialogs)
#include "tst_dialogs.moc"
