#include "core/Dates.h"
#include "core/LogForm.h"
#include "core/LogView.h"

#include <QApplication>
#include <QDir>
#include <QTest>

using namespace core;

namespace {

// Six pixels a character, seven in bold, rows ten high: layouts in round numbers.
class FixedMeasure : public platform::TextMeasure {
public:
    int width(const QString &text, bool bold) const override { return int(text.size()) * (bold ? 7 : 6); }
    int rowHeight() const override { return 10; }
};

const QColor kView(Qt::white);

QString styleOf(const LogRun &r)
{
    QString s = r.bold ? QStringLiteral("B") : QStringLiteral("N");
    if (r.color != QColor(Qt::black))
        s += QLatin1Char(' ') + r.color.name();
    if (r.opaque)
        s += QStringLiteral(" on ") + r.background.name();
    return s;
}

// One run a line: "y,x [text] style".
QString dump(const QList<LogRun> &runs)
{
    QStringList out;
    for (const LogRun &r : runs)
        out.append(QStringLiteral("%1,%2 [%3] %4").arg(r.y).arg(r.x).arg(r.text, styleOf(r)));
    return out.join(QLatin1Char('\n'));
}

QString dumpLine(const QString &line, int width = 200)
{
    const LogLineLayout l = LayoutLogLine(line, FixedMeasure(), width, kView);
    return QStringLiteral("h%1\n").arg(l.height) + dump(l.runs);
}

}  // namespace

