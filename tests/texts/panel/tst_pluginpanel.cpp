// TPluginPanel with the real plug-in libraries built beside the project: the
// example "bijlage" and "zonderhoogte", which lacks GetHeight.
#include "platform/PluginLibrary.h"
#include "quillon_plugin.h"
#include "support/ScriptedDialogs.h"
#include "texts/PluginPanel.h"
#include "texts/StylePanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace texts;

using platform::BoxType;

class TestPluginPanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        platform::setPluginDirectory(QStringLiteral(QUILLON_TEST_PLUGIN_DIR));
        TPluginPanel::setConnectionProvider([] {
            return PluginConnection{QStringLiteral("server.omroep.nl"), 7001, QStringLiteral("sanne"),
                                    QStringLiteral("reiger")};
        });
        QVERIFY(m_log.isValid());
        qputenv("QUILLON_PLUGIN_LOG", logFile().toUtf8());
    }

    void cleanupTestCase()
    {
        TPluginPanel::setConnectionProvider({});
        platform::setPluginDirectory(QString());
    }

    void init() { QFile::remove(logFile()); }

    void fileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        const QString dir = QStringLiteral(QUILLON_TEST_PLUGIN_DIR);
        QTest::newRow("plain name") << "bijlage" << QDir(dir).filePath("bijlage" + platform::librarySuffix());
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("path separator") << "../bijlage"
                                        << "";
        QTest::newRow("backslash") << "x\\bijlage"
                                   << "";
        QTest::newRow("parent folder") << "..bijlage"
                                       << "";
    }
    void fileNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QCOMPARE(platform::pluginFileName(name), file);
    }

    void examplePluginInAPanel()
    {
        testsupport::ScriptedDialogs dialogs;
        TStylePanel panel;
        panel.resize(400, 10);
        panel.setTextId(42);
        panel.setTemplate(QStringLiteral("edit:titel:Titel:\"\":plugin_Bijlage:bijlage:Bijlage:\"\":"));
        panel.show();
        QCOMPARE(panel.RowCount(), 2);
        auto *plugin = qobject_cast<TPluginPanel *>(panel.RowControl(1));
        QVERIFY(plugin);
        QVERIFY(plugin->Loaded());
        QCOMPARE(plugin->objectName(), QStringLiteral("bijlage"));
        QCOMPARE(panel.RowLabel(1)->text(), QStringLiteral("Bijlage"));

        // Its controls sit in the panel, as high as GetHeight said and as wide
        // as SetWidth was told, also after the panel grows.
        auto *file = plugin->findChild<QLineEdit *>("bestand");
        auto *choose = plugin->findChild<QToolButton *>("kiezen");
        QVERIFY(file && choose);
        QCOMPARE(plugin->height(), file->sizeHint().height());
        QCOMPARE(panel.RowPanel(1)->height(), qMax(panel.RowLabel(1)->height(), plugin->height()) + 3);
        QCOMPARE(choose->geometry().right() + 1, 400 - 102);
        panel.resize(500, panel.height());
        QCOMPARE(choose->geometry().right() + 1, 500 - 102);

        const TNewsroom *n = plugin->Newsroom();
        QCOMPARE(n->structsize, uint32_t(sizeof(TNewsroom)));
        QCOMPARE(n->textid, 42);
        QCOMPARE(QByteArray(n->serverhost), QByteArray("server.omroep.nl"));
        QCOMPARE(n->serverport, 7001);
        QCOMPARE(QByteArray(n->loginname), QByteArray("sanne"));
        QCOMPARE(QByteArray(n->password), QByteArray("reiger"));

        // The file dialog the plug-in opens is the panel's own.
        dialogs.expectOpenFile(QStringLiteral("/media/beelden/brand.jpg"));
        QTest::mouseClick(choose, Qt::LeftButton);
        QCOMPARE(file->text(), QStringLiteral("/media/beelden/brand.jpg"));
        dialogs.expectOpenFile(QString());
        QTest::mouseClick(choose, Qt::LeftButton);
        QCOMPARE(file->text(), QStringLiteral("/media/beelden/brand.jpg"));
        QCOMPARE(panel.Values(), QStringLiteral("titel:\"\":bijlage:\"/media/beelden/brand.jpg\""));

        // Values go through SetValue and GetValue; quotes, apostrophes and
        // backslashes come back whole.
        panel.setValues(QStringLiteral("bijlage:\"C:\\\\beeld\\\\d'r \\\"oude\\\".jpg\""));
        QCOMPARE(file->text(), QStringLiteral("C:\\beeld\\d'r \"oude\".jpg"));
        const QString values = panel.Values();
        QCOMPARE(values, QStringLiteral("titel:\"\":bijlage:\"C:\\\\beeld\\\\d\\'r \\\"oude\\\".jpg\""));
        file->clear();
        panel.setValues(values);
        QCOMPARE(file->text(), QStringLiteral("C:\\beeld\\d'r \"oude\".jpg"));
        QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
    }

    void twoPanelsOfOneLibraryKeepTheirOwnValues()
    {
        auto *een = new TPluginPanel(1);
        TPluginPanel twee(2);
        een->Load(QStringLiteral("bijlage"));
        twee.Load(QStringLiteral("bijlage"));
        een->SetValue(QStringLiteral("a.jpg"));
        twee.SetValue(QStringLiteral("b.jpg"));
        QCOMPARE(een->GetValue(), QStringLiteral("a.jpg"));
        QCOMPARE(twee.GetValue(), QStringLiteral("b.jpg"));
        // One going (DeInit, unload) must leave the other working.
        delete een;
        QVERIFY(twee.Loaded());
        QCOMPARE(twee.GetValue(), QStringLiteral("b.jpg"));
    }

    void waitWindowAndProgressBar()
    {
        TPluginPanel plugin(7);
        TNewsroom *n = plugin.Newsroom();
        QWidget *wait = plugin.WaitWindow();
        QVERIFY(!wait->isVisible());
        QCOMPARE(wait->windowTitle(), QStringLiteral("Een ogenblik"));
        QCOMPARE(wait->size(), QSize(250, 50));
        QVERIFY(wait->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(wait->windowFlags() & Qt::WindowCloseButtonHint));
        n->waitshow(n->host);
        QVERIFY(wait->isVisible());
        n->progressrange(n->host, 0, 40);
        n->progressposition(n->host, 10);
        auto *bar = wait->findChild<QProgressBar *>("ProgressBar");
        QCOMPARE(bar->maximum(), 40);
        QCOMPARE(bar->value(), 10);
        QCOMPARE(bar->geometry(), wait->rect());
        n->waithide(n->host);
        QVERIFY(!wait->isVisible());
    }

    void missingGetHeightIsReportedAndUnloads()
    {
        testsupport::ScriptedDialogs dialogs;
        dialogs.expectBox(BoxType::Error, QStringLiteral("Oops: GetHeight not found"));
        TStylePanel panel;
        panel.setTextId(9);
        panel.setTemplate(QStringLiteral("plugin_zonderhoogte:x:X:\"\":edit:na:Na:\"\""));
        QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join('\n')));
        auto *plugin = qobject_cast<TPluginPanel *>(panel.RowControl(0));
        QVERIFY(!plugin->Loaded());
        QCOMPARE(plugin->height(), 10);
        QCOMPARE(log(),
                 QStringList({"Init textid=9 host=server.omroep.nl port=7001 login=sanne password=reiger panel=yes",
                              "DeInit", "unloaded"}));
        // The panel goes on without it.
        QCOMPARE(panel.RowCount(), 2);
        QCOMPARE(panel.Values(), QStringLiteral("x:\"\":na:\"\""));
        panel.setValues(QStringLiteral("x:\"iets\""));
    }

    void libraryThatCannotBeLoadedIsSkippedSilently()
    {
        testsupport::ScriptedDialogs dialogs;
        TStylePanel panel;
        panel.setTemplate(QStringLiteral("plugin_bestaatniet:x:X:\"\":plugin_../zonderhoogte:y:Y:\"\""));
        QVERIFY(dialogs.shown().isEmpty());
        QVERIFY(!qobject_cast<TPluginPanel *>(panel.RowControl(0))->Loaded());
        QVERIFY(!qobject_cast<TPluginPanel *>(panel.RowControl(1))->Loaded());
        QCOMPARE(panel.RowControl(0)->height(), 10);
        QVERIFY(log().isEmpty());
    }

    void unloadedWhenTheRowGoes()
    {
        {
            TStylePanel panel;
            panel.setTemplate(QStringLiteral("plugin_bijlage:b:B:\"\""));
            QVERIFY(qobject_cast<TPluginPanel *>(panel.RowControl(0))->Loaded());
            panel.setTemplate(QString());  // rows (and plug-ins) go here
            QCOMPARE(panel.RowCount(), 0);
        }
        // Nothing of the library is left running: a fresh panel loads it anew.
        TStylePanel panel;
        panel.setTemplate(QStringLiteral("plugin_bijlage:b:B:\"\""));
        panel.setValues(QStringLiteral("b:\"x\""));
        QCOMPARE(panel.Values(), QStringLiteral("b:\"x\""));
    }

    void screenshot()
    {
        TStylePanel panel;
        panel.resize(420, 10);
        panel.setTemplate(QStringLiteral("info:Bijlage bij de tekst:edit:titel:Titel:\"Verkiezingen\":"
                                         "plugin_bijlage:bijlage:Bijlage:\"\":"));
        panel.setValues(QStringLiteral("bijlage:\"/media/beelden/stembus.jpg\""));
        panel.show();
        const QString dir =
            qEnvironmentVariable("QUILLON_BUILD_DIR", QDir::currentPath()) + QStringLiteral("/screenshots");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(panel.grab().save(dir + QStringLiteral("/pluginpanel.png")));
    }

private:
    QString logFile() const { return m_log.filePath(QStringLiteral("plugin.log")); }
    QStringList log() const
    {
        QFile f(logFile());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_log;
};

QTEST_MAIN(TestPluginPanel)
#include "tst_pluginpanel.moc"
