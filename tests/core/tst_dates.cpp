#include "core/Dates.h"
#include "platform/Errors.h"

#include <QTest>

using namespace core;

class TestDates : public QObject {
    Q_OBJECT
private slots:
    void weekdayNumber_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("monday1");
        QTest::addColumn<int>("sunday1");
        QTest::newRow("monday") << QDate(2026, 12, 7) << 1 << 2;
        QTest::newRow("thursday") << QDate(2026, 12, 10) << 4 << 5;
        QTest::newRow("saturday") << QDate(2026, 12, 12) << 6 << 7;
        QTest::newRow("sunday") << QDate(2026, 12, 13) << 7 << 1;
        QTest::newRow("leap day, a sunday") << QDate(2004, 2, 29) << 7 << 1;
    }
    void weekdayNumber()
    {
        QFETCH(QDate, date);
        QFETCH(int, monday1);
        QFETCH(int, sunday1);
        QCOMPARE(WeekdayNumber(date), monday1);
        QCOMPARE(SundayWeekdayNumber(date), sunday1);
    }

    void ymdToDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");  // invalid: a conversion error
        QTest::newRow("plain") << "20261210" << QDate(2026, 12, 10);
        QTest::newRow("leap day") << "20240229" << QDate(2024, 2, 29);
        QTest::newRow("characters after the eighth ignored") << "20261210 09:00" << QDate(2026, 12, 10);
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("too short") << "2026121" << QDate();
        QTest::newRow("month 13") << "20261310" << QDate();
        QTest::newRow("no leap day") << "20230229" << QDate();
        QTest::newRow("day zero") << "20261200" << QDate();
        QTest::newRow("blank inside") << "2026 210" << QDate();
        QTest::newRow("sign inside") << "2026-1-1" << QDate();
        QTest::newRow("dashed date") << "10-12-2026" << QDate();
    }
    void ymdToDate()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        if (date.isValid()) {
            QCOMPARE(YmdToDate(text), date);
            QCOMPARE(DateToYmd(date), text.left(8));
            return;
        }
        try {
            YmdToDate(text);
            QFAIL("no conversion error");
        } catch (const platform::ConversionError &e) {
            QCOMPARE(e.text(), QStringLiteral("'%1' is geen geldige datum (jjjjmmdd)").arg(text));
        }
    }

    void format_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("expected");
        const QDateTime thu(QDate(2026, 12, 10), QTime(9, 5, 3, 7));
        const QDateTime sun(QDate(2027, 3, 7), QTime(23, 59, 0));
        QTest::newRow("work date") << "ddd dd mmm yyyy" << thu << "do 10 dec 2026";
        QTest::newRow("short day, march") << "ddd dd mmm yyyy" << sun << "zo 07 mrt 2027";
        QTest::newRow("long day") << "dddd dd mmm yyyy" << sun << "zondag 07 mrt 2027";
        QTest::newRow("long month") << "d mmmm yyyy" << sun << "7 maart 2027";
        QTest::newRow("day without zero, two-digit year") << "ddd d mmm yy hh:nn" << sun << "zo 7 mrt 27 23:59";
        QTest::newRow("with time") << "ddd dd mmm yyyy hh:nn:ss" << thu << "do 10 dec 2026 09:05:03";
        QTest::newRow("time") << "hh:nn" << thu << "09:05";
        QTest::newRow("m after an hour is minutes") << "hh:mm" << thu << "09:05";
        QTest::newRow("m elsewhere is the month") << "mm-dd" << thu << "12-10";
        QTest::newRow("stored date") << "yyyymmdd" << thu << "20261210";
        QTest::newRow("dashed") << "dd-mm-yyyy" << thu << "10-12-2026";
        QTest::newRow("day and month") << "dd mmm" << thu << "10 dec";
        QTest::newRow("quoted text kept") << "\"om\" hh:nn 'uur'" << thu << "om 09:05 uur";
        QTest::newRow("milliseconds") << "ss.zzz" << thu << "03.007";
        QTest::newRow("upper case pattern") << "DD-MM-YYYY" << thu << "10-12-2026";
        QTest::newRow("may has the same short and long name")
            << "mmm mmmm" << QDateTime(QDate(2026, 5, 1), QTime()) << "mei mei";
    }
    void format()
    {
        QFETCH(QString, pattern);
        QFETCH(QDateTime, moment);
        QFETCH(QString, expected);
        QCOMPARE(FormatDateTime(pattern, moment), expected);
    }

    void namesComplete()
    {
        QCOMPARE(ShortDayName(1), QStringLiteral("ma"));
        QCOMPARE(LongDayName(3), QStringLiteral("woensdag"));
        QCOMPARE(ShortMonthName(3), QStringLiteral("mrt"));
        QCOMPARE(LongMonthName(10), QStringLiteral("oktober"));
        QCOMPARE(ShortDayName(0), QString());
        QCOMPARE(LongMonthName(13), QString());
        QCOMPARE(YearOfDate(QDate(1999, 1, 1)), 1999);
    }

    void testClock()
    {
        const QDateTime fixed(QDate(2026, 12, 10), QTime(9, 0));
        const ClockHook previous = setClock([&] { return fixed; });
        QCOMPARE(Today(), fixed.date());
        QCOMPARE(TimeNow(), QTime(9, 0));
        setClock(previous);
        QVERIFY(qAbs(Now().secsTo(QDateTime::currentDateTime())) < 5);
    }
};

QTEST_APPLESS_MAIN(TestDates)
#include "tst_dates.moc"
