// TStylePanel built from definitions: the rows and their layout, reading and
// writing values, change reports, merges, and the type-ahead combo box.
#include "platform/Errors.h"
#include "support/ScriptedDialogs.h"
#include "texts/StyleComboBox.h"
#include "texts/StylePanel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimeEdit>

using namespace texts;

namespace {
const QString kFtp = QStringLiteral("edit:host:Hostname:\"\":edit:username:Username:\"\":edit:password:Password:\"\":"
                                    "edit:initialdir:Initial dir:\"\":");

// One of every kind that needs no database, with fixed start values.
const QString kAllKinds = QStringLiteral("info:Instellingen van de uitzending:"
                                         "edit:host:Hostname:\"\":"
                                         "memo:notitie:Notitie:\"\":"
                                         "checkbox:live:Live uitzending:\"\":"
                                         "date:datum:Datum:\"20261210\":"
                                         "time:tijd:Tijd:\"12:30\":"
                                         "combobox:kleur:Kleur:\"rood:groen:blauw\":"
                                         "toelichting:niets:Alleen een label:\"\":");

const QString kAllDefaults =
    QStringLiteral("host:\"\":notitie:\"\":live:\"false\":datum:\"20261210\":tijd:\"12:30:00\":kleur:\"rood\"");

QStringList labels(const TStylePanel &panel)
{
    QStringList out;
    for (int i = 0; i < panel.RowCount(); ++i)
        out.append(panel.RowLabel(i)->text() + u'|' + (panel.RowControl(i) ? panel.RowControl(i)->objectName() : "-"));
    return out;
}
}  // namespace

class TestStylePanel : public QObject {
    Q_OBJECT
private slots:
    void ftpModuleRowsAndLayout()
    {
        TStylePanel panel;
        panel.resize(400, 10);
        panel.setTemplate(kFtp);
        panel.show();
        QCOMPARE(labels(panel),
                 QStringList({"Hostname|host", "Username|username", "Password|password", "Initial dir|initialdir"}));
        int top = 0;
        for (int i = 0; i < panel.RowCount(); ++i) {
            const QWidget *row = panel.RowPanel(i);
            const QLabel *label = panel.RowLabel(i);
            const QWidget *edit = panel.RowControl(i);
            QVERIFY(qobject_cast<const QLineEdit *>(edit));
            QCOMPARE(row->geometry(), QRect(0, top, 400, qMax(label->height(), edit->height()) + 3));
            QCOMPARE(label->pos(), QPoint(3, 4));
            QCOMPARE(label->size(), label->sizeHint());
            QCOMPARE(edit->geometry(), QRect(100, 1, 400 - 102, edit->sizeHint().height()));
            top += row->height();
        }
        QCOMPARE(panel.height(), top);

        // Rows and controls follow the panel's width.
        panel.resize(600, panel.height());
        QCOMPARE(panel.RowPanel(3)->width(), 600);
        QCOMPARE(panel.RowControl(3)->width(), 600 - 102);
    }

    // The website template's captions are wider than the column of 100
    // pixels: the controls move right of the widest, all together, and every
    // caption reads whole. A panel too narrow for that keeps two fifths of
    // its width for the controls and elides the caption, whole in its tooltip.
    void longCaptionsReadWhole()
    {
        const QString website =
            QStringLiteral("edit:bron:Bron:\"\":edit:programma:Ook in programma:\"\":"
                           "edit:foto:Foto (bestandsnaam):\"\":checkbox:spoed:Spoed:\"\":"
                           "toelichting:uitleg:Een uitleg over de hele breedte van het paneel:\"\":");
        TStylePanel panel;
        panel.resize(400, 10);
        panel.setTemplate(website);
        panel.show();
        QCOMPARE(labels(panel), QStringList({"Bron|bron", "Ook in programma|programma", "Foto (bestandsnaam)|foto",
                                             "|spoed", "Een uitleg over de hele breedte van het paneel|-"}));
        const int column = panel.RowControl(0)->x();
        QVERIFY2(column > 100, qPrintable(QString::number(column)));
        for (int i = 0; i < 4; ++i) {
            const QLabel *label = panel.RowLabel(i);
            const QWidget *control = panel.RowControl(i);
            QCOMPARE(control->x(), column);
            QCOMPARE(control->width(), 400 - column - 2);
            QVERIFY2(label->geometry().right() < column,
                     qPrintable(label->text() + ": " + QString::number(label->geometry().right())));
            QCOMPARE(label->size(), label->sizeHint());
            QVERIFY(label->toolTip().isEmpty());
        }
        const QString dir =
            qEnvironmentVariable("QUILLON_BUILD_DIR", QDir::currentPath()) + QStringLiteral("/screenshots");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(panel.grab().save(dir + QStringLiteral("/stylepanel_website.png")));

        panel.resize(160, panel.height());
        QCOMPARE(panel.RowControl(2)->x(), 100);  // three fifths of 160 is less than the least column
        QCOMPARE(panel.RowControl(2)->width(), 160 - 102);
        const QLabel *foto = panel.RowLabel(2);
        QVERIFY2(foto->text().endsWith(QChar(0x2026)), qPrintable(foto->text()));
        QVERIFY(foto->geometry().right() < 100);
        QCOMPARE(foto->toolTip(), QString("Foto (bestandsnaam)"));
        QCOMPARE(panel.RowLabel(0)->text(), QString("Bron"));
        // Wide again: whole again.
        panel.resize(400, panel.height());
        QCOMPARE(foto->text(), QString("Foto (bestandsnaam)"));
        QCOMPARE(panel.RowControl(2)->x(), column);
    }

