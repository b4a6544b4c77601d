// The two ways to enter characters the keyboard lacks: the popup menu
// TPopupChars and the ALT-code dialog.

#include "platform/Settings.h"
#include "support/ScriptedDialogs.h"
#include "texts/AltCodeDialog.h"
#include "texts/PersonalEdit.h"
#include "texts/PopupChars.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace texts;

using platform::BoxType;

namespace {

// Records the value the dialog was prefilled with.
class RecordingDialogs : public testsupport::ScriptedDialogs {
public:
    bool inputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength) override
    {
        prefill = value;
        return ScriptedDialogs::inputQuery(caption, prompt, value, maxLength);
    }
    QString prefill;
};

QAction *itemFor(TPopupChars &menu, int code)
{
    for (QAction *a : menu.actions())
        if (a->data().toInt() == code)
            return a;
    return nullptr;
}

}  // namespace

class TestSpecialChars : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void popupItems();
    void attachFindsSingleLineEdits();
    void choosingOnALineEditReplacesItsSelection();
    void choosingOnTheEditorTypes();
    void altCodes_data();
    void altCodes();
    void altCodeRemembersTheLastCode();

private:
    QTemporaryDir m_settings;
};

void TestSpecialChars::initTestCase()
{
    QVERIFY(m_settings.isValid());
    platform::setSettingsFolder(m_settings.path());
}

void TestSpecialChars::popupItems()
{
    TPopupChars menu;
    const QList<QAction *> items = menu.actions();
    QCOMPARE(items.size(), 35);
    QCOMPARE(items.first()->text(), u"\u00fc (129)"_qs);
    QCOMPARE(items.first()->data().toInt(), 129);
    QCOMPARE(items.at(1)->text(), u"\u00e9 (130)"_qs);
    QCOMPARE(items.at(30)->text(), u"\u0192 (159)"_qs);
    QCOMPARE(items.last()->text(), u"\u00fa (163)"_qs);
    QCOMPARE(items.last()->data().toInt(), 163);
}

void TestSpecialChars::attachFindsSingleLineEdits()
{
    QWidget panel;
    auto *top = new QLineEdit(&panel);
    auto *inner = new QWidget(&panel);
    auto *nested = new QLineEdit(inner);
    auto *combo = new QComboBox(inner);
    combo->setEditable(true);
    TPopupChars menu;
    menu.attach(&panel);
    QCOMPARE(top->contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(nested->contextMenuPolicy(), Qt::CustomContextMenu);
    QVERIFY(combo->lineEdit()->contextMenuPolicy() != Qt::CustomContextMenu);

    QLineEdit single;
    menu.attach(&single);
    QCOMPARE(single.contextMenuPolicy(), Qt::CustomContextMenu);
}

void TestSpecialChars::choosingOnALineEditReplacesItsSelection()
{
    QLineEdit edit(QStringLiteral("abcd"));
    edit.show();
    TPopupChars menu;
    menu.attach(&edit);
    edit.setSelection(1, 2);
    emit edit.customContextMenuRequested(QPoint(5, 5));
    QCOMPARE(menu.popupComponent(), &edit);
    itemFor(menu, 130)->trigger();
    menu.hide();
    QCOMPARE(edit.text(), u"a\u00e9d"_qs);
}

void TestSpecialChars::choosingOnTheEditorTypes()
{
    TPersonalEdit editor;
    editor.show();
    TPopupChars menu;
    editor.setPopupMenu(&menu);
    editor.InsertText(QStringLiteral("ab"));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), editor.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&editor, &event);
    QVERIFY(menu.isVisible());
    QCOMPARE(menu.popupComponent(), &editor);
    itemFor(menu, 154)->trigger();  // Ü
    menu.hide();
    QCOMPARE(editor.buffer().text(), u"ab\u00dc"_qs);
    QCOMPARE(editor.Caret(), 4);
}

void TestSpecialChars::altCodes_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("answer");  // "<cancel>": the dialog is cancelled
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("after");

    QTest::newRow("130 is e acute") << "ab"
                                    << "130"
                                    << "" << u"ab\u00e9"_qs;
    QTest::newRow("32 is the lowest") << "ab"
                                      << "32"
                                      << ""
                                      << "ab ";
    QTest::newRow("255 is the highest") << "ab"
                                        << "255"
                                        << "" << u"ab\u00a0"_qs;
    QTest::newRow("31 is refused") << "ab"
                                   << "31"
                                   << "Foutief code!"
                                   << "ab";
    QTest::newRow("256 is refused") << "ab"
                                    << "256"
                                    << "Foutief code!"
                                    << "ab";
    QTest::newRow("not a number is ignored") << "ab"
                                             << "x1"
                                             << ""
                                             << "ab";
    QTest::newRow("cancel changes nothing") << "ab"
                                            << "<cancel>"
                                            << ""
                                            << "ab";
    // Inserted as is: no capital after a sentence end, a space after a space.
    QTest::newRow("no AutoCase") << "Een. "
                                 << "97"
                                 << ""
                                 << "Een. a";
    QTest::newRow("no SpaceCheck") << "a "
                                   << "32"
                                   << ""
                                   << "a  ";
}

void TestSpecialChars::altCodes()
{
    QFETCH(QString, before);
    QFETCH(QString, answer);
    QFETCH(QString, error);
    QFETCH(QString, after);
    TPersonalEdit editor;
    editor.InsertText(before);
    RecordingDialogs dialogs;
    if (answer == u"<cancel>")
        dialogs.expectInput(QStringLiteral("ALT-Code"), QString(), false);
    else
        dialogs.expectInput(QStringLiteral("ALT-Code"), answer);
    if (!error.isEmpty())
        dialogs.expectBox(BoxType::Error, error);
    texts::insertAltCode(editor);
    QCOMPARE(dialogs.problems(), QStringList());
    QCOMPARE(dialogs.lastInputCaption(), QStringLiteral("Speciaal teken invoegen"));
    QCOMPARE(dialogs.lastInputMaxLength(), 3);
    QCOMPARE(editor.buffer().text(), after);
}

void TestSpecialChars::altCodeRemembersTheLastCode()
{
    platform::WriteSetting(QStringLiteral("LastSpecialChar"), QString());
    TPersonalEdit editor;
    {
        RecordingDialogs dialogs;
        dialogs.expectInput(QStringLiteral("ALT-Code"), QStringLiteral("156"));
        QVERIFY(texts::insertAltCode(editor));
        QCOMPARE(dialogs.prefill, QString());
    }
    QCOMPARE(platform::ReadSetting(QStringLiteral("LastSpecialChar"), QString()), QStringLiteral("156"));
    {
        // A refused code is not remembered.
        RecordingDialogs dialogs;
        dialogs.expectInput(QStringLiteral("ALT-Code"), QStringLiteral("300"));
        dialogs.expectBox(BoxType::Error, QStringLiteral("Foutief code!"));
        QVERIFY(!texts::insertAltCode(editor));
        QCOMPARE(dialogs.prefill, QStringLiteral("156"));
    }
    QCOMPARE(platform::ReadSetting(QStringLiteral("LastSpecialChar"), QString()), QStringLiteral("156"));
    QCOMPARE(editor.buffer().text(), u"\u00a3"_qs);
}

QTEST_MAIN(TestSpecialChars)
#include "tst_specialchars.moc"
