#include "incoming/BronnenFrame.h"

#include "core/Global.h"
#include "core/Guarded.h"
#include "core/Helpers.h"
#include "core/Registry.h"
#include "core/ServerLink.h"
#include "core/Tokens.h"
#include "db/Postgres.h"
#include "incoming/BronZoekDialog.h"
#include "incoming/BronnenSql.h"
#include "incoming/MailDirFrame.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "views/LineDelegate.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace incoming {

namespace {

// The frames alive, the newest last: it receives the "bronadd" lines.
QList<TBronnenFrame *> &bronaddReceivers()
{
    static QList<TBronnenFrame *> list;
    return list;
}

void installHandler()
{
    if (core::TServerLink *link = core::state().server)
        link->setHandler(QStringLiteral("bronadd"), [](const QString &argument) {
            if (!bronaddReceivers().isEmpty())
                core::Guarded([&] { bronaddReceivers().last()->BronAdd(argument); });
        });
}

QString lineAfterId(const QString &line)
{
    QString rest = line;
    core::TakeWhile(rest, core::Digits);
    core::TakeWhile(rest, core::Blanks);
    return rest;
}

std::optional<int> lineId(const QString &line)
{
    QString rest = line;
    bool ok = false;
    const int id = core::TakeWhile(rest, core::Digits).toInt(&ok);
    return ok ? std::optional<int>(id) : std::nullopt;
}

void paintItemLine(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    p.fillRect(rect, views::LineBackground(item));
    p.setPen(views::LineTextColor(item));
    const ItemDrawText parts = ItemDrawParts(item.text);
    const int w = p.fontMetrics().horizontalAdvance(parts.when);
    const int baseline = rect.top() + 1 + p.fontMetrics().ascent();
    p.drawText(rect.left() + 1 + (82 - w) / 2, baseline, parts.when);
    p.drawText(rect.left() + 85, baseline, parts.title);
    p.setPen(item.palette.color(QPalette::Button));
    p.drawLine(rect.left() + 82, rect.top(), rect.left() + 82, rect.bottom());
}

void paintSourceLine(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    p.fillRect(rect, views::LineBackground(item));
    p.setPen(views::LineTextColor(item));
    p.setClipRect(rect);
    p.drawText(rect.left() + 1, rect.top() + p.fontMetrics().ascent(), lineAfterId(item.text));
}

}  // namespace

QString TBronnenFrame::StationAddress(const char *key)
{
    return platform::IniReadString(QStringLiteral("station"), QString::fromLatin1(key));
}

TBronnenFrame::TBronnenFrame(QWidget *parent) : core::TFrame(parent)
{
    setObjectName(QStringLiteral("BronnenFrame"));
    buildControls();
    bronaddReceivers().append(this);
    installHandler();
    if (core::TServerLink *link = core::state().server)
        m_jobWatch = link->watchJobs([this](const QString &argument) { jobLine(argument); });
}

TBronnenFrame::~TBronnenFrame()
{
    if (core::TServerLink *link = core::state().server; link && m_jobWatch)
        link->unwatchJobs(m_jobWatch);
    bronaddReceivers().removeAll(this);
    if (bronaddReceivers().isEmpty()) {
        if (core::TServerLink *link = core::state().server)
            link->setHandler(QStringLiteral("bronadd"), {});
    }
}