    void ftpModuleValues()
    {
        TStylePanel panel;
        panel.setTemplate(kFtp);
        QCOMPARE(panel.Values(), QStringLiteral("host:\"\":username:\"\":password:\"\":initialdir:\"\""));
        panel.setValues(QStringLiteral(
            "host:\"ftp.omroep.nl\":username:\"tekst\":password:\"zwaluwen\":initialdir:\"/tt/pagina's\""));
        QCOMPARE(panel.findChild<QLineEdit *>("host")->text(), QStringLiteral("ftp.omroep.nl"));
        QCOMPARE(panel.findChild<QLineEdit *>("initialdir")->text(), QStringLiteral("/tt/pagina's"));
        QCOMPARE(panel.Values(),
                 QStringLiteral(
                     "host:\"ftp.omroep.nl\":username:\"tekst\":password:\"zwaluwen\":initialdir:\"/tt/pagina's\""));

        // Switching the module back to its definition restores the defaults.
        panel.setTemplate(QString());
        QCOMPARE(panel.RowCount(), 0);
        QCOMPARE(panel.height(), 0);
        panel.setTemplate(kFtp);
        QCOMPARE(panel.findChild<QLineEdit *>("host")->text(), QString());
    }

    void everyKindDefaults()
    {
        TStylePanel panel;
        panel.resize(400, 10);
        panel.setTemplate(kAllKinds);
        QCOMPARE(labels(panel),
                 QStringList({"Instellingen van de uitzending|-", "Hostname|host", "Notitie|notitie", "|live",
                              "Datum|datum", "Tijd|tijd", "Kleur|kleur", "Alleen een label|-"}));
        QCOMPARE(panel.Values(), kAllDefaults);

        const QFontMetrics fm(panel.font());
        QCOMPARE(panel.RowPanel(0)->height(), 2 * fm.height());
        QCOMPARE(panel.RowLabel(0)->alignment(), Qt::AlignCenter);
        QCOMPARE(panel.RowControl(2)->height(), 5 * fm.height());
        QCOMPARE(panel.findChild<QCheckBox *>("live")->text(), QStringLiteral("Live uitzending"));
        QCOMPARE(panel.findChild<QDateEdit *>("datum")->text(), QStringLiteral("donderdag 10 december 2026"));
        QCOMPARE(panel.findChild<QTimeEdit *>("tijd")->text(), QStringLiteral("12:30"));
        const auto *kleur = panel.findChild<QComboBox *>("kleur");
        QVERIFY(kleur->isEditable());
        QCOMPARE(kleur->count(), 3);
        QCOMPARE(kleur->currentText(), QStringLiteral("rood"));
    }

    void emptyDateAndTimeStartAtNow()
    {
        TStylePanel panel;
        panel.setTemplate(QStringLiteral("date:d:D:\" \":time:t:T:\"\":checkbox:c:C:\"true\":checkbox:n:N:\"ja\""));
        QCOMPARE(panel.findChild<QDateEdit *>("d")->date(), QDate::currentDate());
        const int apart = qAbs(panel.findChild<QTimeEdit *>("t")->time().secsTo(QTime::currentTime()));
        QVERIFY(apart < 5 || apart > 24 * 3600 - 5);  // also just around midnight
        QVERIFY(panel.findChild<QCheckBox *>("c")->isChecked());
        QVERIFY(!panel.findChild<QCheckBox *>("n")->isChecked());
    }

