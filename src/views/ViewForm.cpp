#include "views/ViewForm.h"

#include "platform/Modality.h"
#include "views/HighlightView.h"

#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QIcon>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace views {

TViewForm::TViewForm(QWidget *parent)
    // Not "stays on top": it would cover the questions of modal dialogs.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_scroll(new QScrollArea(this)), m_view(new THighlightView), m_print(new QToolButton(this))
{
    setObjectName(QStringLiteral("ViewForm"));
    resize(520, 420);

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_print->setObjectName(QStringLiteral("ToolButton1"));
    m_print->setText(QStringLiteral("Afdrukken"));
    m_print->setToolTip(QStringLiteral("Afdrukken"));
    m_print->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    toolBar->addWidget(m_print);
    connect(m_print, &QToolButton::clicked, m_view, &THighlightView::Print);

    m_scroll->setObjectName(QStringLiteral("ScrollBox1"));
    m_scroll->setWidgetResizable(false);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setObjectName(QStringLiteral("HighlightView1"));
    m_view->setAutoSize(true);
    m_view->setText(QStringLiteral("Er zit <bold><green>nog<black><normal> geen tekst in"));
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_scroll);
}

void TViewForm::ShowText(const QString &caption, const QString &markup)
{
    setWindowTitle(caption);
    m_view->setText(markup);
    // Opened from a modal dialog (the agenda item's archive page) it must
    // still scroll, print and close.
    platform::ShowBesideModal(this);
}

// The viewer takes the scroll box's width and grows in height with its text.
void TViewForm::fitViewer()
{
    m_view->resize(m_scroll->viewport()->width(), m_view->height());
    m_view->relayout();
}

void TViewForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitViewer();
    m_scroll->verticalScrollBar()->setValue(0);
}

void TViewForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TViewForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        fitViewer();
    return QWidget::eventFilter(watched, event);
}

}  // namespace views
