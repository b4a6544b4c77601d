#include "planning/KlaarFrame.h"

#include "core/Dates.h"
#include "core/DragObject.h"
#include "core/Global.h"
#include "core/Locks.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "db/Postgres.h"
#include "planning/AgendaLines.h"
#include "planning/Guarded.h"
#include "views/DragList.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace planning {

namespace {

int g_lastDaysBack = 0;

std::optional<int> number(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

// The width of the wie column, whatever the name.
const QString kWieSample = QStringLiteral("MMMMMMMMMMMMM");

}  // namespace

void paintKlaarItem(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    const KlaarLine line = ParseKlaarLine(item.text);
    const QColor text = views::LineTextColor(item);
    p.fillRect(rect, views::LineBackground(item));
    QFont font = p.font();
    font.setBold(false);
    font.setItalic(false);
    p.setFont(font);
    const QFontMetrics regular(font);
    const int top = rect.top();
    const int h = rect.height();

    p.setPen(QColor(192, 192, 192));
    const QRect kortRect(rect.left() + 1, top, 123, h);
    p.drawText(kortRect, Qt::AlignLeft | Qt::AlignTop, regular.elidedText(line.kort, Qt::ElideRight, kortRect.width()));
    p.setPen(text);

    QFont bold = font;
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRect(rect.left(), top, rect.width() - 5, h), Qt::AlignRight | Qt::AlignTop, line.wie);

    p.setFont(font);
    QFont italic = font;
    italic.setItalic(true);
    const int naamWidth = QFontMetrics(italic).horizontalAdvance(line.naam);
    const int sampleWidth = regular.horizontalAdvance(kWieSample);
    const int kopRight = rect.right() - (naamWidth + sampleWidth);
    const QRect kopRect(rect.left() + 125, top, qMax(0, kopRight - rect.left() - 125), h);
    p.drawText(kopRect, Qt::AlignLeft | Qt::AlignTop, regular.elidedText(line.kop, Qt::ElideRight, kopRect.width()));

    p.setFont(italic);
    p.drawText(QPoint(kopRight, top + QFontMetrics(italic).ascent()), line.naam);
}

TKlaarFrame::TKlaarFrame(QWidget *parent) : core::TFrame(parent)
{
    setObjectName(QStringLiteral("KlaarFrame"));
    buildControls();
    m_daysBack = g_lastDaysBack;
    showDay();
    m_eerder->setChecked(m_daysBack > 0);
    m_vandaag->setChecked(!m_eerder->isChecked());
}

int TKlaarFrame::lastDaysBack()
{
    return g_lastDaysBack;
}

void TKlaarFrame::setLastDaysBack(int daysBack)
{
    g_lastDaysBack = daysBack;
}

