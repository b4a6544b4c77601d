// The versions window without widgets: the clock rule and the clock page's
// list operations, template start commands, editor settings, the composed
// statements and the line formats of the tabs.

#include "core/Dates.h"
#include "platform/Errors.h"
#include "texts/Clocks.h"
#include "texts/StartCommands.h"
#include "texts/VersieSql.h"

#include <QtTest>

using namespace texts;

namespace {

const QDate kToday(2031, 3, 12);  // a Wednesday

// Clocks written as seven fields joined by "|".
ClockEntry clock(const QString &fields)
{
    const QStringList f = fields.split(u'|');
    return {f.value(0), f.value(1), f.value(2), f.value(3), f.value(4), f.value(5), f.value(6)};
}

const QString kDefaults = QStringLiteral("20310312|20310318|00:00:00|23:59:59|00:00:00|23:59:59|xxxxxxx");

// Short names for the clocks of the list tests.
const QMap<QString, ClockEntry> kNamed = {
    {"A", clock("20310301|20310331|00:00:00|23:59:59|00:00:00|23:59:59|xxxxx--")},
    {"B", clock("20310310|20310311|08:00:00|18:00:00|06:00:00|22:00:00|-----xx")},
    {"D", clock(kDefaults)},
    {"F", clock("20310401|20310402|10:00:00|11:00:00|00:00:00|23:59:59|x------")}};

QString nameOf(const ClockEntry &c)
{
    return kNamed.key(c, QStringLiteral("?"));
}

QString names(const QList<ClockEntry> &clocks)
{
    QStringList out;
    for (const ClockEntry &c : clocks)
        out << nameOf(c);
    return out.join(u',');
}

QString dump(const EditorSetup &e)
{
    auto n = [](const std::optional<int> &v) { return v ? QString::number(*v) : QStringLiteral("-"); };
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(e.useMemo ? "memo" : "editor", e.font, n(e.size), n(e.width), n(e.pageLength));
}

}  // namespace

class TestVersieLogic : public QObject {
    Q_OBJECT
private slots:
    void clockRule_data();
    void clockRule();
    void defaultsAreActiveAllWeek();
    void clockListFormat();
    void clockPage_data();
    void clockPage();
    void clockLine();

    void parseStartCommands_data();
    void parseStartCommands();
    void runStartCommands_data();
    void runStartCommands();

    void editorSettings_data();
    void editorSettings();

    void statements_data();
    void statements();
    void versionLines();
};

void TestVersieLogic::clockRule_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<bool>("active");
    const QString endsNoon = "20310305|20310312|00:00:00|12:00:00|00:00:00|23:59:59|xxxxxxx";
    QTest::newRow("end date today, 12:00 is still in") << endsNoon << "20310312"
                                                       << "12:00" << true;
    QTest::newRow("end date today, 12:01 is out") << endsNoon << "20310312"
                                                  << "12:01" << false;
    const QString startsLate = "20310312|20310318|09:30:00|23:59:59|00:00:00|23:59:59|xxxxxxx";
    QTest::newRow("start date, before the start time") << startsLate << "20310312"
                                                       << "09:29" << false;
    QTest::newRow("start date, at the start time") << startsLate << "20310312"
                                                   << "09:30" << true;
    QTest::newRow("start time only holds on the start date") << startsLate << "20310313"
                                                             << "00:00" << true;
    QTest::newRow("before the start date") << kDefaults << "20310311"
                                           << "12:00" << false;
    QTest::newRow("after the end date") << kDefaults << "20310319"
                                        << "12:00" << false;
    QTest::newRow("out time is exclusive") << kDefaults << "20310312"
                                           << "23:59" << false;
    const QString office = "20310301|20310331|00:00:00|23:59:59|08:00:00|18:00:00|xxxxxxx";
    QTest::newRow("before the in time") << office << "20310312"
                                        << "07:59" << false;
    QTest::newRow("in the daily window") << office << "20310312"
                                         << "17:59" << true;
    QTest::newRow("at the out time") << office << "20310312"
                                     << "18:00" << false;
    QTest::newRow("Wednesday is position 3") << "20310301|20310331|00:00:00|23:59:59|00:00:00|23:59:59|xx-xxxx"
                                             << "20310312"
                                             << "12:00" << false;
    QTest::newRow("Sunday is position 7") << "20310301|20310331|00:00:00|23:59:59|00:00:00|23:59:59|------x"
                                          << "20310316"
                                          << "12:00" << true;
    QTest::newRow("a days field cut short") << "20310301|20310331|00:00:00|23:59:59|00:00:00|23:59:59|xx"
                                            << "20310312"
                                            << "12:00" << false;
    QTest::newRow("an empty clock") << "||||||"
                                    << "20310312"
                                    << "12:00" << false;
}