void TBronnenFrame::buildControls()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    auto action = [this](const char *name, const char *caption, void (TBronnenFrame::*slot)()) {
        QAction *a = m_popup->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, slot] { core::Guarded([&] { (this->*slot)(); }); });
        return a;
    };
    action("Naaragenda1", "&Naar agenda", &TBronnenFrame::Naaragenda1Click);
    QAction *zoeken = action("Zoeken1", "&Zoeken", &TBronnenFrame::Zoeken1Click);
    QAction *vernieuwen = action("Bronvernieuwen1", "Bron vernieuwen", &TBronnenFrame::Bronvernieuwen1Click);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const auto &[name, a] : {std::pair{"ToolButton2", vernieuwen}, std::pair{"ToolButton1", zoeken}}) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setDefaultAction(a);
        b->setAutoRaise(true);
        bar->addWidget(b);
    }
    m_status = new QLabel(bar);
    m_status->setObjectName(QStringLiteral("verversen"));
    m_status->setContentsMargins(8, 0, 0, 0);
    bar->addWidget(m_status);

    m_types = new QListWidget(this);
    m_types->setObjectName(QStringLiteral("brontypebox"));
    m_types->setFrameShape(QFrame::NoFrame);
    m_types->addItems({QStringLiteral("Internet"), QStringLiteral("Prikbord")});
    m_types->setBackgroundRole(QPalette::Button);
    m_types->setFixedHeight(2 * m_types->sizeHintForRow(0) + 4);
    m_sources = new QListWidget(this);
    m_sources->setObjectName(QStringLiteral("bronnenbox"));
    m_sources->setItemDelegate(new views::LineDelegate(paintSourceLine, 16, m_sources));
    m_items = new QListWidget(this);
    m_items->setObjectName(QStringLiteral("itembox"));
    m_items->setItemDelegate(new views::LineDelegate(paintItemLine, 16, m_items));
    m_items->setContextMenuPolicy(Qt::CustomContextMenu);
    m_items->installEventFilter(this);
    m_link = new QLabel(this);
    m_link->setObjectName(QStringLiteral("Label1"));
    m_link->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline"));
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->installEventFilter(this);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    m_memo->setFont(QFont(QStringLiteral("Courier")));
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_fax = new TMailDirFrame(this);

    m_itemArea = new QWidget(this);
    auto *itemLayout = new QVBoxLayout(m_itemArea);
    itemLayout->setContentsMargins(0, 0, 0, 0);
    auto *split = new QSplitter(Qt::Vertical, m_itemArea);
    split->addWidget(m_items);
    auto *lower = new QWidget(split);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(m_link);
    lowerLayout->addWidget(m_memo, 1);
    split->addWidget(lower);
    itemLayout->addWidget(split);
    m_stack = new QStackedWidget(this);
    m_stack->addWidget(m_itemArea);
    m_stack->addWidget(m_fax);

    auto *leftPane = new QWidget(this);
    auto *left = new QVBoxLayout(leftPane);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(m_types);
    left->addWidget(m_sources, 1);
    m_body = new QSplitter(Qt::Horizontal, this);
    m_body->setObjectName(QStringLiteral("bronsplitter"));
    m_body->setChildrenCollapsible(false);
    m_body->addWidget(leftPane);
    m_body->addWidget(m_stack);
    m_body->setStretchFactor(0, 1);
    m_body->setStretchFactor(1, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(bar);
    layout->addWidget(m_body, 1);

    connect(m_types, &QListWidget::itemClicked, this, [this] { core::Guarded([&] { brontypeboxClick(); }); });
    connect(m_sources, &QListWidget::itemClicked, this, [this] { core::Guarded([&] { bronnenboxClick(); }); });
    connect(m_items, &QListWidget::currentRowChanged, this, [this] { core::Guarded([&] { itemboxClick(); }); });
    connect(m_items, &QListWidget::itemDoubleClicked, this, [this] { core::Guarded([&] { itemboxDblClick(); }); });
    connect(m_items, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popup->popup(m_items->viewport()->mapToGlobal(pos)); });
}

// Source names are read whole when they fit in 40 % of the frame; the
// editor can drag the divider further.
void TBronnenFrame::fitSourceColumn()
{
    int widest = 0;
    for (int i = 0; i < m_sources->count(); ++i)
        widest = std::max(widest, m_sources->fontMetrics().horizontalAdvance(lineAfterId(m_sources->item(i)->text())));
    const QList<int> sizes = m_body->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    const int wanted = widest + m_sources->frameWidth() * 2 + m_sources->verticalScrollBar()->sizeHint().width() + 8;
    if (total <= 0 || wanted <= sizes.value(0))
        return;
    const int left = std::min(wanted, total * 2 / 5);
    m_body->setSizes({left, total - left});
}

void TBronnenFrame::showEvent(QShowEvent *event)
{
    core::TFrame::showEvent(event);
    fitSourceColumn();  // the sources may have come before the frame had its size
}

bool TBronnenFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_items && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return) {
        core::Guarded([&] { itemboxDblClick(); });
        return true;
    }
    if (watched == m_link && event->type() == QEvent::MouseButtonRelease) {
        core::Guarded([&] { Label1Click(); });
        return true;
    }
    return core::TFrame::eventFilter(watched, event);
}

