#include "platform/PostgresPasswordDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace platform {

TPostgresPasswordDialog::TPostgresPasswordDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TPostgresPasswordDialog"));
    setWindowTitle(QStringLiteral("Geef wachtwoord"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    const int width = 300;

    Label = new QLabel(QStringLiteral("Een wachtwoord is noodzakelijk\nom toegang te krijgen tot de database"), this);
    Label->setObjectName(QStringLiteral("Label"));
    Label->move(10, 10);
    Label->adjustSize();

    Edit = new QLineEdit(this);
    Edit->setObjectName(QStringLiteral("Edit"));
    Edit->setEchoMode(QLineEdit::Password);
    Edit->setGeometry(10, Label->y() + Label->height() + 10, width - 20, Edit->sizeHint().height());
    connect(Edit, &QLineEdit::textChanged, this, [this](const QString &text) { Password = text; });

    OkButton = new QPushButton(QStringLiteral("&Ok"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    OkButton->resize(OkButton->sizeHint());
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);

    const int height = Edit->height() + Label->height() + OkButton->height() + 40;
    setFixedSize(width, height);
    OkButton->move(width - 10 - OkButton->width(), height - 10 - OkButton->height());
    Edit->setFocus();
}

void TPostgresPasswordDialog::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Edit->setFocus();
    QDialog::showEvent(event);
}

}  // namespace platform
