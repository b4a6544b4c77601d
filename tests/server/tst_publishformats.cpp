// The server's readers of the newsroom's formats (server/publish/Formats)
// against the client's (src/texts, src/output, src/core): one table of cases
// per format, both readers, the same result demanded. The server keeps its
// own readers because it links no Qt; this test is what keeps them equal.

#include "core/ClockRule.h"
#include "output/CyclusLogic.h"
#include "publish/Formats.h"
#include "texts/StoredText.h"
#include "texts/TemplateStrings.h"

#include <QtTest>

namespace pub = qserver::publish;

class TestPublishFormats : public QObject {
    Q_OBJECT
private slots:
    void storedText_data();
    void storedText();
    void values_data();
    void values();
    void editorSettings_data();
    void editorSettings();
    void rubricContent_data();
    void rubricContent();
    void clocks_data();
    void clocks();
    void onAirRule_data();
    void onAirRule();
    void nextClockChange_data();
    void nextClockChange();
    void selection_data();
    void selection();
    void parameters();
};

namespace {
std::string utf8(const QString &s)
{
    return s.toUtf8().toStdString();
}

QString text(const std::string &s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
}  // namespace

void TestPublishFormats::storedText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << "";
    QTest::newRow("one line") << "Een regel<br>";
    QTest::newRow("soft and hard ends, any case") << "een<BR>twee<Hrt>drie<hrt>";
    QTest::newRow("empty paragraphs") << "a<hrt><hrt><hrt>b<hrt>";
    QTest::newRow("only a line end") << "<br>";
    QTest::newRow("the editor's escaped <") << "a <\u2264> b en <\u2264>c<hrt>";
    QTest::newRow("other markup dropped") << "<bold>vet<normal> tekst<br>";
    QTest::newRow("an open tag takes the rest") << "voor <open tag<br>na";
    QTest::newRow("LF dropped, CR kept as a line end") << "een\ntwee\rdrie";
    QTest::newRow("blanks in a tag name") << "a< hrt >b";
    QTest::newRow("without a final line end") << "laatste";
    QTest::newRow("non-ASCII") << "Café één<hrt>ÿ€<br>";
}

void TestPublishFormats::storedText()
{
    QFETCH(QString, stored);
    QStringList server;
    for (const std::string &l : pub::storedTextLines(utf8(stored)))
        server << text(l);
    QCOMPARE(server, texts::storedTextLines(stored));
}

void TestPublishFormats::values_data()
{
    QTest::addColumn<QString>("values");
    QTest::newRow("empty") << "";
    QTest::newRow("plain pairs") << "host:\"ftp.example\":username:\"kabel\"";
    QTest::newRow("escaped quote and backslash") << "command:\"cp \\\"%f\\\" c:\\\\doel\"";
    QTest::newRow("colon inside quotes") << "tijd:\"12:30\":x:\"\"";
    QTest::newRow("name without a value") << "a:\"1\":b";
    QTest::newRow("unterminated quote") << "a:\"open:b";
    QTest::newRow("quoted name") << "\"na:am\":\"w\"";
    QTest::newRow("non-ASCII escaped") << "t:\"\\é\"";
}

void TestPublishFormats::values()
{
    QFETCH(QString, values);
    QList<texts::ValuePair> server;
    for (const pub::NameValue &p : pub::parseValues(utf8(values)))
        server.append({text(p.name), text(p.value)});
    QCOMPARE(server, texts::parseValues(values));
}

void TestPublishFormats::editorSettings_data()
{
    QTest::addColumn<QString>("settings");
    QTest::newRow("empty") << "";
    QTest::newRow("pagelength") << "usememo=true;pagelength=8;";
    QTest::newRow("last of two") << "pagelength=8;pagelength=5;";
    QTest::newRow("quoted") << "font=\"Arial;Bold\";pagelength=\"1\\2\";";
    QTest::newRow("pair without ';' does not count") << "pagelength=8";
    QTest::newRow("second '=' makes the name") << "a=pagelength=9;";
}

void TestPublishFormats::editorSettings()
{
    QFETCH(QString, settings);
    QString client;
    bool found = false;
    for (const texts::EditorSetting &s : texts::parseEditorSettings(settings))
        if (s.name == QLatin1String("pagelength")) {
            client = s.value;
            found = true;
        }
    const auto server = pub::editorSetting(utf8(settings), "pagelength");
    QCOMPARE(server.has_value(), found);
    QCOMPARE(text(server.value_or("")), client);
}

void TestPublishFormats::rubricContent_data()
{
    QTest::addColumn<QString>("content");
    const QString ff = QString(QChar(0xFF));
    QTest::newRow("empty") << "";
    QTest::newRow("two ids") << "12" + ff + "7" + ff;
    QTest::newRow("last separator missing") << "12" + ff + "7";
    QTest::newRow("negative id") << "-3" + ff;
    QTest::newRow("duplicates kept") << "4" + ff + "4" + ff;
    QTest::newRow("a word that is no number") << "12" + ff + "x7" + ff;
    QTest::newRow("an empty word") << ff + "7" + ff;
    QTest::newRow("too large") << "99999999999" + ff;
}