void TKlaarFrame::buildControls()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("KlaarPopupMenu"));
    QAction *openen = m_popup->addAction(QStringLiteral("Openen"));
    openen->setObjectName(QStringLiteral("Openen1"));
    QAction *naarTodo = m_popup->addAction(QStringLiteral("Naar productielijst"));
    naarTodo->setObjectName(QStringLiteral("Naartodo1"));
    connect(naarTodo, &QAction::triggered, this, [this] { Guarded([&] { Naartodo(); }); });
    QAction *naarCyclus = m_popup->addAction(QStringLiteral("Naar cyclus"));
    naarCyclus->setObjectName(QStringLiteral("Naarcyclus1"));
    connect(naarCyclus, &QAction::triggered, this, [this] { Guarded([&] { NaarCyclus(); }); });

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->setIconSize(QSize(1, 1));
    auto button = [&](const char *name, const QString &caption) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    QToolButton *b1 = button("ToolButton1", QString());
    b1->setDefaultAction(naarTodo);
    QToolButton *b2 = button("ToolButton2", QString());
    b2->setDefaultAction(naarCyclus);
    bar->addSeparator();

    m_vandaag = button("vandaag", QStringLiteral("Vandaag"));
    m_vandaag->setCheckable(true);
    connect(m_vandaag, &QToolButton::clicked, this, [this] { Guarded([&] { vandaagClick(); }); });

    m_datum = new QMenu(this);
    m_datum->setObjectName(QStringLiteral("datum"));
    for (const KlaarDayItem &day : KlaarDayMenu(core::Today())) {
        QAction *a = m_datum->addAction(day.caption);
        a->setData(day.daysBack);
        connect(a, &QAction::triggered, this, [this, n = day.daysBack] { Guarded([&] { eerderClick(n); }); });
        if (day.separatorAfter)
            m_datum->addSeparator();
    }
    m_eerder = button("eerder", QStringLiteral("Eerder"));
    m_eerder->setCheckable(true);
    m_eerder->setMenu(m_datum);
    m_eerder->setPopupMode(QToolButton::MenuButtonPopup);
    connect(m_eerder, &QToolButton::clicked, this, [this] { Guarded([&] { eerderClick(); }); });

    m_sortmenu = new QMenu(this);
    m_sortmenu->setObjectName(QStringLiteral("sortmenu"));
    m_keys = new QActionGroup(this);
    m_directions = new QActionGroup(this);
    const struct {
        const char *name;
        const char *caption;
        QActionGroup *group;
    } sorts[] = {{"sortbyonderwerp", "Op onderwerp", m_keys},
                 {"sortbykop", "Op kop (titel)", m_keys},
                 {"sortbytemplate", "Op template", m_keys},
                 {"sortasc", "Oplopend", m_directions},
                 {"sortdesc", "Aflopend", m_directions}};
    for (const auto &s : sorts) {
        if (s.group == m_directions && m_directions->actions().isEmpty())
            m_sortmenu->addSeparator();
        QAction *a = m_sortmenu->addAction(QString::fromUtf8(s.caption));
        a->setObjectName(QString::fromLatin1(s.name));
        a->setCheckable(true);
        s.group->addAction(a);
        connect(a, &QAction::triggered, this, [this] {
            Guarded([&] {
                const QString key = m_keys->checkedAction()->objectName();
                setSort(key == QLatin1String("sortbykop")        ? KlaarSortKey::Kop
                        : key == QLatin1String("sortbytemplate") ? KlaarSortKey::Template
                                                                 : KlaarSortKey::Onderwerp,
                        m_directions->checkedAction()->objectName() == QLatin1String("sortdesc"));
            });
        });
    }
    m_keys->actions().first()->setChecked(true);
    m_directions->actions().first()->setChecked(true);
    QToolButton *sortbutton = button("sortbutton", QStringLiteral("Sorteren"));
    sortbutton->setMenu(m_sortmenu);
    sortbutton->setPopupMode(QToolButton::InstantPopup);

    m_panel2 = new QLabel(bar);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setMinimumWidth(90);
    m_panel2->setAlignment(Qt::AlignCenter);
    m_panel2->setFrameShape(QFrame::Panel);
    m_panel2->setFrameShadow(QFrame::Sunken);
    bar->addWidget(m_panel2);

    m_list = new views::TDragList(this);
    m_list->setObjectName(QStringLiteral("versiebox"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformItemSizes(true);
    m_list->setMouseTracking(true);
    m_list->setItemDelegate(new views::LineDelegate(paintKlaarItem, 13, m_list));
    m_list->installEventFilter(this);
    m_list->dragData = [this] { return dragData(); };
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Guarded([&] { versieboxDblClick(); }); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(bar);
    layout->addWidget(m_list, 1);
}

bool TKlaarFrame::frameMessage(int msg, qintptr, qintptr)
{
    switch (msg) {
    case core::FRAME_ACTIVATE:
    case core::FRAME_REFRESH: Guarded([&] { Reload(); }); return true;
    case core::FRAME_MOVE_LEFT: Guarded([&] { Naartodo(); }); return true;
    case core::FRAME_MOVE_RIGHT: Guarded([&] { NaarCyclus(); }); return true;
    case core::FRAME_FOCUS: return true;
    default: return false;
    }
}

void TKlaarFrame::showDay()
{
    m_panel2->setText(core::FormatDateTime(QStringLiteral("ddd dd mmm"), core::Today().addDays(-m_daysBack)));
}

void TKlaarFrame::Reload()
{
    const QDate today = core::Today();
    g_lastDaysBack = m_daysBack;
    const core::TProgramState &s = core::state();
    auto rs = core::Query(
        KlaarReloadSql(s.currentTeamId, today.addDays(-m_daysBack), today, s.workDate, m_key, m_descending));
    QStringList lines;
    lines.reserve(rs->RowCount());
    for (int i = 0; i < rs->RowCount(); ++i) {
        QString line;
        for (const QString &value : rs->Row(i))
            line += value + FieldSeparator;
        lines << line;
    }
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    m_list->addItems(lines);
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setToolTip(KlaarLineHint(ParseKlaarLine(lines.at(i))));
    m_list->setUpdatesEnabled(true);
}

void TKlaarFrame::serverMessage(const QString &argument)
{
    const QStringList words = argument.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 2 || words.at(0) != QLatin1String("remove"))
        return;
    for (int i = m_list->count() - 1; i >= 0; --i)
        if (ParseKlaarLine(m_list->item(i)->text()).todoId == words.at(1))
            delete m_list->takeItem(i);
}

