#include "core/PauzeForm.h"

#include "core/Global.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace core {

namespace {
QList<QPointer<TPauzeForm>> &alive()
{
    static QList<QPointer<TPauzeForm>> forms;
    return forms;
}
}  // namespace

TPauzeForm::TPauzeForm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_title(new QLabel),
      m_caption(new QLabel)
{
    setObjectName(QStringLiteral("PauzeForm"));
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setAutoFillBackground(true);
    QPalette orange = panel->palette();
    orange.setColor(QPalette::Window, QColor(239, 140, 41));
    panel->setPalette(orange);

    QFont bold = font();
    bold.setBold(true);
    m_title->setObjectName(QStringLiteral("Label1"));
    m_title->setFont(bold);
    m_title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette black = m_title->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    m_title->setPalette(black);

    m_caption->setObjectName(QStringLiteral("Caption"));
    m_caption->setText(QStringLiteral("Er wordt gezocht, een ogenblik geduld ..."));
    m_caption->setFont(bold);
    m_caption->setAlignment(Qt::AlignCenter);
    QPalette white = m_caption->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_caption->setPalette(white);

    auto *inner = new QVBoxLayout(panel);
    inner->addWidget(m_title);
    inner->addWidget(m_caption, 1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
    resize(380, 90);
    alive().append(this);
}

TPauzeForm::~TPauzeForm()
{
    alive().removeAll(this);
}

TPauzeForm *TPauzeForm::instance()
{
    auto &forms = alive();
    forms.removeAll(nullptr);
    if (forms.isEmpty())
        new TPauzeForm;  // lives until the end, like the one start-up makes
    return forms.last();
}

void TPauzeForm::showNotice()
{
    m_title->setText(state().title);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r = rect();
        r.moveCenter(screen->geometry().center());
        move(r.topLeft());
    }
    show();
    raise();
    repaint();  // the caller blocks next: the event loop would paint it too late
}

}  // namespace core