void TestVersieLogic::clockRule()
{
    QFETCH(QString, fields);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(bool, active);
    QCOMPARE(ClockActive(clock(fields), date, time), active);
}

// With the defaults a version is current every day of the week from today,
// from 00:00 up to but not including 23:59; a version without clocks never.
void TestVersieLogic::defaultsAreActiveAllWeek()
{
    const QString list = FormatClock(ClockDefaults::from(kToday).entry());
    QCOMPARE(list, FormatClock(clock(kDefaults)));
    for (int day = 0; day < 7; ++day) {
        const QDate d = kToday.addDays(day);
        QVERIFY(ClockListActive(list, QDateTime(d, QTime(0, 0))));
        QVERIFY(ClockListActive(list, QDateTime(d, QTime(23, 58, 59))));
        QVERIFY(!ClockListActive(list, QDateTime(d, QTime(23, 59))));
    }
    QVERIFY(!ClockListActive(list, QDateTime(kToday.addDays(7), QTime(12, 0))));
    QVERIFY(!ClockListActive(QString(), QDateTime(kToday, QTime(12, 0))));
}

void TestVersieLogic::clockListFormat()
{
    const QString two = FormatClockList({kNamed["A"], kNamed["B"]});
    QCOMPARE(two.count(QChar(0xFF)), 14);
    QCOMPARE(names(ParseClockList(two)), QString("A,B"));
    QVERIFY(ParseClockList(QString()).isEmpty());
    // A last clock cut short keeps what there is; its missing fields are empty.
    const QList<ClockEntry> cut = ParseClockList(FormatClock(kNamed["A"]) + "20310401\u00ff20310402");
    QCOMPARE(cut.size(), 2);
    QCOMPARE(cut.at(1), clock("20310401|20310402|||||"));
    // An old tblklok row: columns 2 to 8.
    QCOMPARE(
        ClockFromRow({"7", "12", "20310401", "20310402", "10:00:00", "11:00:00", "00:00:00", "23:59:59", "x------"}),
        kNamed["F"]);
}

void TestVersieLogic::clockPage_data()
{
    QTest::addColumn<QString>("start");  // the list as loaded
    QTest::addColumn<int>("selected");  // selected after loading (shown in the fields)
    QTest::addColumn<QString>("steps");  // "edit" puts F into the fields
    QTest::addColumn<QString>("list");  // afterwards
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<QString>("fields");
    QTest::newRow("saving an empty list keeps the fields as the only clock") << "" << -1 << "edit store"
                                                                             << "F" << 0 << "F";
    QTest::newRow("removing the only clock and saving keeps the fields") << "A" << 0 << "remove store"
                                                                         << "A" << 0 << "A";
    QTest::newRow("removing the second of two leaves the first") << "A,B" << 1 << "remove store"
                                                                 << "A" << 0 << "A";
    QTest::newRow("a store with none selected goes into the first") << "A,B" << -1 << "edit store"
                                                                    << "F,B" << 0 << "F";
    QTest::newRow("a store goes into the selected clock") << "A,B" << 1 << "edit store"
                                                          << "A,F" << 1 << "F";
    QTest::newRow("Toevoegen adds the defaults and shows them") << "A" << 0 << "add"
                                                                << "A,D" << 1 << "D";
    QTest::newRow("Toevoegen on an empty list") << "" << -1 << "add store"
                                                << "D" << 0 << "D";
    QTest::newRow("removing with none selected does nothing") << "A,B" << -1 << "remove"
                                                              << "A,B" << -1 << "?";
}

void TestVersieLogic::clockPage()
{
    QFETCH(QString, start);
    QFETCH(int, selected);
    QFETCH(QString, steps);
    QFETCH(QString, list);
    QFETCH(int, selectedAfter);
    QFETCH(QString, fields);
    TClockList page;
    QList<ClockEntry> loaded;
    for (const QString &n : start.split(u',', Qt::SkipEmptyParts))
        loaded << kNamed[n];
    page.setEntries(loaded);
    page.select(selected);
    for (const QString &step : steps.split(u' ')) {
        if (step == "edit")
            page.fields() = kNamed["F"];
        else if (step == "store")
            page.StoreClock();
        else if (step == "add")
            page.AddClock(kNamed["D"]);
        else if (step == "remove")
            page.RemoveClock();
    }
    QCOMPARE(names(page.entries()), list);
    QCOMPARE(page.selected(), selectedAfter);
    QCOMPARE(nameOf(page.fields()), fields);
    QCOMPARE(page.list(), FormatClockList(page.entries()));
}