void TestPublishFormats::rubricContent()
{
    QFETCH(QString, content);
    const auto client = output::ParseRubricContent(content);
    const auto server = pub::rubricContentIds(utf8(content));
    QCOMPARE(server.has_value(), client.has_value());
    if (!client)
        return;
    QList<int> ids;
    for (std::int64_t id : *server)
        ids << int(id);
    QCOMPARE(ids, *client);
}

void TestPublishFormats::clocks_data()
{
    QTest::addColumn<QString>("clocks");
    const QString ff = QString(QChar(0xFF));
    const QString one =
        QStringList({"20240101", "20240107", "00:00", "23:59", "06:00", "18:00", "xxxxx--"}).join(ff) + ff;
    QTest::newRow("empty") << "";
    QTest::newRow("one clock") << one;
    QTest::newRow("two clocks") << one + one;
    QTest::newRow("incomplete last clock") << one + "20240201" + ff + "20240202";
}

void TestPublishFormats::clocks()
{
    QFETCH(QString, clocks);
    QList<core::ClockEntry> server;
    for (const pub::ClockEntry &c : pub::clockEntries(utf8(clocks)))
        server.append({text(c.startDate), text(c.endDate), text(c.startTime), text(c.endTime), text(c.dailyFrom),
                       text(c.dailyUntil), text(c.weekdays)});
    const QList<core::ClockEntry> client = core::ParseClockList(clocks);
    QCOMPARE(server.size(), client.size());
    for (qsizetype i = 0; i < client.size(); ++i)
        QCOMPARE(server[i], client[i]);
}

namespace {
QString clockList(const QList<QStringList> &clocks)
{
    const QString ff = QString(QChar(0xFF));
    QString out;
    for (const QStringList &c : clocks)
        out += c.join(ff) + ff;
    return out;
}
}  // namespace

// "ok" or "***" in the cycle: the server leaves out of its files what the
// client's cycle marks as not on air.
void TestPublishFormats::onAirRule_data()
{
    QTest::addColumn<QString>("clocks");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<bool>("active");
    const QStringList week = {"20310310", "20310316", "00:00:00", "23:59:59", "00:00:00", "23:59:59", "xxxxxxx"};
    QTest::newRow("defaults, noon") << clockList({week}) << "20310312"
                                    << "12:00" << true;
    QTest::newRow("defaults, 23:59 is past the daily end") << clockList({week}) << "20310312"
                                                           << "23:59" << false;
    QTest::newRow("before the start date") << clockList({week}) << "20310309"
                                           << "12:00" << false;
    QStringList ends = week;
    ends[3] = "12:00:00";
    QTest::newRow("end time counts its own minute") << clockList({ends}) << "20310316"
                                                    << "12:00" << true;
    QTest::newRow("and not the next") << clockList({ends}) << "20310316"
                                      << "12:01" << false;
    QStringList evening = week;
    evening[5] = "18:00:00";
    QTest::newRow("daily until is excluded") << clockList({evening}) << "20310312"
                                             << "18:00" << false;
    QStringList weekdays = week;
    weekdays[6] = "xxxxx--";
    QTest::newRow("not on Saturday") << clockList({weekdays}) << "20310315"
                                     << "12:00" << false;
    QTest::newRow("a second clock that is on") << clockList({weekdays, week}) << "20310315"
                                               << "12:00" << true;
    QTest::newRow("no clocks") << ""
                               << "20310312"
                               << "12:00" << false;
    QTest::newRow("days cut short") << clockList({{"20310310", "20310316", "00:00", "23:59", "00:00", "23:59", "xx"}})
                                    << "20310312"
                                    << "12:00" << false;
    QTest::newRow("a date that is no date") << clockList({week}) << "2031031x"
                                            << "12:00" << false;
}

void TestPublishFormats::onAirRule()
{
    QFETCH(QString, clocks);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(bool, active);
    bool client = false;
    for (const core::ClockEntry &c : core::ParseClockList(clocks))
        client = client || core::ClockActive(c, date, time);
    QCOMPARE(client, active);
    QCOMPARE(pub::clockListActive(utf8(clocks), utf8(date), utf8(time)), active);
}

