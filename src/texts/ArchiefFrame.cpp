#include "texts/ArchiefFrame.h"

#include "core/Colors.h"
#include "core/Dates.h"
#include "core/Global.h"
#include "core/Helpers.h"
#include "db/Postgres.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "texts/ArchiefSearch.h"
#include "views/HighlightView.h"
#include "views/LineDelegate.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace texts {

namespace {

constexpr quint32 TitleColour = 2723055;  // the title bar, blue-green-red

// Draws one result line: the item cleared, kop from the left + 1 (cut to
// leave room for the date), the date right-aligned 2 pixels from the right edge.
void paintArchiveLine(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    const ArchiveLine parts = ParseArchiveResultLine(item.text);
    p.fillRect(rect, views::LineBackground(item));
    p.setPen(views::LineTextColor(item));
    const QString date = ArchiveLineDate(parts.datum);
    const QRect textRect = rect.adjusted(1, 0, -2, 0);
    const int dateWidth = p.fontMetrics().horizontalAdvance(date);
    p.drawText(textRect.adjusted(0, 0, -dateWidth - 6, 0), Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(parts.kop, Qt::ElideRight, qMax(textRect.width() - dateWidth - 6, 0)));
    p.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, date);
}

QLabel *label(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

}  // namespace

TArchiefFrame::TArchiefFrame(QWidget *parent)
    : core::TFrame(parent), m_title(new QLabel(QStringLiteral("Archief"), this)), m_edit(new QLineEdit(this)),
      m_from(new QDateEdit(this)), m_until(new QDateEdit(this)),
      m_search(new QPushButton(QStringLiteral("&Zoeken"), this)), m_results(new QListWidget(this)),
      m_totals(new QLabel(this)), m_scroll(new QScrollArea(this)), m_view(new views::THighlightView),
      m_print(new QToolButton(this)), m_copy(new QToolButton(this))
{
    setObjectName(QStringLiteral("ArchiefFrame"));
    m_title->setObjectName(QStringLiteral("Panel2"));
    m_title->setAutoFillBackground(true);
    QPalette titlePalette = m_title->palette();
    titlePalette.setColor(QPalette::Window, core::ColorFromBgr(TitleColour));
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    m_title->setPalette(titlePalette);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setContentsMargins(6, 3, 6, 3);

    m_edit->setObjectName(QStringLiteral("Edit1"));
    m_edit->installEventFilter(this);
    const QDate today = core::Today();
    for (QDateEdit *d : {m_from, m_until}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    }
    m_from->setObjectName(QStringLiteral("vanaf"));
    m_from->setDate(today.addDays(-365));
    m_until->setObjectName(QStringLiteral("tot"));
    m_until->setDate(today.addDays(1));  // the end date is left out, and today belongs in
    m_search->setObjectName(QStringLiteral("Button1"));
    connect(m_search, &QPushButton::clicked, this, &TArchiefFrame::Button1Click);

    m_print->setObjectName(QStringLiteral("ToolButton1"));
    m_print->setText(QStringLiteral("Afdrukken"));
    m_print->setToolTip(QStringLiteral("Afdrukken"));
    m_print->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    connect(m_print, &QToolButton::clicked, this, &TArchiefFrame::ToolButton1Click);
    m_copy->setObjectName(QStringLiteral("ToolButton2"));
    m_copy->setText(QStringLiteral("Kopiëren"));
    m_copy->setToolTip(QStringLiteral("Kopiëren"));
    m_copy->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));
    connect(m_copy, &QToolButton::clicked, this, &TArchiefFrame::ToolButton2Click);

    m_results->setObjectName(QStringLiteral("resultaat"));
    m_results->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_results->setItemDelegate(new views::LineDelegate(paintArchiveLine, 0, m_results));
    m_results->setUniformItemSizes(true);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_results, &QListWidget::itemSelectionChanged, this, &TArchiefFrame::resultaatClick);
    connect(m_results, &QListWidget::itemClicked, this, &TArchiefFrame::resultaatClick);
    m_totals->setObjectName(QStringLiteral("totals"));

    m_scroll->setObjectName(QStringLiteral("ScrollBox1"));
    m_scroll->setWidgetResizable(false);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setObjectName(QStringLiteral("view"));
    m_view->setAutoSize(true);
    m_view->setColor(Qt::white);
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);

    auto *bar = new QHBoxLayout;
    bar->addWidget(label(QStringLiteral("Trefwoord"), this));
    bar->addWidget(m_edit, 1);
    bar->addWidget(label(QStringLiteral("Vanaf"), this));
    bar->addWidget(m_from);
    bar->addWidget(label(QStringLiteral("Tot"), this));
    bar->addWidget(m_until);
    bar->addWidget(m_search);
    bar->addSpacing(8);
    bar->addWidget(m_print);
    bar->addWidget(m_copy);

    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_results, 1);
    leftLayout->addWidget(m_totals);
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(left);
    split->addWidget(m_scroll);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    split->setSizes({340, 480});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_title);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(4, 0, 4, 4);
    body->addLayout(bar);
    body->addWidget(split, 1);
    layout->addLayout(body, 1);
}