bool TBronnenFrame::frameMessage(int msg, qintptr, qintptr)
{
    core::TMainOperations *main = core::state().main;
    switch (msg) {
    case core::FRAME_ACTIVATE:
        if (main)
            main->AddMenuButton(QStringLiteral("Br&onnen"), m_popup);
        core::Guarded([&] { brontypeboxClick(); });
        return true;
    case core::FRAME_DEACTIVATE:
        if (main)
            main->RemoveMenuButton(QStringLiteral("Br&onnen"), m_popup);
        return true;
    case core::FRAME_MOVE_RIGHT: core::Guarded([&] { Naaragenda1Click(); }); return true;
    case core::FRAME_FOCUS: m_items->setFocus(); return true;
    default: return false;
    }
}

bool TBronnenFrame::boardsShown() const
{
    return m_types->currentRow() == 1;
}

void TBronnenFrame::brontypeboxClick()
{
    m_stack->setCurrentWidget(m_itemArea);
    if (m_types->currentRow() < 0)
        m_types->setCurrentRow(
            qBound(0, platform::ReadSetting(QStringLiteral("brontype"), QStringLiteral("0")).toInt(), 1));
    platform::WriteSetting(QStringLiteral("brontype"), QString::number(m_types->currentRow()));
    if (!boardsShown()) {
        m_memo->clear();
        m_items->clear();
        m_sources->clear();
        auto rs = core::Query(SourcesSql());
        for (int i = 0; i < rs->RowCount(); ++i) {
            m_sources->addItem(rs->Row(i).value(0) + QLatin1Char(' ') + rs->Row(i).value(1));
            m_sources->item(i)->setToolTip(rs->Row(i).value(1));
        }
        fitSourceColumn();
        const int stored = platform::ReadSetting(QStringLiteral("bronnenbox"), QStringLiteral("0")).toInt();
        if (m_sources->count() > 0) {
            m_sources->setCurrentRow(stored >= 0 && stored < m_sources->count() ? stored : 0);
            bronnenboxClick();
        }
    } else {
        m_sources->clear();
        m_items->clear();
        m_memo->clear();
        m_link->setText(StationAddress("website"));
        const platform::IniFile ini = platform::IniFile::load(platform::iniFilePath());
        for (const QString &key : ini.keys(QStringLiteral("prikbord")))
            m_sources->addItem(QStringLiteral("0 ") + BoardCaption(key));
        if (m_sources->count() > 0) {
            m_sources->setCurrentRow(0);
            bronnenboxClick();
        }
    }
    bool ok = false;
    const int stored = platform::ReadSetting(QStringLiteral("bronnenbox"), QStringLiteral("0")).toInt(&ok);
    if (ok && stored >= 0 && stored < m_sources->count())
        m_sources->setCurrentRow(stored);
}

void TBronnenFrame::bronnenboxClick()
{
    core::ShowSearchNotice();
    struct Hide {
        ~Hide() { core::HideSearchNotice(); }
    } hide;
    const int row = m_sources->currentRow();
    platform::WriteSetting(QStringLiteral("bronnenbox"), QString::number(row));
    m_link->setText(StationAddress("website"));
    if (row < 0)
        return;
    const QString line = m_sources->item(row)->text();
    if (!boardsShown()) {
        m_items->setUpdatesEnabled(false);
        m_items->clear();
        const auto id = lineId(line);
        m_sourceId = id.value_or(-1);
        if (id) {
            auto rs = core::Query(ItemsSql(*id));
            QStringList lines;
            for (int i = 0; i < rs->RowCount(); ++i)
                lines << ItemLine(rs->Row(i));
            m_items->addItems(lines);
        }
        m_items->setUpdatesEnabled(true);
        return;
    }
    m_stack->setCurrentWidget(m_fax);
    const QString board = lineAfterId(line);
    QString folder;
    const platform::IniFile ini = platform::IniFile::load(platform::iniFilePath());
    for (const platform::IniEntry &e : ini.entries(QStringLiteral("prikbord")))
        if (BoardCaption(e.key) == board && folder.isEmpty())
            folder = e.value;
    m_fax->OpenFolder(folder.isEmpty() ? QStringLiteral(".\\") : folder);
}

void TBronnenFrame::itemboxClick()
{
    QListWidgetItem *item = m_items->currentItem();
    if (boardsShown() || m_sources->currentRow() < 0 || !item)
        return;
    const auto id = lineId(item->text());
    if (!id)
        return;
    auto rs = core::Query(ItemTextSql(*id));
    if (rs->RowCount() > 0) {
        m_memo->setPlainText(rs->Row(0).value(0));
        m_link->setText(rs->Row(0).value(1));
    }
}

