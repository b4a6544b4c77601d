#include "core/SplashForm.h"

#include "core/StartPicture.h"
#include "platform/Dialogs.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace core {

Tsplashform::Tsplashform(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("splashform"));
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    QImage picture = StartPicture();
    if (picture.isNull()) {
        picture = QImage(480, 280, QImage::Format_RGB888);
        picture.fill(QColor(0x1e, 0x5a, 0xa0));
    }
    m_picture->setPixmap(QPixmap::fromImage(picture));
    m_picture->setGeometry(0, 0, picture.width(), picture.height());
    setFixedSize(picture.size());

    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit2 = new QLineEdit(this);
    m_edit2->setObjectName(QStringLiteral("Edit2"));
    m_edit2->setEchoMode(QLineEdit::Password);
    const int w = 180, h = 24, x = (picture.width() - w) / 2;
    m_edit1->setGeometry(x, picture.height() - 2 * h - 60, w, h);
    m_edit2->setGeometry(x, picture.height() - h - 54, w, h);
    m_edit1->installEventFilter(this);
    m_edit2->installEventFilter(this);
}

int Tsplashform::showModal(const QString &userName)
{
    m_edit1->setText(userName);
    m_edit2->clear();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    m_edit1->setFocus();
    return exec();
}

// Edit1: no spaces in a login name, Enter goes on to the password, Escape
// cancels. Edit2: Enter logs in, Escape cancels.
bool Tsplashform::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (key == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (watched == m_edit1) {
        if (key == Qt::Key_Space)
            return true;
        if (enter) {
            m_edit2->setFocus();
            return true;
        }
    } else if (watched == m_edit2 && enter) {
        tryLogin();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tsplashform::tryLogin()
{
    if (m_authenticate && m_authenticate(m_edit1->text(), m_edit2->text())) {
        accept();
        return;
    }
    platform::showWarning(QStringLiteral("Gebruikersnaam of wachtwoord onjuist, probeer opnieuw!\n"
                                         "Het kan ook zijn dat je ergens anders al bent ingelogt,\n"
                                         "meld je daar dan eerst af."));
    m_edit2->clear();
    m_edit1->setFocus();
}

}  // namespace core
