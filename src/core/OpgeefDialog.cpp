#include "core/OpgeefDialog.h"

#include "platform/Dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace core {

namespace {
int g_tickInterval = 1000;
constexpr int kYes = static_cast<int>(platform::ModalResult::Yes);
constexpr int kNo = static_cast<int>(platform::ModalResult::No);
}  // namespace

void TOpgeefDialog::setTickInterval(int ms)
{
    g_tickInterval = ms > 0 ? ms : 1000;
}

TOpgeefDialog::TOpgeefDialog(const QString &claimant, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("OpgeefDialog"));
    setWindowTitle(QStringLiteral("Belangrijke vraag!"));
    m_panel1 = new QLabel(QStringLiteral("Eindredactie opgeven aan ") + claimant, this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setAlignment(Qt::AlignCenter);
    m_panel1->setFrameShape(QFrame::Panel);
    m_panel1->setMinimumHeight(48);
    QFont bold = m_panel1->font();
    bold.setBold(true);
    m_panel1->setFont(bold);
    m_label1 = new QLabel(QStringLiteral("je hebt nog %1 seconden").arg(Seconds), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAlignment(Qt::AlignCenter);
    auto *yes = new QPushButton(QStringLiteral("&Ja"), this);
    yes->setObjectName(QStringLiteral("Button1"));
    auto *no = new QPushButton(QStringLiteral("&Nee"), this);
    no->setObjectName(QStringLiteral("Button2"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_panel1);
    layout->addWidget(m_label1);
    layout->addLayout(buttons);
    resize(320, 140);
    connect(yes, &QPushButton::clicked, this, [this] { done(kYes); });
    connect(no, &QPushButton::clicked, this, [this] { done(kNo); });
    m_timer.setInterval(g_tickInterval);
    connect(&m_timer, &QTimer::timeout, this, &TOpgeefDialog::Timer1Timer);
}

bool TOpgeefDialog::ask()
{
    if (parentWidget())
        move(parentWidget()->window()->geometry().center() - rect().center());
    m_timer.start();
    const int result = exec();
    m_timer.stop();
    return result == kYes;
}

void TOpgeefDialog::Timer1Timer()
{
    --m_counter;
    if (m_counter < 0) {
        m_timer.stop();
        done(kYes);
        return;
    }
    m_label1->setText(QStringLiteral("je hebt nog %1 seconden").arg(m_counter));
}

}  // namespace core
