#include "core/Tokens.h"

#include <QTest>

using namespace core;

Q_DECLARE_METATYPE(core::CharSet)

class TestTokens : public QObject {
    Q_OBJECT
private slots:
    void takeWhile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<CharSet>("set");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("rest");
        QTest::newRow("empty text") << "" << Letters << ""
                                    << "";
        QTest::newRow("negative id of a list line") << "-12 Brand in de haven" << Digits << "-12"
                                                    << " Brand in de haven";
        QTest::newRow("no member at the front") << " 7" << Digits << ""
                                                << " 7";
        QTest::newRow("kind of a server line") << "agenda update 7" << Letters << "agenda"
                                               << " update 7";
        QTest::newRow("whole text in the set") << "OK" << Letters << "OK"
                                               << "";
        QTest::newRow("letters stop at an accented letter") << "Renée x" << Letters << "Ren"
                                                            << "ée x";
        QTest::newRow("letters stop at a digit") << "jan2 x" << Letters << "jan"
                                                 << "2 x";
        QTest::newRow("blanks of mixed kinds") << "\r\n  \nrest" << Blanks << "\r\n  \n"
                                               << "rest";
        QTest::newRow("tab is no blank") << "\tx" << Blanks << ""
                                         << "\tx";
        QTest::newRow("character 255 is no letter")
            << QString(QChar(0xFF)) + "a" << Letters << "" << QString(QChar(0xFF)) + "a";
    }
    void takeWhile()
    {
        QFETCH(QString, text);
        QFETCH(CharSet, set);
        QFETCH(QString, taken);
        QFETCH(QString, rest);
        QCOMPARE(TakeWhile(text, set), taken);
        QCOMPARE(text, rest);
    }

    void takeUntil_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<CharSet>("set");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("rest");
        QTest::newRow("empty text") << "" << Blanks << ""
                                    << "";
        QTest::newRow("stopping character stays") << "jan info|piet" << CharSet{u'|'} << "jan info"
                                                  << "|piet";
        QTest::newRow("stop at the front") << "|x" << CharSet{u'|'} << ""
                                           << "|x";
        QTest::newRow("no stop at all") << "geen scheiding" << CharSet{u'|'} << "geen scheiding"
                                        << "";
        QTest::newRow("word before a tag") << "tekst<bold>" << CharSet{u'\n', u'\r', u' ', u'<'} << "tekst"
                                           << "<bold>";
        QTest::newRow("field separator 255")
            << QString("12") + QChar(0xFF) + "kop" << CharSet{u'\u00FF'} << "12" << QString(QChar(0xFF)) + "kop";
    }
    void takeUntil()
    {
        QFETCH(QString, text);
        QFETCH(CharSet, set);
        QFETCH(QString, taken);
        QFETCH(QString, rest);
        QCOMPARE(TakeUntil(text, set), taken);
        QCOMPARE(text, rest);
    }

    void setMembers()
    {
        QVERIFY(Digits.contains(u'-'));
        QVERIFY(!Digits.contains(u'+'));
        QVERIFY(Letters.contains(u'z') && Letters.contains(u'A') && !Letters.contains(u'['));
        QVERIFY(!CharSet{u'\u0100'}.contains(u'\u0100'));  // only single-byte characters are members
        QVERIFY((Letters | Digits).contains(u'5'));
    }
};

QTEST_APPLESS_MAIN(TestTokens)
#include "tst_tokens.moc"
