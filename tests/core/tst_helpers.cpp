#include "core/Global.h"
#include "core/Helpers.h"
#include "core/PauzeForm.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>

using namespace core;

class TestHelpers : public QObject {
    Q_OBJECT
private slots:
    void percentDecode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("nothing encoded") << "http://example.nl/a"
                                         << "http://example.nl/a";
        QTest::newRow("space and slash") << "map%20met%2Fstreep"
                                         << "map met/streep";
        QTest::newRow("lower-case digits") << "%3a%3B"
                                           << ":;";
        QTest::newRow("UTF-8 pair is one character") << "caf%C3%A9" << QString::fromUtf8("caf\xC3\xA9");
        QTest::newRow("a lone high byte is Latin-1") << "caf%E9" << QString::fromUtf8("caf\xC3\xA9");
        QTest::newRow("stray percent copied") << "50%korting"
                                              << "50%korting";
        QTest::newRow("one digit at the end copied") << "a%4"
                                                     << "a%4";
        QTest::newRow("percent at the end copied") << "100%"
                                                   << "100%";
        QTest::newRow("encoded percent decoded once") << "%2541"
                                                      << "%41";
    }
    void percentDecode()
    {
        QFETCH(QString, text);
        QFETCH(QString, decoded);
        QCOMPARE(PercentDecode(text), decoded);
    }

    void paramListValue_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("second pair, key in other case with spaces") << "font=Arial;PageLength= 12 ;"
                                                                    << "  pagelength "
                                                                    << " 12 ";
        QTest::newRow("first pair") << "font=Arial;pagelength=12;"
                                    << "font"
                                    << "Arial";
        QTest::newRow("names trimmed") << " font =Arial;"
                                       << "FONT"
                                       << "Arial";
        QTest::newRow("only pair lacks its semicolon") << "pagelength=12"
                                                       << "pagelength"
                                                       << "";
        QTest::newRow("last pair lacks its semicolon") << "a=1;pagelength=12"
                                                       << "pagelength"
                                                       << "";
        QTest::newRow("missing key") << "a=1;b=2;"
                                     << "c"
                                     << "";
        QTest::newRow("empty list") << ""
                                    << "a"
                                    << "";
        QTest::newRow("empty value") << "a=;b=2;"
                                     << "a"
                                     << "";
        QTest::newRow("equals sign in a value starts a new name") << "a=x=y;"
                                                                  << "x"
                                                                  << "y";
    }
    void paramListValue()
    {
        QFETCH(QString, list);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(ParamListValue(list, key), value);
    }

    void oemToAnsi()
    {
        // 129 is "ü" and 130 "é" in code page 850; ASCII and wide characters stay.
        QCOMPARE(OemToAnsi(QString(QChar(129)) + QChar(130) + QLatin1Char('a') + QChar(0x20AC)),
                 QString::fromUtf8("\xC3\xBC\xC3\xA9"
                                   "a\xE2\x82\xAC"));
    }

    void clearInputs()
    {
        QWidget form;
        auto *panel = new QWidget(&form);
        auto *edit = new QLineEdit(QStringLiteral("naam"), panel);
        auto *box = new QGroupBox(panel);
        auto *memo = new QPlainTextEdit(QStringLiteral("tekst"), box);
        auto *combo = new QComboBox(box);
        combo->setEditable(true);
        combo->setEditText(QStringLiteral("keuze"));
        auto *list = new QComboBox(box);
        list->addItems({QStringLiteral("a"), QStringLiteral("b")});
        auto *grid = new QTableWidget(1, 1, &form);
        grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("cel")));
        auto *label = new QLabel(QStringLiteral("Naam"), panel);
        auto *inner = new QLineEdit(QStringLiteral("onder een label"), label);

        ClearInputs(&form);
        QCOMPARE(edit->text(), QString());
        QCOMPARE(memo->toPlainText(), QString());
        QCOMPARE(combo->currentText(), QString());
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("cel"));  // a grid is left alone
        QCOMPARE(label->text(), QStringLiteral("Naam"));  // so is a label
        QCOMPARE(inner->text(), QStringLiteral("onder een label"));  // and what it holds
        ClearInputs(nullptr);
    }

    void searchNoticeOnlyWhenActive()
    {
        state().title = QStringLiteral("Marbelt Quillon v1.3.4.1");
        TPauzeForm form;
        bool active = false;
        const ActiveApplicationHook previous = setActiveApplicationHook([&] { return active; });
        ShowSearchNotice();
        QVERIFY(!form.isVisible());  // another application is in front
        active = true;
        ShowSearchNotice();
        QVERIFY(form.isVisible());
        QCOMPARE(form.titleLabel()->text(), QStringLiteral("Marbelt Quillon v1.3.4.1"));
        QCOMPARE(form.captionLabel()->text(), QStringLiteral("Er wordt gezocht, een ogenblik geduld ..."));
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        HideSearchNotice();
        QVERIFY(!form.isVisible());
        setActiveApplicationHook(previous);
    }
};

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
