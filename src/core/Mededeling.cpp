#include "core/Mededeling.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "platform/Dialogs.h"
#include "platform/Modality.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace core {

// Not "stays on top": a window above everything would also cover the
// questions of modal dialogs. It opens in front of the window the editor
// works in, and beside a modal dialog it stays usable (ShowBesideModal).
TMededeling::TMededeling(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Mededeling"));
    setWindowTitle(QStringLiteral("Mededelingen"));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_button1 = new QPushButton(QStringLiteral("Sluiten"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button2 = new QPushButton(QStringLiteral("Antwoordknop"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_button2);
    buttons->addStretch();
    buttons->addWidget(m_button1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_memo);
    layout->addLayout(buttons);
    resize(360, 200);
    connect(m_button1, &QPushButton::clicked, this, &TMededeling::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TMededeling::Button2Click);
    updateView();
}

void TMededeling::append(const QString &sender, const QString &text)
{
    m_senders << sender;
    m_texts << FormatDateTime(QStringLiteral("hh:nn:ss"), TimeNow()) + QLatin1Char(' ') + text;
    updateView();
}

void TMededeling::AddAnnouncement(const QString &sender, const QString &text)
{
    append(sender, text);
    if (!isVisible()) {
        if (QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->geometry().center() - rect().center());
    }
    platform::ShowBesideModal(this);
}

// A window that is already shown cannot turn modal: it is hidden first and
// shown again as a modal one, with the whole queue still in it.
void TMededeling::AddAnnouncementModal(const QString &sender, const QString &text)
{
    append(sender, text);
    if (isVisible())
        hide();
    exec();
}

void TMededeling::updateView()
{
    if (m_texts.isEmpty()) {
        m_memo->setPlainText(QStringLiteral("Geen mededelingen"));
        m_currentSender.clear();
        m_button2->setVisible(false);
    } else {
        m_memo->setPlainText(m_texts.first());
        m_currentSender = m_senders.first();
        m_button2->setVisible(m_currentSender != QLatin1String("quillon"));
    }
    m_button1->setText(m_texts.size() < 2 ? QStringLiteral("Sluiten") : QStringLiteral("Volgende"));
}

void TMededeling::Button1Click()
{
    if (!m_texts.isEmpty()) {
        m_texts.removeFirst();
        m_senders.removeFirst();
        updateView();
    }
    if (m_texts.isEmpty()) {
        done(QDialog::Accepted);
        hide();
    }
}

void TMededeling::Button2Click()
{
    const QString to = m_currentSender;
    QString text;
    if (platform::dialogs().inputQuery(QStringLiteral("Bericht versturen"), QStringLiteral("Aan: ") + to, text))
        SendCommand(QStringLiteral("direct ") + to + QLatin1Char(' ') + text);
}

}  // namespace core