bool TArchiefFrame::frameMessage(int msg, qintptr wParam, qintptr lParam)
{
    switch (msg) {
    case core::FRAME_ACTIVATE: m_edit->setFocus(); return true;
    case core::FRAME_COLLECT: collect(); return true;
    default: return core::TFrame::frameMessage(msg, wParam, lParam);
    }
}

void TArchiefFrame::Button1Click()
{
    if (m_edit->text().size() < 3) {
        platform::showWarning(QStringLiteral("Minimaal 3 karakters voor zoeken!"));
        return;
    }
    search();
}

// Steps 2 to 7 of a search: the notice, the statement, the lines, the first
// text shown.
void TArchiefFrame::search()
{
    core::ShowSearchNotice();
    {
        const QSignalBlocker block(m_results);
        m_results->clear();
    }
    m_selectedId = -1;
    m_words = SplitSearchWords(m_edit->text());
    int found = 0;
    {
        const auto rs = core::Query(ArchiveSearchStatement(m_words, m_from->date(), m_until->date()));
        QStringList lines;
        lines.reserve(rs->RowCount());
        for (int i = 0; i < rs->RowCount(); ++i) {
            const QStringList &row = rs->Row(i);
            if (row.size() >= 3)
                lines << ArchiveResultLine(row.at(0), row.at(1), row.at(2));
        }
        const QSignalBlocker block(m_results);
        m_results->addItems(lines);
        found = static_cast<int>(lines.size());
    }
    m_totals->setText(QString::number(found) +
                      (found == 1 ? QStringLiteral(" item gevonden") : QStringLiteral(" items gevonden")));
    core::HideSearchNotice();
    if (found == 0) {
        m_view->setText(QStringLiteral("<normal><black>Geen zoekresultaten"));
        fitViewer();
        return;
    }
    if (m_results->selectedItems().isEmpty()) {
        const QSignalBlocker block(m_results);
        m_results->setCurrentRow(0);
    }
    resultaatClick();
    m_results->setFocus();
}

void TArchiefFrame::resultaatClick()
{
    QListWidgetItem *item = m_results->currentItem();
    if (!item || !item->isSelected()) {
        m_selectedId = -1;
        return;
    }
    const ArchiveLine line = ParseArchiveResultLine(item->text());
    if (line.id < 0 || line.id == m_selectedId)
        return;
    m_selectedId = line.id;
    showText(line.id, line.datum);
}

// Reads the text from its year's table and shows it; a failed read (the
// client has shown the error) or a missing row leaves the view as it was.
void TArchiefFrame::showText(int id, const QString &datum)
{
    const auto rs = core::Query(ArchiveReadStatement(id, datum));
    if (rs->RowCount() == 0 || rs->Row(0).size() < 3)
        return;
    const QStringList &row = rs->Row(0);
    const QString &body = row.at(0);
    const QString &kop = row.at(1);
    m_plainText = ArchivePlainText(kop, body);
    m_view->setText(ArchiveViewMarkup(kop, row.at(2), body, m_words));
    fitViewer();
    m_scroll->verticalScrollBar()->setValue(0);
}

void TArchiefFrame::collect()
{
    m_chosen.clear();
    for (int i = 0; i < m_results->count(); ++i) {
        QListWidgetItem *item = m_results->item(i);
        if (!item->isSelected())
            continue;
        const int id = ParseArchiveResultLine(item->text()).id;
        if (id >= 0)
            m_chosen << id;
    }
}

void TArchiefFrame::ToolButton1Click()
{
    if (platform::confirm(QStringLiteral("Archieftekst afdrukken?")))
        m_view->Print();
}

void TArchiefFrame::ToolButton2Click()
{
    platform::clipboard().setText(m_plainText);
}

// The view takes the scroll box's width and grows in height with its text.
void TArchiefFrame::fitViewer()
{
    m_view->resize(m_scroll->viewport()->width(), m_view->height());
    m_view->relayout();
}

bool TArchiefFrame::edit1Key(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Button1Click();
        return true;
    }
    const QString typed = event->text();
    const QList<uint> chars = typed.toUcs4();  // a letter beyond the BMP is two UTF-16 units
    if (chars.size() != 1 || chars.first() < 0x20 || (event->modifiers() & Qt::ControlModifier))
        return false;  // editing and navigation keys, shortcuts
    const char32_t c = chars.first();
    // Letters of every script, lowered as the search lowers them; marks for
    // the scripts that write vowels with them.
    if (QChar::isLetter(c) || QChar::isMark(c)) {
        const QString lower = typed.toLower();
        if (lower == typed)
            return false;
        m_edit->insert(lower);
        return true;
    }
    const bool accepted = QChar::isDigit(c) || c == u' ';
    return !accepted;
}

bool TArchiefFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress)
        return edit1Key(static_cast<QKeyEvent *>(event));
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        fitViewer();
    return core::TFrame::eventFilter(watched, event);
}

}  // namespace texts