    void setValues_data()
    {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("expected");
        const QString d = kAllDefaults;
        QTest::newRow("empty value string leaves the defaults") << "" << d;
        QTest::newRow("unknown name changes nothing") << "onbekend:\"x\"" << d;
        QTest::newRow("names compare exactly") << "HOST:\"x\"" << d;
        QTest::newRow("edit") << "host:\"ftp.omroep.nl\"" << QString(d).replace("host:\"\"", "host:\"ftp.omroep.nl\"");
        QTest::newRow("check box true") << "live:\"true\"" << QString(d).replace("false", "true");
        QTest::newRow("check box True unchecks") << "live:\"true\":live:\"True\"" << d;
        QTest::newRow("date") << "datum:\"20270131\"" << QString(d).replace("20261210", "20270131");
        QTest::newRow("time with seconds") << "tijd:\"08:05:09\"" << QString(d).replace("12:30:00", "08:05:09");
        QTest::newRow("time without seconds") << "tijd:\"8:05\"" << QString(d).replace("12:30:00", "08:05:00");
        QTest::newRow("combo box item") << "kleur:\"blauw\"" << QString(d).replace("rood", "blauw");
        QTest::newRow("combo box text outside the list") << "kleur:\"paars\"" << QString(d).replace("rood", "paars");
        QTest::newRow("memo keeps its line breaks")
            << "notitie:\"regel 1\r\nregel 2\"" << QString(d).replace("notitie:\"\"", "notitie:\"regel 1\r\nregel 2\"");
        QTest::newRow("quotes and backslashes survive")
            << "host:\"C:\\\\tt \\\"nieuw\\\"\"" << QString(d).replace("host:\"\"", "host:\"C:\\\\tt \\\"nieuw\\\"\"");
        QTest::newRow("stored unescaped backslash reads as before")
            << "host:\"C:\\tt\"" << QString(d).replace("host:\"\"", "host:\"C:tt\"");
        QTest::newRow("several at once, any order")
            << "kleur:\"groen\":host:\"a\"" << QString(d).replace("rood", "groen").replace("host:\"\"", "host:\"a\"");
    }
    void setValues()
    {
        QFETCH(QString, values);
        QFETCH(QString, expected);
        TStylePanel panel;
        panel.setTemplate(kAllKinds);
        panel.setValues(values);
        QCOMPARE(panel.Values(), expected);
    }

    void valueReachesTheControlWhole()
    {
        TStylePanel panel;
        panel.setTemplate(kFtp);
        auto *host = panel.findChild<QLineEdit *>("host");
        host->setText(QStringLiteral("\\\\server\\\"share\":x"));
        const QString values = panel.Values();
        host->clear();
        panel.setValues(values);
        QCOMPARE(host->text(), QStringLiteral("\\\\server\\\"share\":x"));
    }

    void sameNameSetsEveryControl()
    {
        TStylePanel panel;
        panel.setTemplate(QStringLiteral("edit:a:Een:\"\":edit:a:Twee:\"\""));
        panel.setValues(QStringLiteral("a:\"x\""));
        QCOMPARE(panel.Values(), QStringLiteral("a:\"x\":a:\"x\""));
    }

    void badDateStopsTheAction_data()
    {
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("rows");
        QTest::newRow("default date") << "edit:a:A:\"\":date:d:D:\"2026xx10\":edit:b:B:\"\""
                                      << ""
                                      << "'2026xx10' is geen geldige datum (jjjjmmdd)" << 2;
        QTest::newRow("impossible default date") << "date:d:D:\"20260230\""
                                                 << ""
                                                 << "'20260230' is geen geldige datum (jjjjmmdd)" << 1;
        QTest::newRow("default time") << "time:t:T:\"25:00\""
                                      << ""
                                      << "'25:00' is geen geldige tijd" << 1;
        QTest::newRow("date value") << "date:d:D:\"\""
                                    << "d:\"gisteren\""
                                    << "'gisteren' is geen geldige datum (jjjjmmdd)" << 1;
        QTest::newRow("time value") << "time:t:T:\"\""
                                    << "t:\"\""
                                    << "'' is geen geldige tijd" << 1;
    }
    void badDateStopsTheAction()
    {
        QFETCH(QString, definition);
        QFETCH(QString, values);
        QFETCH(QString, message);
        QFETCH(int, rows);
        TStylePanel panel;
        try {
            panel.setTemplate(definition);
            panel.setValues(values);
            QFAIL("no conversion error");
        } catch (const platform::ConversionError &e) {
            QCOMPARE(e.text(), message);
        }
        QCOMPARE(panel.RowCount(), rows);
        int total = 0;
        for (int i = 0; i < panel.RowCount(); ++i)
            total += panel.RowPanel(i)->height();
        QCOMPARE(panel.height(), total);
    }