void TestVersieLogic::clockLine()
{
    QCOMPARE(ClockLineText(kNamed["B"]), QString("Van: 10-03-2031 tot: 11-03-2031 starttijd: 08:00 eindtijd: 18:00 "
                                                 "intijd: 06:00 uittijd: 22:00 dagen: -----xx"));
    QVERIFY_THROWS_EXCEPTION(platform::ConversionError, ClockLineText(clock("2031|20310311|08:00:00|||||")));
    QVERIFY_THROWS_EXCEPTION(platform::ConversionError, ClockLineText(clock("20310310|20310311|acht|||||")));
}

void TestVersieLogic::parseStartCommands_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("commands");  // name=value joined by "|"
    QTest::newRow("the topic title, in any case") << "setkop=Live: $AgendaKop$ ($agendakop$);"
                                                  << "setkop=Live: Brug open (Brug open)";
    QTest::newRow("names trimmed and lowercased") << " SetKop =x;StartDate=1;"
                                                  << "setkop=x|startdate=1";
    QTest::newRow("without = the name is empty") << "hallo;"
                                                 << "=hallo";
    QTest::newRow("a second = makes a new name") << "a=b=c;"
                                                 << "b=c";
    QTest::newRow("after the last ; nothing counts") << "setkop=x;addbody=y"
                                                     << "setkop=x";
    QTest::newRow("empty") << ""
                           << "";
}

void TestVersieLogic::parseStartCommands()
{
    QFETCH(QString, initial);
    QFETCH(QString, commands);
    QStringList got;
    for (const StartCommand &c : ParseStartCommands(initial, "Brug open"))
        got << c.name + "=" + c.value;
    QCOMPARE(got.join(u'|'), commands);
}

void TestVersieLogic::runStartCommands_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QStringList>("answers");  // of the input dialog; "-" cancels
    QTest::addColumn<QString>("result");  // kop|body|start date|end date|start time|in|out
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("shown");  // warnings and prompts in order
    QTest::newRow("headline with the title, first clock tomorrow")
        << "setkop=$agendakop$ - live;startdate=1;" << QStringList{}
        << "Brug open - live|basis<hrt>|20310313|20310318|00:00:00|00:00:00|23:59:59"
        << "" << QStringList{};
    QTest::newRow("times and the end date")
        << "enddate=2;starttime=9:15;intime=06:00:00;outtime=20:00;" << QStringList{}
        << "kop|basis<hrt>|20310312|20310314|09:15:00|06:00:00|20:00:00"
        << "" << QStringList{};
    QTest::newRow("addbody appends to the stored text") << "addbody=Bron: ANP<hrt>;" << QStringList{}
                                                        << "kop|basis<hrt>Bron: ANP<hrt>|20310312|20310318|00:00:00|"
                                                           "00:00:00|23:59:59"
                                                        << "" << QStringList{};
    QTest::newRow("requests: answers capitalised, a typed < kept, cancel keeps")
        << "requestkop=Wie?;requestbody=Wat?;requestkop=Nog eens?;warning=Let op;"
        << QStringList{"  pIET JANSEN ", "a < b", "-"}
        << u"Piet jansen|A <\u2264> b|20310312|20310318|00:00:00|00:00:00|23:59:59"_qs << ""
        << QStringList{"ask Wat?", "ask Wie?", "ask Nog eens?", "warning Let op"};
    QTest::newRow("unknown commands are ignored")
        << "kleur=rood;=leeg;" << QStringList{} << "kop|basis<hrt>|20310312|20310318|00:00:00|00:00:00|23:59:59"
        << "" << QStringList{};
    QTest::newRow("a start date that is not a number stops")
        << "setkop=nieuw;startdate=morgen;enddate=3;" << QStringList{} << ""
        << "'morgen' is geen geldig geheel getal" << QStringList{};
    QTest::newRow("a time that is not a time stops") << "intime=25:00;" << QStringList{} << ""
                                                     << "'25:00' is geen geldige tijd" << QStringList{};
}

void TestVersieLogic::runStartCommands()
{
    QFETCH(QString, initial);
    QFETCH(QStringList, answers);
    QFETCH(QString, result);
    QFETCH(QString, error);
    QFETCH(QStringList, shown);
    TStartResult r{"kop", "basis<hrt>", ClockDefaults::from(kToday)};
    QStringList seen;
    TStartHooks hooks;
    hooks.today = kToday;
    hooks.warning = [&](const QString &text) { seen << "warning " + text; };
    hooks.ask = [&](const QString &prompt, QString &answer) {
        seen << "ask " + prompt;
        const QString a = answers.isEmpty() ? QString("-") : answers.takeFirst();
        if (a == "-")
            return false;
        answer = a;
        return true;
    };
    try {
        RunStartCommands(ParseStartCommands(initial, "Brug open"), r, hooks);
        QVERIFY2(error.isEmpty(), "no error raised");
    } catch (const platform::ConversionError &e) {
        QCOMPARE(e.text(), error);
        return;
    }
    const ClockEntry d = r.defaults.entry();
    QCOMPARE(QStringList({r.headline, r.body, d.startDate, d.endDate, d.startTime, d.inTime, d.outTime}).join(u'|'),
             result);
    seen.sort();
    shown.sort();
    QCOMPARE(seen, shown);
}

