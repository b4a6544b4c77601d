#include "views/HighlightView.h"
#include "views/ViewForm.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace views;

namespace {

// Six pixels a character, seven in bold, rows ten high: layouts in round numbers.
class FixedMeasure : public platform::TextMeasure {
public:
    int width(const QString &text, bool bold) const override { return int(text.size()) * (bold ? 7 : 6); }
    int rowHeight() const override { return 10; }
};

// "row,x [text] style" per run.
QString dump(const HighlightLayout &l)
{
    QStringList out;
    for (const HighlightRun &r : l.runs) {
        QString style = r.bold ? QStringLiteral("B") : QStringLiteral("N");
        if (r.color != QColor(Qt::black))
            style += u' ' + r.color.name();
        out.append(QStringLiteral("%1,%2 [%3] %4").arg(r.row).arg(r.x).arg(r.text, style));
    }
    return out.join(u'\n');
}

QString screenshotDir()
{
    const QString dir = qEnvironmentVariable("QUILLON_BUILD_DIR", QDir::tempPath()) + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    return dir;
}

int pdfPages(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    return int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "));
}

}  // namespace

class TestHighlightView : public QObject {
    Q_OBJECT
private slots:
    void layout_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("three spaces drawn as one") << QStringList{"een   twee"} << 200 << "0,0 [een ] N\n0,24 [twee] N";
        QTest::newRow("leading space kept once") << QStringList{"  x"} << 200 << "0,0 [ ] N\n0,6 [x] N";
        QTest::newRow("wraps when a word would pass the limit")
            << QStringList{"aaaa bbbb cccc"} << 60 << "0,0 [aaaa ] N\n0,30 [bbbb ] N\n1,0 [cccc] N";
        QTest::newRow("word wider than the limit leaves no empty row")
            << QStringList{"xxxxxxxxxxxx y"} << 60 << "0,0 [xxxxxxxxxxxx ] N\n1,0 [y] N";
        QTest::newRow("every line starts a row in black, normal")
            << QStringList{"<bold><red>a", "", "b"} << 200 << "0,0 [a] B #ff0000\n2,0 [b] N";
        QTest::newRow("tags switch for the rest of the line")
            << QStringList{"a<bold>b<green>c<blue>d<normal><black>e"} << 200
            << "0,0 [a] N\n0,6 [b] B\n0,13 [c] B #008000\n0,20 [d] B #0000ff\n0,27 [e] N";
        QTest::newRow("misspelt colour has no effect")
            << QStringList{"<red>a<gren>b"} << 200 << "0,0 [a] N #ff0000\n0,6 [b] N #ff0000";
        QTest::newRow("stored line ends are ignored")
            << QStringList{"een<br>twee<hrt>drie"} << 200 << "0,0 [een] N\n0,18 [twee] N\n0,42 [drie] N";
        QTest::newRow("tag trimmed and lower-cased") << QStringList{"< BOLD >x"} << 200 << "0,0 [x] B";
        QTest::newRow("unclosed tag ends the line") << QStringList{"a<bold b c"} << 200 << "0,0 [a] N";
        QTest::newRow("amp reference") << QStringList{"R&amp;B"} << 200 << "0,0 [R&B] N";
        QTest::newRow("number reference 65 is A") << QStringList{"&#65;BC"} << 200 << "0,0 [ABC] N";
        QTest::newRow("unknown reference keeps its name") << QStringList{"&nbsp;x"} << 200 << "0,0 [&nbspx] N";
        QTest::newRow("a lone ampersand is a character")
            << QStringList{"Tom & Jerry; klaar"} << 200
            << "0,0 [Tom ] N\n0,24 [& ] N\n0,36 [Jerry; ] N\n0,78 [klaar] N";
        QTest::newRow("ampersand inside a word") << QStringList{"R&B"} << 200 << "0,0 [R&B] N";
        QTest::newRow("reference without its semicolon") << QStringList{"&amp"} << 200 << "0,0 [&amp] N";
        QTest::newRow("code zero is no character") << QStringList{"&#0;"} << 200 << "0,0 [&#0] N";
        QTest::newRow("code beyond Unicode") << QStringList{"&#1114112;"} << 200 << "0,0 [&#1114112] N";
        QTest::newRow("code above the first plane")
            << QStringList{"&#128512;"} << 200 << QString::fromUtf8("0,0 [\xF0\x9F\x98\x80] N");
        QTest::newRow("no lines") << QStringList{} << 200 << "";
    }
    void layout()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, limit);
        QFETCH(QString, expected);
        QCOMPARE(dump(LayoutHighlight(lines, FixedMeasure(), limit)), expected);
    }

    void bitmapGrowth_data()
    {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("height");
        QTest::newRow("five rows fit the first 50 pixels") << 5 << 5 << 50;
        QTest::newRow("the sixth grows by a row and 100") << 6 << 6 << 160;
        QTest::newRow("grows again when that is full") << 17 << 17 << 270;
    }
    void bitmapGrowth()
    {
        QFETCH(int, lineCount);
        QFETCH(int, rows);
        QFETCH(int, height);
        const HighlightLayout l = LayoutHighlight(QStringList(lineCount, QStringLiteral("x")), FixedMeasure(), 200);
        QCOMPARE(l.rows, rows);
        QCOMPARE(l.bitmapHeight, height);
    }

    void splitsMarkupText()
    {
        QCOMPARE(SplitMarkupLines(QStringLiteral("a\r\nb\nc\rd\r\n")), QStringList({"a", "b", "c", "d"}));
        QCOMPARE(SplitMarkupLines(QString()), QStringList());
    }

    void autoSizeFitsTextPlusTen()
    {
        THighlightView view;
        view.resize(300, 50);
        view.show();
        view.setText(QStringList(30, QStringLiteral("<bold>regel<normal> tekst")).join(QStringLiteral("\r\n")));
        QCOMPARE(view.height(), 50);  // no AutoSize: the height stays
        view.setAutoSize(true);
        const int rowHeight = QFontMetrics(view.font()).height();
        QCOMPARE(view.layout().rows, 30);
        QCOMPARE(view.height(), view.layout().bitmapHeight + 10);
        QVERIFY(view.layout().bitmapHeight >= 30 * rowHeight);
        QCOMPARE(view.bitmap().width(), 290);
        view.resize(60, view.height());  // narrower: wraps again
        QVERIFY(view.layout().rows > 30);
        QCOMPARE(view.height(), view.layout().bitmapHeight + 10);
    }

    // A text longer than one page goes on to further pages.
    void printsEveryRow()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("view.pdf"));
        qputenv("QUILLON_PRINT_PDF", pdf.toUtf8());
        THighlightView view;
        view.setText(QStringLiteral("<bold>Kop<normal>\r\nkorte tekst"));
        QVERIFY(view.Print());
        QCOMPARE(pdfPages(pdf), 1);
        QStringList lines;
        for (int i = 1; i <= 120; ++i)
            lines.append(QStringLiteral("regel %1 van de lange tekst").arg(i));
        view.setLines(lines);
        QVERIFY(view.Print());
        qunsetenv("QUILLON_PRINT_PDF");
        QVERIFY(pdfPages(pdf) >= 2);
    }

    void viewForm()
    {
        TViewForm form;
        THighlightView *viewer = form.findChild<THighlightView *>(QStringLiteral("HighlightView1"));
        QVERIFY(viewer);
        QVERIFY(form.findChild<QToolButton *>(QStringLiteral("ToolButton1")));
        QCOMPARE(viewer->text(), QStringLiteral("Er zit <bold><green>nog<black><normal> geen tekst in"));
        QVERIFY(!(form.windowFlags() & Qt::WindowStaysOnTopHint));  // it would cover the questions of dialogs

        QStringList body;
        for (int i = 1; i <= 60; ++i)
            body.append(QStringLiteral("Regel %1 van het <red>archief</red>").arg(i));
        form.ShowText(QStringLiteral("Brand in de haven"),
                      QStringLiteral("<bold>Brand in de haven<normal>\r\nVan: do 10 dec 2026\r\n\r\n") +
                          body.join(QStringLiteral("<br>")));
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Brand in de haven"));
        QCOMPARE(viewer->width(), form.ScrollBox1()->viewport()->width());
        QVERIFY(viewer->height() > form.ScrollBox1()->viewport()->height());
        QCOMPARE(form.ScrollBox1()->verticalScrollBar()->value(), 0);
        QVERIFY(form.grab().save(screenshotDir() + QStringLiteral("/viewform.png")));

        form.ScrollBox1()->verticalScrollBar()->setValue(100);
        form.hide();
        form.show();
        QCOMPARE(form.ScrollBox1()->verticalScrollBar()->value(), 0);  // shown again from the top
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }

    // Opened from a modal dialog the viewer is not blocked by it: a click on
    // its print button prints. It survives the dialog, and one still open
    // when the dialog closes stays open.
    void viewFormBesideAModalDialog()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("beside.pdf"));
        qputenv("QUILLON_PRINT_PDF", pdf.toUtf8());
        QWidget owner;
        owner.show();
        QPointer<TViewForm> form = new TViewForm(&owner);
        QPointer<QDialog> dialog = new QDialog(&owner);
        QTimer::singleShot(0, dialog, [&] {
            form->ShowText(QStringLiteral("Archief"), QStringLiteral("<bold>Kop<normal>\r\ntekst"));
            QVERIFY(QTest::qWaitForWindowExposed(form));
            // Through the window system, which drops clicks on blocked windows.
            QToolButton *print = form->ToolButton1();
            QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, print->mapTo(form, print->rect().center()));
            dialog->accept();
        });
        dialog->exec();
        delete dialog;
        qunsetenv("QUILLON_PRINT_PDF");
        QVERIFY(form);
        QVERIFY(QFileInfo(pdf).size() > 0);
        QCOMPARE(form->parentWidget(), &owner);
        QTRY_VERIFY(form->isVisible());
        QTest::keyClick(form, Qt::Key_Escape);
        QVERIFY(!form->isVisible());
    }

    void paintsAndWritesScreenshot()
    {
        THighlightView view;
        view.resize(360, 50);
        view.setColor(Qt::white);
        view.setAutoSize(true);
        view.setText(
            QStringLiteral("<bold>Brand in de haven<normal>\r\n"
                           "<green>Opgehaald op <bold>do 10 dec 2026<normal> om <bold>09:05<normal><black>\r\n\r\n"
                           "Een   loods  in de <red>haven<black> is vanochtend afgebrand. R&amp;B-zanger &#65;. "
                           "stond erbij en keek toe; de brandweer had het vuur na twee uur onder controle."));
        const QImage image = view.grab().toImage();
        QCOMPARE(image.height(), view.layout().bitmapHeight + 10);
        bool red = false, green = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red |= c.red() > 200 && c.green() < 60 && c.blue() < 60;
                green |= c.green() > 90 && c.red() < 40 && c.blue() < 40;
            }
        QVERIFY2(red && green, "the colour tags did not reach the picture");
        QVERIFY(image.save(screenshotDir() + QStringLiteral("/highlightview.png")));
    }
};

QTEST_MAIN(TestHighlightView)
#include "tst_highlightview.moc"
