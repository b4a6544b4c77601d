// The film times without widgets: the film week, every statement of the
// dialog as text (escapes included), the entries and the rules of the time
// fields.

#include "extras/FilmSql.h"

#include <QtTest>

using namespace extras;

class TestFilmSql : public QObject {
    Q_OBJECT
private slots:
    void filmWeek_data();
    void filmWeek();
    void statements_data();
    void statements();
    void entriesAndTexts();
    void dayValues_data();
    void dayValues();
    void typingTimes_data();
    void typingTimes();
};

void TestFilmSql::filmWeek_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("start");
    // The week of Thursday 13 March 2031.
    const QDate thursday(2031, 3, 13);
    QTest::newRow("Thursday: that day") << thursday << thursday;
    QTest::newRow("Friday: the Thursday before") << QDate(2031, 3, 14) << thursday;
    QTest::newRow("Saturday: the Thursday before") << QDate(2031, 3, 15) << thursday;
    QTest::newRow("Sunday: the Thursday after") << QDate(2031, 3, 16) << QDate(2031, 3, 20);
    QTest::newRow("Monday: the Thursday after") << QDate(2031, 3, 10) << thursday;
    QTest::newRow("Wednesday: the next day") << QDate(2031, 3, 12) << thursday;
    QTest::newRow("over the year's end") << QDate(2030, 12, 30) << QDate(2031, 1, 2);
}

void TestFilmSql::filmWeek()
{
    QFETCH(QDate, today);
    QFETCH(QDate, start);
    QCOMPARE(FilmWeekStart(today), start);
    QCOMPARE(start.dayOfWeek(), 4);
}

void TestFilmSql::statements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    const QDate day(2031, 3, 13);
    const QString list = "select f.id,trim(f.naam) || ', ' || b.naam from tblfilm f, tblbioscoop b where b.id = "
                         "f.bioscoop and lower(f.naam) like '%1%' order by f.naam";
    QTest::newRow("film list, empty search") << FilmListSql("") << list.arg("");
    QTest::newRow("film list, lowered") << FilmListSql("StOrm") << list.arg("storm");
    QTest::newRow("film list, quote escaped") << FilmListSql("l'amour") << list.arg("l\\'amour");
    QTest::newRow("film list, percent is no wildcard") << FilmListSql("100%") << list.arg("100\\\\%");
    QTest::newRow("film list, underscore is no wildcard") << FilmListSql("a_") << list.arg("a\\\\_");
    QTest::newRow("cinema list") << CinemaListSql() << "select id,naam from tblbioscoop order by naam";
    QTest::newRow("show film") << ShowFilmSql(4) << "select id,naam,bioscoop from tblfilm where id = 4";
    QTest::newRow("times of a day") << DayTimesSql(4, day)
                                    << "select * from tblfilmtijden where filmid = 4 and datum = '20310313' order "
                                       "by tijd asc";
    QTest::newRow("store film") << StoreFilmSql(4, "Rock 'n' roll \\o/", 2)
                                << "update tblfilm set naam = 'Rock \\'n\\' roll \\\\o/', bioscoop = 2 where id = 4";
    QTest::newRow("delete a day") << DeleteDayTimesSql(4, day)
                                  << "delete from tblfilmtijden where filmid = 4 and datum = '20310313'";
    QTest::newRow("insert a time") << InsertTimeSql(4, day, "20:15")
                                   << "insert into tblfilmtijden values (4,'20310313','20:15')";
    QTest::newRow("insert film") << InsertFilmSql("Kees' avontuur", 1)
                                 << "insert into tblfilm (naam,bioscoop) values ('Kees\\' avontuur',1)";
    QTest::newRow("delete film: shows") << DeleteFilmSql(9).value(0) << "delete from tblfilmtijden where filmid = 9";
    QTest::newRow("delete film: film") << DeleteFilmSql(9).value(1) << "delete from tblfilm where id = 9";
    QTest::newRow("insert cinema") << InsertCinemaSql("Ciné 't Hof")
                                   << "insert into tblbioscoop (naam) values ('Ciné \\'t Hof')";
    QTest::newRow("update cinema") << UpdateCinemaSql(3, "Zaal 1")
                                   << "update tblbioscoop set naam = 'Zaal 1' where id = 3";
    QTest::newRow("delete cinema") << DeleteCinemaSql(3) << "delete from tblbioscoop where id = 3";
    QTest::newRow("films of a cinema") << CinemaFilmCountSql(3) << "select count(*) from tblfilm where bioscoop = 3";
}

void TestFilmSql::statements()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(sql, expected);
}

void TestFilmSql::entriesAndTexts()
{
    const QString e = FilmEntry("12", "Storm over de polder, Cinema Marktplein");
    QCOMPARE(FilmEntryId(e), 12);
    QCOMPARE(FilmEntryText(e), QString("Storm over de polder, Cinema Marktplein"));
    QCOMPARE(FilmEntryId("geen"), -1);
    QCOMPARE(FilmEntryText("7"), QString());
    QCOMPARE(FilmHeader("Tom & Jerry"), QString("Filmtijden voor Tom & Jerry"));
    QCOMPARE(WeekLabel(QDate(2031, 3, 13)), QString("De week van do 13 mrt 2031"));
    QCOMPARE(DayLabel(QDate(2031, 3, 16)), QString("zondag 16 mrt 2031"));
}

void TestFilmSql::dayValues_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("fieldsOfValue");
    QTest::newRow("two shows") << QStringList{"14:30", "20:15", ""} << "14:30,20:15"
                               << QStringList{"14:30", "20:15", ""};
    QTest::newRow("blank fields between are skipped")
        << QStringList{"", "13:00", " ", "21:00"} << "13:00,21:00" << QStringList{"13:00", "21:00", ""};
    QTest::newRow("all blank: no shows") << QStringList{"", ""} << "" << QStringList{""};
}

void TestFilmSql::dayValues()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, value);
    QFETCH(QStringList, fieldsOfValue);
    QCOMPARE(JoinTimes(fields), value);
    QCOMPARE(SplitTimes(value), fieldsOfValue);
}

void TestFilmSql::typingTimes_data()
{
    QTest::addColumn<QString>("keys");  // digits typed one by one at the end
    QTest::addColumn<QString>("typed");  // the field afterwards
    QTest::addColumn<QString>("completed");  // after Enter
    QTest::newRow("four digits") << "1430"
                                 << "14:30"
                                 << "14:30";
    QTest::newRow("hour only") << "14"
                               << "14"
                               << "14:00";
    QTest::newRow("hour and one digit") << "203"
                                        << "20:3"
                                        << "20:30";
    QTest::newRow("a single 9 is not checked") << "9"
                                               << "9"
                                               << "90:00";
    QTest::newRow("more digits than fit") << "123456"
                                          << "12:34"
                                          << "12:34";
}

void TestFilmSql::typingTimes()
{
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(QString, completed);
    QString field;
    for (QChar k : keys) {
        QVERIFY(TimeKeyAllowed(k, false));
        field = BeforeDigit(field);
        if (field.size() < TimeFieldLength)
            field += k;
    }
    QCOMPARE(field, typed);
    QCOMPARE(CompleteTime(field), completed);
    QVERIFY(!TimeKeyAllowed(u':', false));
    QVERIFY(!TimeKeyAllowed(u'a', false));
    QVERIFY(TimeKeyAllowed(QChar(), true));
}

QTEST_APPLESS_MAIN(TestFilmSql)
#include "tst_filmsql.moc"
