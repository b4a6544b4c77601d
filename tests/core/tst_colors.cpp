#include "core/Colors.h"

#include <QTest>

using namespace core;

class TestColors : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("color");  // invalid: not a number
        QTest::newRow("stored red is 0000FF") << "0000FF" << QColor(255, 0, 0);
        QTest::newRow("with dollar") << "$FF0000" << QColor(0, 0, 255);
        QTest::newRow("short, lower case") << "8000" << QColor(0, 128, 0);
        QTest::newRow("blanks around") << " $A0B0C0 " << QColor(0xC0, 0xB0, 0xA0);
        QTest::newRow("top byte ignored") << "FF0000FF" << QColor(255, 0, 0);
        QTest::newRow("empty") << "" << QColor();
        QTest::newRow("dollar only") << "$" << QColor();
        QTest::newRow("nine digits") << "1FF0000FF" << QColor();
        QTest::newRow("a colour word") << "geel" << QColor();
        QTest::newRow("a sign") << "-1" << QColor();
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QColor, color);
        const auto parsed = ParseBgrColor(text);
        QCOMPARE(parsed.has_value(), color.isValid());
        if (parsed)
            QCOMPARE(*parsed, color);
    }

    void roundTrip()
    {
        const QColor orange(239, 140, 41);
        QCOMPARE(ColorToBgr(orange), quint32(0x298CEF));
        QCOMPARE(BgrHex(orange), QStringLiteral("298CEF"));
        QCOMPARE(ColorFromBgr(ColorToBgr(orange)), orange);
        QCOMPARE(BgrHex(QColor(255, 0, 0)), QStringLiteral("0000FF"));
    }
};

QTEST_APPLESS_MAIN(TestColors)
#include "tst_colors.moc"