QList<KlaarLine> TKlaarFrame::selectedLines() const
{
    QList<KlaarLine> lines;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->isSelected())
            lines << ParseKlaarLine(m_list->item(i)->text());
    return lines;
}

void TKlaarFrame::refreshViews()
{
    if (core::TMainOperations *main = core::state().main)
        main->RefreshViews();
    else
        Reload();
}

void TKlaarFrame::Naartodo()
{
    QStringList queue;
    for (const BackToTodoStep &step : BackToTodoSteps(selectedLines()))
        if (core::Execute(step.sql))  // a row not changed is never announced
            queue << step.broadcasts;
    for (const QString &command : queue)
        core::SendCommand(command);
    if (!queue.isEmpty())
        refreshViews();
}

void TKlaarFrame::NaarCyclus()
{
    if (!m_list->currentItem() || m_list->count() == 0)
        return;
    core::TMainOperations *main = core::state().main;
    core::TFrame *cycle = main ? main->RightFrame() : nullptr;
    if (!cycle || cycle == this)
        return;  // no cycle frame beside this list
    for (const KlaarLine &line : selectedLines())
        if (const auto id = number(line.textId); id && *id > 0)
            core::postFrameMessage(cycle, core::FRAME_ADD_TO_CYCLE, 0, *id);
    core::postFrameMessage(cycle, core::FRAME_ADD_TO_CYCLE, 1, 0);
}

QMimeData *TKlaarFrame::dragData() const
{
    QList<int> ids;
    for (const KlaarLine &line : selectedLines())
        if (const auto id = number(line.textId); id && *id > 0)
            ids << *id;
    if (ids.isEmpty())
        return nullptr;
    return core::DragObjectMimeData({core::DragTargetRubriek, core::FormatDragIds(ids), core::DragSourceVersiebox});
}

void TKlaarFrame::versieboxDblClick()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const KlaarLine line = ParseKlaarLine(item->text());
    const auto agenda = number(line.agendaId);
    const auto text = number(line.textId);
    if (line.isAutomatic() || !agenda || !text)
        return;  // an automatic item has no versions
    if (!core::RequestLock(KlaarLockName(*agenda), QStringLiteral("Onderwerp geopend door $lockedby$!")))
        return;
    struct Unlock {
        int id;
        ~Unlock() { core::SendCommand(QStringLiteral("unlock ") + KlaarLockName(id)); }
    } unlock{*agenda};
    core::registry().open(core::VersionsRequest{*agenda, *text});
}

void TKlaarFrame::vandaagClick()
{
    m_vandaag->setChecked(true);
    m_eerder->setChecked(false);
    m_daysBack = 0;
    showDay();
    Reload();
}

void TKlaarFrame::eerderClick(int daysBack)
{
    m_eerder->setChecked(true);
    m_vandaag->setChecked(false);
    if (daysBack >= 0) {
        m_daysBack = daysBack;
        showDay();
    }
    Reload();
}

void TKlaarFrame::setSort(KlaarSortKey key, bool descending)
{
    m_key = key;
    m_descending = descending;
    const int k = key == KlaarSortKey::Kop ? 1 : key == KlaarSortKey::Template ? 2 : 0;
    m_keys->actions().at(k)->setChecked(true);
    m_directions->actions().at(descending ? 1 : 0)->setChecked(true);
    Reload();
}

bool TKlaarFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list) {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Guarded([&] { versieboxDblClick(); });
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->modifiers() & Qt::ControlModifier) && key->key() == Qt::Key_Right) {
                Guarded([&] { NaarCyclus(); });
                return true;
            }
        }
    }
    return core::TFrame::eventFilter(watched, event);
}

}  // namespace planning