void TestVersieLogic::editorSettings_data()
{
    QTest::addColumn<QStringList>("templates");  // editor texts applied one after another
    QTest::addColumn<QString>("setup");
    QTest::newRow("nothing set") << QStringList{""} << "editor||-|-|-";
    QTest::newRow("everything") << QStringList{"usememo=no;font=Verdana;size=14;width=320;pagelength=12;"}
                                << "editor|Verdana|14|320|12";
    QTest::newRow("width -1 and names in any case") << QStringList{"WIDTH=-1;UseMemo=yes;"} << "memo||-|-1|-";
    QTest::newRow("a size that is no number stops before pagelength")
        << QStringList{"pagelength=30;size=groot;width=300;"} << "editor||-|-|-";
    QTest::newRow("never cleared: a later template keeps what it does not name")
        << QStringList{"font=Courier;size=12;", "size=18;usememo=yes;"} << "memo|Courier|18|-|-";
}

void TestVersieLogic::editorSettings()
{
    QFETCH(QStringList, templates);
    QFETCH(QString, setup);
    TEditorSettings settings;
    for (const QString &t : templates)
        settings.merge(parseEditorSettings(t));
    QCOMPARE(dump(EvaluateEditorSettings(settings)), setup);
}

void TestVersieLogic::statements_data()
{
    QTest::addColumn<QString>("composed");
    QTest::addColumn<QString>("expected");
    const QDateTime moment(kToday, QTime(9, 41, 7));
    QTest::newRow("version list") << VersionListSql(12)
                                  << "select tblteksten.id,kop,tbltemplate.naam from tblteksten,tbltemplate where "
                                     "agendaid = 12 and tbltemplate.id = tblteksten.template";
    QTest::newRow("save, text escaped")
        << SaveVersionSql({7, "Kop 'x'", "a\\b<hrt>", "naam:\"v\"", 2, moment, 3, "k'\u00ff"})
        << u"update tblteksten set kop = 'Kop \\'x\\'', body = 'a\\\\b<hrt>', extra = 'naam:\"v\"', paginacount = 2 "
           u",datum = '20310312', tijd = '09:41', wie = 3, klok = 'k\\'\u00ff' where id = 7 "_qs;
    QTest::newRow("insert") << InsertVersionSql({40, 12, 5, "Kop", "it's", 3, moment})
                            << "insert into tblteksten (id,agendaid,template,kop,body,wie,datum,tijd) values "
                               "(40,12,5,'Kop','it\\'s',3,'20310312','09:41')";
    QTest::newRow("goals") << GoalsSql(8)
                           << "select id,naam from tbltemplate where id in (select template from tblredactietemplate "
                              "where redactie = 8) and parent = -1 order by naam";
    QTest::newRow("basis versions") << BasisVersionsSql(12)
                                    << "select tblteksten.id,kop,tbltemplate.naam from tbltemplate, tblteksten where "
                                       "tblteksten.template = tbltemplate.id and tblteksten.agendaid = 12 ";
    QTest::newRow("possibilities") << PossibilitiesSql(3) << "select * from tbltemplate where parent = 3 order by naam";
    QTest::newRow("merge, name escaped") << MergeTemplateSql("Radio'Oost")
                                         << "select content from tbltemplate where naam = 'Radio\\'Oost'";
}

void TestVersieLogic::statements()
{
    QFETCH(QString, composed);
    QFETCH(QString, expected);
    QCOMPARE(composed, expected);
}

void TestVersieLogic::versionLines()
{
    const QString tab = VersionTabText("40", "Brug open", "Radio");
    QCOMPARE(tab, QString(u"40\u00ffBrug open \u00ffRadio \u00ff"_qs));
    const VersionLine v = ParseVersionLine(tab);
    QCOMPARE(QStringList({v.id, v.kop, v.naam}), QStringList({"40", "Brug open", "Radio"}));
    const VersionLine b = ParseVersionLine(BasisLineText("41", "Kop \u00e9", "TV"));
    QCOMPARE(QStringList({b.id, b.kop, b.naam}), QStringList({"41", "Kop \u00e9", "TV"}));
}

QTEST_APPLESS_MAIN(TestVersieLogic)
#include "tst_versielogic.moc"
