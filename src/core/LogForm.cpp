#include "core/LogForm.h"

#include "core/Dates.h"
#include "core/LogView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace core {

TLogForm::TLogForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_view(new TLogView(this))
{
    setObjectName(QStringLiteral("LogForm"));
    setWindowTitle(QStringLiteral("Log"));
    m_view->setObjectName(QStringLiteral("LogView1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(420, 300);
    placeOnDesktop();
}

void TLogForm::LogStatus(const QString &text)
{
    if (!isVisible())
        return;
    m_view->addLineCapped(StampedLogLine(text, TimeNow()), TLogView::MaxLines);
}

void TLogForm::placeOnDesktop()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desk = screen->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(desk.right() + 1 - 10 - outer.width(), desk.bottom() + 1 - 50 - outer.height());
}

}  // namespace core