class TestLogView : public QObject {
    Q_OBJECT
private slots:
    void lineLayout_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("status line: time bold, text normal")
            << "<bold>09:05:03<normal> Verbonden" << 200 << "h10\n0,5 [09:05:03] B\n0,61 [ ] N\n0,67 [Verbonden] N";
        QTest::newRow("three spaces drawn as one") << "een   twee" << 200 << "h10\n0,5 [een ] N\n0,29 [twee] N";
        QTest::newRow("word that would end beyond the width wraps")
            << "aaaa bbbb cccc" << 60 << "h20\n0,5 [aaaa ] N\n10,5 [bbbb ] N\n10,35 [cccc] N";
        QTest::newRow("word exactly reaching the width stays")
            << "aaaa bbbb" << 59 << "h10\n0,5 [aaaa ] N\n0,35 [bbbb] N";
        QTest::newRow("word wider than the view leaves no empty row")
            << "xxxxxxxxxxxxxxx yy" << 60 << "h20\n0,5 [xxxxxxxxxxxxxxx ] N\n10,5 [yy] N";
        QTest::newRow("line feed starts a row") << "a\nb" << 200 << "h20\n0,5 [a] N\n10,5 [b] N";
        QTest::newRow("carriage return ignored") << "a\r\nb" << 200 << "h20\n0,5 [a] N\n10,5 [b] N";
        QTest::newRow("every line feed counts") << "a\n\nb" << 200 << "h30\n0,5 [a] N\n20,5 [b] N";
        QTest::newRow("colour words")
            << "<red>r<green>g<blue>b<white>w<black>k" << 200
            << "h10\n0,5 [r] N #ff0000\n0,11 [g] N #008000\n0,17 [b] N #0000ff\n0,23 [w] N #ffffff\n0,29 [k] N";
        QTest::newRow("tag trimmed and lower-cased") << "< Bold >x" << 200 << "h10\n0,5 [x] B";
        QTest::newRow("colour number is BBGGRR") << "<8000FF>x" << 200 << "h10\n0,5 [x] N #ff0080";
        QTest::newRow("misspelt colour turns black") << "<red>a<gren>b" << 200 << "h10\n0,5 [a] N #ff0000\n0,11 [b] N";
        QTest::newRow("empty tag is black") << "<red><>b" << 200 << "h10\n0,5 [b] N";
        QTest::newRow("solid on a back colour")
            << "<back 00FFFF><solid>x<transparent>y" << 200 << "h10\n0,5 [x] N on #ffff00\n0,11 [y] N";
        QTest::newRow("back with a bad number is the view colour")
            << "<back 00FFFF><back:zz><solid>x" << 200 << "h10\n0,5 [x] N on #ffffff";
        QTest::newRow("background is no back tag") << "<background>x" << 200 << "h10\n0,5 [x] N";
        QTest::newRow("two < show the tag as text") << "<<bold>x" << 200 << "h10\n0,5 [bold>x] N";
        QTest::newRow("unclosed tag ends the line") << "a<bold" << 200 << "h10\n0,5 [a] N";
        QTest::newRow("empty line") << "" << 200 << "h10\n";
        QTest::newRow("bold words measured bold") << "<bold>aaaa bbbb" << 66 << "h20\n0,5 [aaaa ] B\n10,5 [bbbb] B";
    }
    void lineLayout()
    {
        QFETCH(QString, line);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(dumpLine(line, width), expected);
    }

    void viewLayout_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("firstShown");
        QTest::addColumn<QString>("expected");
        QTest::newRow("newest at the bottom, oldest scrolled off")
            << QStringList{"een", "twee", "drie", "vier"} << 33 << 1 << "0,5 [twee] N\n10,5 [drie] N\n20,5 [vier] N";
        QTest::newRow("a wrapped line pushes older lines up")
            << QStringList{"een", "aaaa bbbb cccc dddd", "twee"} << 33 << 1
            << "0,5 [aaaa ] N\n0,35 [bbbb ] N\n10,5 [cccc ] N\n10,35 [dddd] N\n20,5 [twee] N";
        QTest::newRow("a line that does not fit hides every older one")
            << QStringList{"een", "aaaa bbbb cccc dddd", "twee"} << 28 << 2 << "15,5 [twee] N";
        QTest::newRow("tags end with their line")
            << QStringList{"<red><bold>rood", "zwart"} << 33 << 0 << "10,5 [rood] B #ff0000\n20,5 [zwart] N";
        QTest::newRow("nothing fits") << QStringList{"een"} << 12 << 1 << "";
        QTest::newRow("no lines") << QStringList{} << 33 << 0 << "";
    }
    void viewLayout()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, height);
        QFETCH(int, firstShown);
        QFETCH(QString, expected);
        const LogViewLayout l = LayoutLogView(lines, FixedMeasure(), QSize(66, height), kView);
        QCOMPARE(dump(l.runs), expected);
        QCOMPARE(l.firstShown, firstShown);
    }

    void capKeepsNewest()
    {
        TLogView view;
        for (int i = 1; i <= 60; ++i)
            view.addLineCapped(QString::number(i));
        QCOMPARE(view.Lines().size(), 50);
        QCOMPARE(view.Lines().first(), QStringLiteral("11"));
        QCOMPARE(view.Lines().last(), QStringLiteral("60"));
        view.deleteLine(0);
        view.deleteLine(99);  // out of range: nothing
        QCOMPARE(view.Lines().first(), QStringLiteral("12"));
    }

    void logFormOnlyCollectsWhileShown()
    {
        const ClockHook previous = setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 5, 3)); });
        TLogForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Log"));
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        form.LogStatus(QStringLiteral("verloren"));
        QVERIFY(form.LogView1()->Lines().isEmpty());
        form.show();
        for (int i = 1; i <= 51; ++i)
            form.LogStatus(QStringLiteral("<blue>server: poll %1").arg(i));
        setClock(previous);
        QCOMPARE(form.LogView1()->Lines().size(), 50);
        QCOMPARE(form.LogView1()->Lines().last(), QStringLiteral("<bold>09:05:03<normal> <blue>server: poll 51"));
        QCOMPARE(form.findChild<TLogView *>(QStringLiteral("LogView1")), form.LogView1());
    }

    // Paints a real view: the sunken frame, a red word and an opaque
    // background must reach the image, and the picture goes to the build
    // folder for a reviewer.
    void paintsAndWritesScreenshot()
    {
        TLogView view;
        view.resize(420, 60);
        view.setColor(Qt::white);
        view.setLines({StampedLogLine(QStringLiteral("Verbonden met newsroom server"), QTime(9, 5, 3)),
                       StampedLogLine(QStringLiteral("<red>Verbinding   verloren!"), QTime(9, 6, 0)),
                       QStringLiteral("<back 00FFFF><solid><blue>gemarkeerd<transparent> en <green>groen")});
        const QImage image = view.render();
        QCOMPARE(image.pixelColor(0, 0), QColor(0x80, 0x80, 0x80));
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::black));
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), QColor(Qt::white));
        bool red = false, yellow = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red |= c.red() > 200 && c.green() < 60 && c.blue() < 60;
                yellow |= c == QColor(255, 255, 0);
            }
        QVERIFY2(red, "the red tag did not reach the picture");
        QVERIFY2(yellow, "the solid background did not reach the picture");

        const QString dir =
            qEnvironmentVariable("QUILLON_BUILD_DIR", QDir::tempPath()) + QStringLiteral("/screenshots");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(image.save(dir + QStringLiteral("/logview.png")));
    }

    // The picture is stretched over the whole control, also after a resize.
    void backgroundStretched()
    {
        QPixmap picture(4, 4);
        picture.fill(QColor(0, 0, 200));
        TLogView view;
        view.resize(100, 33);
        view.setBackground(picture);
        QCOMPARE(view.render().pixelColor(50, 16), QColor(0, 0, 200));
        view.resize(300, 60);
        const QImage image = view.render();
        QCOMPARE(image.pixelColor(250, 50), QColor(0, 0, 200));
        QCOMPARE(image.pixelColor(0, 0), QColor(0x80, 0x80, 0x80));  // the frame over it
        view.setBackground(QPixmap());
        QCOMPARE(view.render().pixelColor(250, 50), view.color());
    }
};

QTEST_MAIN(TestLogView)
#include "tst_logview.moc"