// The next change the server waits for is the first minute at which the
// client's rule, tried minute by minute, gives another answer.
void TestPublishFormats::nextClockChange_data()
{
    QTest::addColumn<QString>("clocks");
    QTest::addColumn<QString>("now");  // yyyymmdd hh:nn
    QTest::addColumn<QString>("expected");  // yyyymmdd hh:nn, or "" for none
    const QStringList week = {"20310312", "20310318", "00:00:00", "23:59:59", "00:00:00", "23:59:59", "xxxxxxx"};
    QTest::newRow("defaults: off at 23:59") << clockList({week}) << "20310312 12:00"
                                            << "20310312 23:59";
    QTest::newRow("defaults at 23:59: on again at midnight") << clockList({week}) << "20310312 23:59"
                                                             << "20310313 00:00";
    QStringList later = week;
    later[4] = "18:00:00";
    QTest::newRow("the daily window opens") << clockList({later}) << "20310312 12:00"
                                            << "20310312 18:00";
    QStringList ends = week;
    ends[1] = "20310312";
    ends[3] = "12:00:00";
    QTest::newRow("a minute after the end time") << clockList({ends}) << "20310312 11:30"
                                                 << "20310312 12:01";
    QTest::newRow("ended: nothing changes") << clockList({ends}) << "20310312 12:30"
                                            << "";
    QStringList month = week;
    month[0] = "20310415";
    month[1] = "20310420";
    month[2] = "06:30:00";
    QTest::newRow("starts next month, at its start time") << clockList({month}) << "20310312 12:00"
                                                          << "20310415 06:30";
    QStringList weekdays = week;
    weekdays[1] = "20310331";
    weekdays[6] = "xxxxx--";
    QTest::newRow("friday night to monday") << clockList({weekdays}) << "20310314 23:59"
                                            << "20310317 00:00";
    QTest::newRow("two clocks, the earlier change") << clockList({month, later}) << "20310312 12:00"
                                                    << "20310312 18:00";
    QStringList never = week;
    never[6] = "-------";
    QTest::newRow("no day chosen") << clockList({never}) << "20310312 12:00"
                                   << "";
    QTest::newRow("no clocks") << ""
                               << "20310312 12:00"
                               << "";
}

void TestPublishFormats::nextClockChange()
{
    QFETCH(QString, clocks);
    QFETCH(QString, now);
    QFETCH(QString, expected);
    const auto next = pub::nextClockChange(utf8(clocks), {utf8(now.left(8)), utf8(now.mid(9))});
    QCOMPARE(next ? text(next->date + " " + next->time) : QString(), expected);
    // The client's rule minute by minute, over forty days.
    const QList<core::ClockEntry> entries = core::ParseClockList(clocks);
    auto active = [&](const QDateTime &t) {
        for (const core::ClockEntry &c : entries)
            if (core::ClockActive(c, t.toString("yyyyMMdd"), t.toString("HH:mm")))
                return true;
        return false;
    };
    QDateTime t = QDateTime::fromString(now, "yyyyMMdd HH:mm");
    t.setTimeSpec(Qt::UTC);
    bool before = active(t);
    QString walked;
    for (int i = 0; i < 40 * 24 * 60 && walked.isEmpty(); ++i) {
        t = t.addSecs(60);
        if (active(t) != before)
            walked = t.toString("yyyyMMdd HH:mm");
    }
    QCOMPARE(walked, expected);
}

void TestPublishFormats::selection_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("ids");  // joined by ',', or "refused"
    QTest::newRow("empty selection") << " "
                                     << "";
    QTest::newRow("as the window sends it") << " 12 7 "
                                            << "12,7";
    QTest::newRow("each id once") << " 7 12 7 "
                                  << "7,12";
    QTest::newRow("tabs and extra blanks") << "\t3   4"
                                           << "3,4";
    QTest::newRow("a word that is no number") << " 1 x "
                                              << "refused";
    QTest::newRow("a negative id") << " -1 "
                                   << "refused";
}

void TestPublishFormats::selection()
{
    QFETCH(QString, selection);
    QFETCH(QString, ids);
    const auto got = pub::parseSelection(utf8(selection));
    QStringList out;
    if (got)
        for (std::int64_t id : *got)
            out << QString::number(id);
    QCOMPARE(got ? out.join(QLatin1Char(',')) : QStringLiteral("refused"), ids);
}

// A file's parameters: the definition's names with their start values (as
// the settings panel shows them), overridden by the file's values; names
// the definition does not know are left out.
void TestPublishFormats::parameters()
{
    const std::string definition = "info:Kop:edit:titel:Titel:\"Standaard\":checkbox:vet:Vet:\"true\":"
                                   "combobox:kleur:Kleur:\"rood:groen\":merge:Ander:memo:noot:Noot:\"\"";
    std::vector<pub::NameValue> expected = {{"titel", "Nieuws"}, {"vet", "true"}, {"kleur", "rood"}, {"noot", ""}};
    QVERIFY(pub::fileParameters(definition, "titel:\"Nieuws\":onbekend:\"x\"") == expected);
    QStringList names;
    for (const texts::TemplateEntry &e : texts::parseDefinition(QString::fromStdString(definition)))
        if (e.kind != QLatin1String("info"))
            names << e.name;
    QCOMPARE(names, QStringList({"titel", "vet", "kleur", "noot"}));
}

QTEST_GUILESS_MAIN(TestPublishFormats)
#include "tst_publishformats.moc"
