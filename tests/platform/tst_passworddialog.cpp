// The database password prompt the settings password check shows.

#include "platform/PostgresPasswordDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace platform;

class TestPasswordDialog : public QObject {
    Q_OBJECT
private slots:
    void layoutAndPassword()
    {
        TPostgresPasswordDialog d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Geef wachtwoord"));
        QCOMPARE(d.width(), 300);
        QCOMPARE(d.height(), d.Edit->height() + d.Label->height() + d.OkButton->height() + 40);
        QCOMPARE(d.Label->pos(), QPoint(10, 10));
        QCOMPARE(d.Edit->geometry(), QRect(10, 10 + d.Label->height() + 10, 280, d.Edit->height()));
        QCOMPARE(d.OkButton->geometry().bottomRight() + QPoint(1, 1), QPoint(290, d.height() - 10));
        QCOMPARE(d.Edit->echoMode(), QLineEdit::Password);
        QVERIFY(d.OkButton->isDefault());
        QTest::keyClicks(d.Edit, QStringLiteral("zwaluwen"));
        QCOMPARE(d.Password, QStringLiteral("zwaluwen"));
        d.OkButton->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestPasswordDialog)
#include "tst_passworddialog.moc"