    void mergeAsksTheOwnerAndAppends()
    {
        TStylePanel panel;
        QStringList asked;
        panel.OnMerge = [&](QObject *sender, const QString &name, QString &text) {
            QCOMPARE(sender, &panel);
            QVERIFY(text.isEmpty());
            asked.append(name);
            if (name == QLatin1String("Basisvelden"))
                text = QStringLiteral("edit:bron:Bron:\"\"");
        };
        panel.setTemplate(QStringLiteral("merge:Basisvelden:edit:kop:Kop:\"\":merge:Onbekend:"));
        QCOMPARE(asked, QStringList({"Basisvelden", "Onbekend"}));
        QCOMPARE(labels(panel), QStringList({"Kop|kop", "Bron|bron"}));
    }

    void comboBoxDefaults_data()
    {
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("quoted default holds three items")
            << "combobox:k:Kleur:\"rood:groen:blauw\":edit:e:E:\"\"" << QStringList{"rood", "groen", "blauw"}
            << QStringList{"Kleur|k", "E|e"};
        QTest::newRow("unquoted default holds one, the rest is the next entry")
            << "combobox:k:Kleur:rood:groen:blauw:" << QStringList{"rood"} << QStringList{"Kleur|k", "|-"};
        QTest::newRow("empty default, empty list")
            << "combobox:k:Kleur:\"\"" << QStringList{} << QStringList{"Kleur|k"};
    }
    void comboBoxDefaults()
    {
        QFETCH(QString, definition);
        QFETCH(QStringList, items);
        QFETCH(QStringList, rows);
        TStylePanel panel;
        panel.setTemplate(definition);
        const auto *box = panel.findChild<QComboBox *>("k");
        QStringList shown;
        for (int i = 0; i < box->count(); ++i)
            shown.append(box->itemText(i));
        QCOMPARE(shown, items);
        QCOMPARE(box->currentIndex(), items.isEmpty() ? -1 : 0);
        QCOMPARE(labels(panel), rows);
    }

    void lookupWithoutConnectionStaysEmpty()
    {
        TStylePanel panel;
        panel.setTemplate(QStringLiteral("comboboxdblookup:prog:Programma:\"select id,naam from tblzenders\""));
        QCOMPARE(panel.findChild<QComboBox *>("prog")->count(), 0);
        QCOMPARE(panel.Values(), QStringLiteral("prog:\"\""));
    }

    // The user's changes are reported with the control as sender; what the
    // panel does itself is not.
    void changesAreReported()
    {
        TStylePanel panel;
        QStringList reported;
        panel.OnChange = [&](QObject *sender) { reported.append(sender->objectName()); };
        panel.setTemplate(kAllKinds);
        panel.setValues(QStringLiteral("host:\"x\":live:\"true\":kleur:\"groen\":datum:\"20270101\""));
        QVERIFY(reported.isEmpty());
        panel.show();
        QTest::keyClicks(panel.findChild<QLineEdit *>("host"), QStringLiteral("y"));
        QTest::keyClicks(panel.findChild<QPlainTextEdit *>("notitie"), QStringLiteral("z"));
        auto *live = panel.findChild<QCheckBox *>("live");
        QTest::mouseClick(live, Qt::LeftButton, {}, QPoint(5, live->height() / 2));
        panel.findChild<QComboBox *>("kleur")->setCurrentIndex(2);
        panel.findChild<QDateEdit *>("datum")->setDate(QDate(2027, 2, 2));
        panel.findChild<QTimeEdit *>("tijd")->setTime(QTime(9, 0));
        QCOMPARE(reported.join(u','), QStringLiteral("host,notitie,live,kleur,datum,tijd"));
    }

    void screenshot()
    {
        TStylePanel panel;
        panel.resize(420, 10);
        panel.setTemplate(kAllKinds + kFtp);
        panel.setValues(QStringLiteral("host:\"ftp.omroep.nl\":notitie:\"Let op de\r\nnieuwe tijden\":live:\"true\""));
        panel.show();
        const QString dir =
            qEnvironmentVariable("QUILLON_BUILD_DIR", QDir::currentPath()) + QStringLiteral("/screenshots");
        QVERIFY(QDir().mkpath(dir));
        const QImage shot = panel.grab().toImage();
        QCOMPARE(shot.height(), panel.height());
        QVERIFY(shot.save(dir + QStringLiteral("/stylepanel.png")));
    }
};

