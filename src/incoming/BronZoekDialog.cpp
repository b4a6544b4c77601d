#include "incoming/BronZoekDialog.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/Guarded.h"
#include "core/Helpers.h"
#include "db/Postgres.h"
#include "incoming/BronnenSql.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "views/HighlightView.h"
#include "views/LineDelegate.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include <QFontMetrics>
#include <QVBoxLayout>

#include <algorithm>

namespace incoming {

int HitTitleLeft(const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    const int kind = std::max(QFontMetrics(bold).horizontalAdvance(QStringLiteral("internet")),
                              QFontMetrics(bold).horizontalAdvance(QStringLiteral("anp")));
    return std::max(55, 1 + kind + QFontMetrics(font).horizontalAdvance(QLatin1Char(' ')));
}

namespace {
void paintHit(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    p.fillRect(rect, views::LineBackground(item));
    p.setPen(views::LineTextColor(item));
    const HitParts hit = ParseHit(item.text);
    const int baseline = rect.top() + p.fontMetrics().ascent();
    QFont bold = p.font();
    bold.setBold(true);
    const QFont plain = p.font();
    p.setFont(bold);
    p.drawText(rect.left() + 1, baseline, hit.kind);
    p.setFont(plain);
    p.drawText(rect.left() + HitTitleLeft(plain), baseline, hit.kop);
    QString when;
    try {
        when = core::FormatDateTime(QStringLiteral("ddd d mmm yyyy"), core::YmdToDate(hit.datum));
    } catch (...) {
        when = hit.datum;
    }
    p.drawText(rect.right() - 5 - p.fontMetrics().horizontalAdvance(when), baseline, when);
}
}  // namespace

TBronZoekDialog::TBronZoekDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BronZoekDialog"));
    setWindowTitle(QStringLiteral("Bronnen zoeken"));
    resize(640, 520);
    auto *label = new QLabel(QStringLiteral("Zoektekst"), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("Edit1"));
    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString &t) {
        if (t != t.toLower()) {
            const int pos = m_edit->cursorPosition();
            m_edit->setText(t.toLower());
            m_edit->setCursorPosition(pos);
        }
    });
    m_edit->installEventFilter(this);
    auto *search = new QPushButton(QStringLiteral("&Zoeken"), this);
    search->setObjectName(QStringLiteral("Button2"));
    search->setDefault(true);
    connect(search, &QPushButton::clicked, this, [this] { core::Guarded([&] { Button2Click(); }); });
    auto *note = new QPlainTextEdit(this);
    note->setObjectName(QStringLiteral("Memo1"));
    note->setPlainText(QStringLiteral("Zoeken gebeurt in Internet en ANP. Teletext wordt niet \ndoorzocht."));
    note->setReadOnly(true);
    note->setFrameShape(QFrame::NoFrame);
    note->setMaximumHeight(40);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setItemDelegate(new views::LineDelegate(paintHit, 16, m_list));
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { core::Guarded([&] { ListBox1Click(); }); });
    auto *title = new QLabel(this);
    title->setObjectName(QStringLiteral("Panel7"));
    title->setAutoFillBackground(true);
    title->setStyleSheet(QStringLiteral("background-color: rgb(239,140,41)"));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollBox1"));
    m_scroll->setBackgroundRole(QPalette::Base);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view = new views::THighlightView;
    m_view->setObjectName(QStringLiteral("HighlightView1"));
    m_view->setAutoSize(true);
    m_view->setColor(Qt::white);
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);
    auto *bar = new QToolBar(this);
    auto *print = new QToolButton(bar);
    print->setObjectName(QStringLiteral("ToolButton1"));
    print->setText(QStringLiteral("Afdrukken"));
    connect(print, &QToolButton::clicked, this, [this] { core::Guarded([&] { ToolButton1Click(); }); });
    auto *copy = new QToolButton(bar);
    copy->setObjectName(QStringLiteral("ToolButton2"));
    copy->setText(QStringLiteral("Kopi\u00ebren"));
    connect(copy, &QToolButton::clicked, this, [this] { ToolButton2Click(); });
    bar->addWidget(print);
    bar->addWidget(copy);
    auto *toAgenda = new QPushButton(QStringLiteral("Naar agenda"), this);
    toAgenda->setObjectName(QStringLiteral("Button3"));
    connect(toAgenda, &QPushButton::clicked, this, &QDialog::accept);
    auto *close = new QPushButton(QStringLiteral("Sluiten"), this);
    close->setObjectName(QStringLiteral("Button1"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_edit, 1);
    top->addWidget(search);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(bar);
    buttons->addStretch(1);
    buttons->addWidget(toAgenda);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(note);
    layout->addWidget(m_list, 1);
    layout->addWidget(title);
    layout->addWidget(m_scroll, 2);
    layout->addLayout(buttons);
    m_edit->setFocus();
}

bool TBronZoekDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            core::Guarded([&] { Button2Click(); });
            return true;
        }
    }
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        m_view->setFixedWidth(m_scroll->viewport()->width());
    return QDialog::eventFilter(watched, event);
}

void TBronZoekDialog::Button2Click()
{
    core::ShowSearchNotice();
    struct Hide {
        ~Hide() { core::HideSearchNotice(); }
    } hide;
    const QSignalBlocker block(m_list);
    m_list->clear();
    QStringList lines;
    const QString text = m_edit->text().toLower();
    const struct {
        const char *kind;
        QString sql;
    } searches[] = {{"internet", SearchNetSql(text)}, {"anp", SearchAnpSql(text)}};
    for (const auto &s : searches) {
        auto rs = core::Query(s.sql);
        for (int i = 0; i < rs->RowCount(); ++i) {
            const QStringList r = rs->Row(i);
            lines.insert(HitInsertPosition(lines, r.value(2)),
                         HitLine(QString::fromLatin1(s.kind), r.value(0), r.value(2), r.value(1)));
        }
    }
    m_list->addItems(lines);
    m_list->setFocus();
    if (m_list->count() > 0 && m_list->currentRow() < 0)
        m_list->setCurrentRow(0);
    ListBox1Click();
}

void TBronZoekDialog::ListBox1Click()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item) {
        m_plain.clear();
        m_title.clear();
        m_view->setText(QStringLiteral("<red><bold>Geen zoekresultaten"));
        return;
    }
    m_scroll->ensureVisible(0, 0);
    const HitParts hit = ParseHit(item->text());
    bool ok = false;
    const int id = hit.id.toInt(&ok);
    const QString sql = ok ? HitSql(hit.kind, id) : QString();
    auto rs = sql.isEmpty() ? nullptr : core::Query(sql);
    if (!rs || rs->RowCount() == 0) {
        m_view->setText(QStringLiteral("<bold><red>Geen resultaat gekozen"));
        return;
    }
    const QStringList r = rs->Row(0);
    m_view->setText(HitMarkup(r.value(1), r.value(2), MarkWord(r.value(0), m_edit->text())));
    m_title = r.value(1);
    m_plain = r.value(1) + QStringLiteral("\r\n\r\n") + r.value(0);
}

void TBronZoekDialog::ToolButton1Click()
{
    if (platform::confirm(QStringLiteral("Archieftekst afdrukken?")))
        m_view->Print();
}

void TBronZoekDialog::ToolButton2Click()
{
    platform::clipboard().setText(m_plain);
}

}  // namespace incoming
