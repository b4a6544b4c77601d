#include "core/TaakForm.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/LogView.h"
#include "core/Tokens.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

namespace core {

namespace {
// A bold header in the highlight colours above a list.
QLabel *header(const QString &caption, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Highlight));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::HighlightedText));
    label->setPalette(pal);
    label->setContentsMargins(4, 2, 4, 2);
    return label;
}
}  // namespace

TTaakForm::TTaakForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("TaakForm"));
    setWindowTitle(QStringLiteral("Taakoverzicht"));
    auto *leftColumn = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(leftColumn);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_listBox1 = new QListWidget(leftColumn);
    m_listBox1->setObjectName(QStringLiteral("ListBox1"));
    m_listBox2 = new QListWidget(leftColumn);
    m_listBox2->setObjectName(QStringLiteral("ListBox2"));
    leftLayout->addWidget(header(QStringLiteral("Actieve taken"), QStringLiteral("Panel1"), leftColumn));
    leftLayout->addWidget(m_listBox1);
    leftLayout->addWidget(header(QStringLiteral("Geplande taken"), QStringLiteral("Panel2"), leftColumn));
    leftLayout->addWidget(m_listBox2);

    auto *rightColumn = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(rightColumn);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    m_logView = new TLogView(rightColumn);
    m_logView->setObjectName(QStringLiteral("LogView1"));
    m_button1 = new QPushButton(QStringLiteral("Opnieuw laden"), rightColumn);
    m_button1->setObjectName(QStringLiteral("Button1"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button1);
    rightLayout->addWidget(m_logView, 1);
    rightLayout->addLayout(buttons);

    auto *splitter = new QSplitter(this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->addWidget(leftColumn);
    splitter->addWidget(rightColumn);
    splitter->setStretchFactor(1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(640, 360);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    m_timer1.setInterval(30000);
    connect(&m_timer1, &QTimer::timeout, this, &TTaakForm::Reload);
    connect(m_button1, &QPushButton::clicked, this, [] { SendCommand(QStringLiteral("job reload")); });
}

void TTaakForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_timer1.start();
    Reload();
}

void TTaakForm::hideEvent(QHideEvent *event)
{
    m_timer1.stop();
    QWidget::hideEvent(event);
}

void TTaakForm::Reload()
{
    m_listBox1->clear();
    m_listBox2->clear();
    SendCommand(QStringLiteral("job list"));
}

void TTaakForm::HandleJobMessage(const QString &text)
{
    if (!isVisible())
        return;
    QString rest = text;
    const QString sub = TakeWhile(rest, Letters);
    TakeWhile(rest, Blanks);
    if (sub == QLatin1String("refresh")) {
        Reload();
    } else if (sub == QLatin1String("log")) {
        m_logView->addLineCapped(QStringLiteral("<green>") + FormatDateTime(QStringLiteral("hh:nn:ss"), TimeNow()) +
                                 QStringLiteral(" <blue>:<black> ") + rest.trimmed());
    } else if (sub == QLatin1String("aname")) {
        m_listBox2->addItem(rest);
    } else if (sub == QLatin1String("name")) {
        m_listBox1->addItem(rest);
    }
}

}  // namespace core
