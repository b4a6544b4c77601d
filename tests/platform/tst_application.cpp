#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "support/ScriptedDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace platform;

// An error raised in an event handler must reach the error box and leave the
// program running: the next event is handled as usual.
class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void errorInAHandlerIsShown()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zidad.ini"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[promo]\nredactie=x\n");
        f.close();
        qputenv("QUILLON_INI", path.toUtf8());

        testsupport::ScriptedDialogs dialogs;
        dialogs.expectBox(BoxType::Error,
                          QStringLiteral("'x' is geen geldig geheel getal ([promo] redactie in %1)").arg(path));
        dialogs.expectBox(BoxType::Error, QStringLiteral("iets anders"));
        bool after = false;
        QTimer::singleShot(0, this, [] { IniReadInt(QStringLiteral("promo"), QStringLiteral("redactie")); });
        QTimer::singleShot(0, this, [] { throw std::runtime_error("iets anders"); });
        QTimer::singleShot(0, this, [&] { after = true; });
        QTRY_VERIFY(after);
        QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join(u'\n')));
        qunsetenv("QUILLON_INI");
    }

    // A small dialog is widened to show its whole title; a wide one and a
    // frameless one are left as they are.
    void smallDialogsShowTheirTitles()
    {
        installTitleFitting();
        const QString title = QStringLiteral("Eindredactie opgeven aan een editor met een lange naam");
        QDialog small;
        small.setWindowTitle(title);
        small.resize(120, 60);
        small.show();
        QVERIFY(small.width() >= TitleFitWidth(title));
        QDialog wide;
        wide.setWindowTitle(QStringLiteral("Kort"));
        wide.resize(900, 60);
        wide.show();
        QCOMPARE(wide.width(), 900);
        QDialog frameless(nullptr, Qt::Dialog | Qt::FramelessWindowHint);
        frameless.setWindowTitle(title);
        frameless.resize(120, 60);
        frameless.show();
        QCOMPARE(frameless.width(), 120);
    }

    // Qt's own dialogs and buttons speak Dutch, and what Qt formats itself
    // uses Dutch names.
    void qtSpeaksDutch()
    {
        QVERIFY(installDutchTranslations());
        QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annuleren"));
        QCOMPARE(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("Opslaan"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        QPrintDialog print(&printer);
        QCOMPARE(print.windowTitle(), QStringLiteral("Afdrukken"));
        QCOMPARE(QLocale().toString(QDate(2026, 12, 10), QStringLiteral("dddd d MMMM")),
                 QStringLiteral("donderdag 10 december"));
    }

    void texts()
    {
        QCOMPARE(errorText(std::make_exception_ptr(ConversionError(QStringLiteral("'' is geen geldige datum")))),
                 QStringLiteral("'' is geen geldige datum"));
        QCOMPARE(errorText(std::make_exception_ptr(42)), QStringLiteral("Onbekende fout"));
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_application.moc"