// TStyleComboBox's type-ahead search.
class TestStyleComboBox : public QObject {
    Q_OBJECT
private slots:
    void search_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("searchText");
        const QStringList cities{"Amsterdam", "Rotterdam", "Utrecht", "Arnhem"};
        QTest::newRow("first item beginning with the text") << cities << 0 << "r" << 1 << "r";
        QTest::newRow("search text grows") << cities << 0 << "ar" << 3 << "ar";
        QTest::newRow("capitals are lowered") << cities << 0 << "UT" << 2 << "ut";
        QTest::newRow("selected item itself matches") << cities << 3 << "a" << 3 << "a";
        QTest::newRow("wraps to the first item") << cities << 2 << "am" << 0 << "am";
        QTest::newRow("no match keeps the selection") << cities << 1 << "x" << 1 << "x";
        QTest::newRow("empty list selects nothing") << QStringList() << -1 << "a" << -1 << "a";
        const QStringList ids{"12 Sport", "3 Weer", "40 Sportief"};
        QTest::newRow("ids and the space after them are skipped") << ids << 0 << "w" << 1 << "w";
        QTest::newRow("from the selected item on") << ids << 1 << "sport" << 2 << "sport";
        QTest::newRow("digits clear the search before they are added") << cities << 0 << "u1" << 2 << "1";
        QTest::newRow("space keeps the search") << QStringList{"de Wit", "de Boer"} << 0 << "de b" << 1 << "de b";
    }
    void search()
    {
        QFETCH(QStringList, items);
        QFETCH(int, start);
        QFETCH(QString, typed);
        QFETCH(int, selected);
        QFETCH(QString, searchText);
        TStyleComboBox box;
        box.addItems(items);
        box.setCurrentIndex(start);
        box.show();
        QTest::keyClicks(&box, typed);
        QCOMPARE(box.currentIndex(), selected);
        QCOMPARE(box.searchText(), searchText);
        box.hidePopup();
    }

    void backspaceShortensAndOtherKeysClear()
    {
        TStyleComboBox box;
        box.addItems({"Amsterdam", "Arnhem", "Assen"});
        box.show();
        QTest::keyClicks(&box, "as");
        QCOMPARE(box.currentIndex(), 2);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.searchText(), QStringLiteral("a"));
        QCOMPARE(box.currentIndex(), 2);
        QTest::keyClick(&box, Qt::Key_Escape);
        QCOMPARE(box.searchText(), QString());
        QTest::keyClicks(&box, "ar");
        QTest::keyClick(&box, Qt::Key_F5);
        QCOMPARE(box.searchText(), QString());
        box.hidePopup();
    }

    void typingDropsTheListDownAndKeepsSearchingThere()
    {
        TStyleComboBox box;
        box.addItems({"Amsterdam", "Arnhem", "Assen"});
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::keyClick(&box, Qt::Key_A);
        QVERIFY(box.view()->isVisible());
        QTest::keyClick(box.view(), Qt::Key_S);
        QCOMPARE(box.searchText(), QStringLiteral("as"));
        QCOMPARE(box.currentIndex(), 2);
        QCOMPARE(box.view()->currentIndex().row(), 2);
        box.hidePopup();
    }

    void editableBoxTakesItsTextFromTheList()
    {
        TStyleComboBox box;
        box.setEditable(true);
        box.addItems({"rood", "groen", "blauw"});
        box.show();
        box.setFocus();
        QTest::keyClicks(&box, "bl");
        QCOMPARE(box.currentText(), QStringLiteral("blauw"));
        QTest::keyClicks(&box, "x");
        QCOMPARE(box.currentText(), QStringLiteral("blauw"));
        box.hidePopup();
    }

    void focusClearsTheSearch()
    {
        QWidget window;
        auto *box = new TStyleComboBox(&window);
        box->addItems({"rood", "groen"});
        auto *other = new QLineEdit(&window);
        other->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        QTest::keyClicks(box, "gr");
        box->hidePopup();
        QCOMPARE(box->searchText(), QStringLiteral("gr"));
        other->setFocus();
        box->setFocus();
        QCOMPARE(box->searchText(), QString());
    }

    void ownerDrawnShowsNames()
    {
        TStyleComboBox box;
        box.setOwnerDrawn(true);
        box.addItems({"12 Sport", "3 Weer"});
        QVERIFY(!box.isEditable());
        QStyleOptionViewItem option;
        option.initFrom(box.view());
        const QModelIndex index = box.model()->index(1, 0);
        const QSize named = box.itemDelegate()->sizeHint(option, index);
        box.setOwnerDrawn(false);
        const QSize plain = box.itemDelegate()->sizeHint(option, index);
        QVERIFY(named.width() < plain.width());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestStylePanel t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestStyleComboBox t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "tst_stylepanel.moc"