void TBronnenFrame::itemboxDblClick()
{
    QListWidgetItem *item = m_items->currentItem();
    if (boardsShown() || m_sources->currentRow() < 0 || !item)
        return;
    const auto id = lineId(item->text());
    if (!id)
        return;
    auto rs = core::Query(ItemViewSql(*id));
    core::ViewTextRequest view;
    if (rs->RowCount() > 0) {
        const QStringList r = rs->Row(0);
        view.caption = r.value(0);
        view.markup = ItemViewMarkup(r.value(0), r.value(1), r.value(3), r.value(2));
    }
    core::registry().open(view);
}

void TBronnenFrame::Label1Click()
{
    if (boardsShown() || m_link->text().isEmpty())
        return;
    platform::shellOpen(LinkTarget(m_link->text()));
}

void TBronnenFrame::openAgendaItem(const QString &onderwerp, const QString &opmerkingen, const QString *bron,
                                   bool withDate)
{
    core::AgendaItemRequest request{.agendaId = -1};
    if (withDate)
        request.date = core::state().workDate;
    request.onderwerp = onderwerp;
    request.opmerkingen = opmerkingen;
    if (bron)
        request.bron = *bron;
    const auto result = core::registry().open(request);
    if (!result || result->modalResult != 1)
        return;
    core::SendCommand(QStringLiteral("broadcast viewchanged agenda"));
    // The save's "agenda new" reaches the other clients only: the agenda
    // beside this frame reads the new item itself.
    if (core::TMainOperations *main = core::state().main)
        main->RefreshViews();
}

void TBronnenFrame::Naaragenda1Click()
{
    const int source = m_sources->currentRow();
    if (source < 0)
        return;
    if (!boardsShown()) {
        QListWidgetItem *item = m_items->currentItem();
        if (!item)
            return;
        const QString rest = item->text().section(QLatin1Char(' '), 3);
        const QString link = m_link->text();
        openAgendaItem(rest, m_memo->toPlainText(), &link, true);
        return;
    }
    if (source > 0) {
        const QString fax = StationAddress("fax");
        openAgendaItem(m_fax->mail()->subject(), m_fax->mail()->plainText(), &fax, true);
        return;
    }
    const QString mail = StationAddress("redactie");
    openAgendaItem(QStringLiteral("Onderwerp van fax"),
                   QStringLiteral("Een fax kan helaas niet worden gekoppeld aan een onderwerp. Er wordt nog gewerkt "
                                  "aan het oplossing hiervoor."),
                   &mail, true);
}

void TBronnenFrame::Zoeken1Click()
{
    TBronZoekDialog dialog(window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    openAgendaItem(dialog.title(), dialog.plainText(), nullptr, false);
}

void TBronnenFrame::Bronvernieuwen1Click()
{
    const int row = m_sources->currentRow();
    if (row < 0)
        return;
    if (boardsShown()) {
        bronnenboxClick();
        return;
    }
    const QString line = m_sources->item(row)->text();
    const auto id = lineId(line);
    if (!id)
        return;
    // Said once, in the tool bar, without a window to click away; the end of
    // the import replaces it.
    m_refreshing = lineAfterId(line);
    m_status->setText(QStringLiteral("De bron wordt ververst"));
    core::SendCommand(RefreshCommand(*id, m_refreshing));
}

void TBronnenFrame::jobLine(const QString &argument)
{
    if (m_refreshing.isEmpty())
        return;
    const QString end = RefreshEnd(argument, m_refreshing);
    if (end.isEmpty())
        return;
    m_status->setText(end);
    m_refreshing.clear();
}

void TBronnenFrame::BronAdd(const QString &argument)
{
    if (boardsShown() || m_sources->currentRow() < 0)
        return;
    const QString line = BronaddLine(argument, m_sourceId);
    if (line.isEmpty())
        return;
    // An item the source changed comes again under its id: its old line goes.
    const std::optional<int> id = lineId(line);
    for (int i = m_items->count() - 1; id && i >= 0; --i)
        if (lineId(m_items->item(i)->text()) == id)
            delete m_items->takeItem(i);
    m_items->insertItem(0, line);
}

}  // namespace incoming
