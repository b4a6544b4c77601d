#include "planning/AgendaFrame.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/Locks.h"
#include "core/Tokens.h"
#include "db/Postgres.h"
#include "planning/AgendaForm.h"
#include "planning/AgendaLines.h"
#include "planning/AgendaPainters.h"
#include "planning/AgendaPuntFrame.h"
#include "planning/AgendaSql.h"
#include "planning/DatumForm.h"
#include "planning/Guarded.h"
#include "planning/KlaarSql.h"
#include "planning/TodoSql.h"
#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "views/FlowLayout.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace planning {

namespace {

// The first column of the first row as an integer: the sequence values.
std::optional<int> firstInt(const QString &sql)
{
    auto rs = core::Query(sql);
    bool ok = false;
    const int n = rs->RowCount() > 0 ? rs->Row(0).value(0).toInt(&ok) : 0;
    return ok ? std::optional<int>(n) : std::nullopt;
}

// The id of a line as a number; lines are made by this frame, so a line
// without one is skipped rather than composed into a statement.
std::optional<int> lineNumber(const AgendaLine &line)
{
    bool ok = false;
    const int n = line.id.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

// Sends the collected broadcasts first to last, taking each off the queue.
void sendQueued(QStringList &queue)
{
    while (!queue.isEmpty())
        core::SendCommand(queue.takeFirst());
}

const char *kTagProperty = "tag";

}  // namespace

TAgendaFrame::TAgendaFrame(QWidget *parent) : core::TFrame(parent)
{
    setObjectName(QStringLiteral("AgendaFrame"));
    bool ok = false;
    const int days = platform::ReadSetting(QStringLiteral("AgendaDagen"), QStringLiteral("0")).toInt(&ok);
    m_daysShown = ok ? qBound(0, days, 6) : 0;  // a hand-edited value cannot widen the range
    buildMenus();
    buildControls();
    m_tijd->setChecked(platform::ReadSetting(QStringLiteral("AgendaLijstTijd"), QStringLiteral("false")) ==
                       QLatin1String("true"));
    loadTeams();
}

QAction *TAgendaFrame::addAction(QMenu *menu, const QString &name, const QString &caption, void (TAgendaFrame::*slot)())
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, slot] { Guarded([&] { (this->*slot)(); }); });
    return a;
}

void TAgendaFrame::buildMenus()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    addAction(m_popup, QStringLiteral("AgendaNieuw"), QStringLiteral("&Nieuw"), &TAgendaFrame::AgendaNieuwClick);
    addAction(m_popup, QStringLiteral("Verwijderen1"), QStringLiteral("Ver&wijderen"),
              &TAgendaFrame::Verwijderen1Click);
    addAction(m_popup, QStringLiteral("Followupmaken1"), QStringLiteral("&Follow-up maken"),
              &TAgendaFrame::Followupmaken1Click);
    addAction(m_popup, QStringLiteral("Naarproductielijst1"), QStringLiteral("Naar productielijst"),
              &TAgendaFrame::MoveToProduction);
    m_defred = m_popup->addMenu(QStringLiteral("Naar andere redactie"));
    m_defred->setObjectName(QStringLiteral("defred"));
    m_defred->menuAction()->setObjectName(QStringLiteral("defredItem"));
    m_popup->addSeparator();
    const struct {
        const char *name;
        const char *caption;
        int days;  // 0 with today: "&Vandaag"
    } dates[] = {{"Weekterug1", "&Vorige week", -7},
                 {"Eergisteren1", "&Eergisteren", -2},
                 {"Gisteren1", "&Gisteren", -1},
                 {"Vandaag1", "&Vandaag", 0},
                 {"Morgen1", "&Morgen", 1},
                 {"Overmorgen1", "&Overmorgen", 2},
                 {"Volgendeweek1", "&Volgende week", 7}};
    for (const auto &d : dates) {
        QAction *a = m_popup->addAction(QString::fromLatin1(d.caption));
        a->setObjectName(QString::fromLatin1(d.name));
        const int days = d.days;
        connect(a, &QAction::triggered, this,
                [this, days] { Guarded([&] { days == 0 ? Vandaag1Click() : ShiftWorkDate(days); }); });
    }
    QAction *anders =
        addAction(m_popup, QStringLiteral("Anders1"), QStringLiteral("&Anders ..."), &TAgendaFrame::Anders1Click);
    anders->setIconText(QStringLiteral("Anders ..."));  // a button drops the dots of a menu text unless told
    m_dagen = m_popup->addMenu(QStringLiteral("&Dagen tonen"));
    m_dagen->setObjectName(QStringLiteral("Dagentonen1"));
    m_dagenPopup = new QMenu(this);
    m_dagenPopup->setObjectName(QStringLiteral("dagenpopup"));
    for (QMenu *menu : {m_dagen, m_dagenPopup}) {
        for (int tag = 0; tag <= 6; ++tag) {
            QAction *a = menu->addAction(tag == 0 ? QStringLiteral("1 Dag") : QStringLiteral("%1 Dagen").arg(tag + 1));
            a->setObjectName(QStringLiteral("N%1Dag%2").arg(tag + 1).arg(menu == m_dagen ? 1 : 2));
            a->setProperty(kTagProperty, tag);
            connect(a, &QAction::triggered, this, [this, tag] { Guarded([&] { SetDaysShown(tag); }); });
        }
    }
    m_lijstMenu = new QMenu(this);
    m_lijstMenu->setObjectName(QStringLiteral("LijstMenu"));
    m_tijd = m_lijstMenu->addAction(QStringLiteral("Tijd"));
    m_tijd->setObjectName(QStringLiteral("tijd"));
    m_tijd->setCheckable(true);
    connect(m_tijd, &QAction::triggered, this, [this] { applyTimeColumn(); });
}

QToolButton *TAgendaFrame::addToolButton(const QString &name, QAction *action)
{
    auto *b = new QToolButton(this);
    b->setObjectName(name);
    b->setDefaultAction(action);
    b->setAutoRaise(true);
    return b;
}

void TAgendaFrame::buildControls()
{
    auto find = [this](const char *name) { return m_popup->findChild<QAction *>(QString::fromLatin1(name)); };
    // The buttons flow into further rows in a narrow panel: every command
    // stays on screen, none hides behind an overflow handle.
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto *flow = new views::FlowLayout(bar);
    const struct {
        const char *button;
        const char *action;
    } buttons[] = {{"ToolButton1", "AgendaNieuw"},  {"ToolButton12", "Verwijderen1"}, {"ToolButton9", "Weekterug1"},
                   {"ToolButton3", "Eergisteren1"}, {"ToolButton4", "Gisteren1"},     {"ToolButton5", "Vandaag1"},
                   {"ToolButton6", "Morgen1"},      {"ToolButton7", "Overmorgen1"},   {"ToolButton8", "Volgendeweek1"},
                   {"ToolButton11", "Anders1"}};
    for (const auto &b : buttons)
        flow->addWidget(addToolButton(QString::fromLatin1(b.button), find(b.action)));
    m_speed1 = new QToolButton(bar);
    m_speed1->setObjectName(QStringLiteral("SpeedButton1"));
    m_speed1->setText(QStringLiteral("Aantal dagen"));
    m_speed2 = new QToolButton(bar);
    m_speed2->setObjectName(QStringLiteral("SpeedButton2"));
    m_speed2->setText(QStringLiteral("Lijst"));
    for (QToolButton *b : {m_speed1, m_speed2}) {
        b->setAutoRaise(true);
        flow->addWidget(b);
    }
    // The popups open at the pressed button's top-left corner.
    connect(m_speed1, &QToolButton::clicked, this, [this] { m_dagenPopup->popup(m_speed1->mapToGlobal(QPoint())); });
    connect(m_speed2, &QToolButton::clicked, this, [this] { m_lijstMenu->popup(m_speed2->mapToGlobal(QPoint())); });

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformItemSizes(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    // The time column is read on every paint, so toggling it repaints.
    m_list->setItemDelegate(new views::LineDelegate(
        [this](QPainter &p, const QRect &rect, const views::LineItem &item) {
            paintAgendaItem(p, rect, item, m_tijd->isChecked());
        },
        LineHeightFor(m_list->font()), m_list));
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Guarded([&] { ListBox1DblClick(); }); });
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popup->popup(m_list->viewport()->mapToGlobal(pos)); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(bar);
    layout->addWidget(m_label);
    layout->addWidget(m_list, 1);
}

void TAgendaFrame::loadTeams()
{
    auto rs = core::Query(TeamsSql());
    for (int i = 0; i < rs->RowCount(); ++i) {
        const QStringList row = rs->Row(i);
        QAction *a = m_defred->addAction(row.value(1));
        a->setProperty(kTagProperty, row.value(0).toInt());
        connect(a, &QAction::triggered, this, [this, a] { Guarded([&] { MoveToTeam(a); }); });
    }
}

bool TAgendaFrame::timeColumn() const
{
    return m_tijd->isChecked();
}

bool TAgendaFrame::frameMessage(int msg, qintptr, qintptr)
{
    core::TMainOperations *main = core::state().main;
    switch (msg) {
    case core::FRAME_ACTIVATE:
        if (main)
            main->AddMenuButton(QStringLiteral("&Agenda"), m_popup);
        return true;
    case core::FRAME_DEACTIVATE:
        if (main)
            main->RemoveMenuButton(QStringLiteral("&Agenda"), m_popup);
        return true;
    case core::FRAME_REFRESH: Guarded([&] { Reload(); }); return true;
    case core::FRAME_MOVE_LEFT: return true;
    case core::FRAME_MOVE_RIGHT: Guarded([&] { MoveToProduction(); }); return true;
    case core::FRAME_FOCUS: m_list->setFocus(); return true;
    default: return false;
    }
}

QDate TAgendaFrame::lastDay() const
{
    return core::state().workDate.addDays(m_daysShown);
}

void TAgendaFrame::Reload()
{
    const core::TProgramState &s = core::state();
    const QDate d0 = s.workDate, d1 = lastDay();
    const QString pattern = QStringLiteral("ddd dd mmm yyyy");
    m_label->setText(QStringLiteral("Agenda van ") + core::FormatDateTime(pattern, d0) + QStringLiteral(" tot ") +
                     core::FormatDateTime(pattern, d1));
    // Lines are built as the rows arrive; the list changes only when the
    // whole reply came, so a lost connection leaves the lines as they were.
    // No paint happens before the event loop runs again, so the refill needs
    // no setUpdatesEnabled (re-enabling would repaint the scroll bars too).
    QStringList lines;
    const auto rs = core::QueryRows(ReloadSql(d0, d1, core::Today(), s.currentTeamId),
                                    [&lines](const db::TPostgresRowView &row) { lines << AgendaLineText(row); });
    if (!rs->ok())
        return;
    m_list->clear();
    m_list->addItems(lines);
}

QString TAgendaFrame::fetchLine(int id) const
{
    const core::TProgramState &s = core::state();
    auto rs = core::Query(FetchLineSql(id, s.workDate, lastDay(), s.currentTeamId));
    return rs->RowCount() > 0 ? AgendaLineText(rs->Row(0)) : QString();
}

void TAgendaFrame::serverMessage(const QString &argument)
{
    QString rest = argument;
    const QString verb = core::TakeWhile(rest, core::Letters);
    rest.remove(0, 1);
    const QString id = rest.trimmed();
    bool isNumber = false;
    const int number = id.toInt(&isNumber);
    if (!isNumber)
        return;  // another client's words go into SQL only as a number
    auto firstMatch = [&]() -> QListWidgetItem * {
        for (int i = 0; i < m_list->count(); ++i)
            if (LineId(m_list->item(i)->text()) == id)
                return m_list->item(i);
        return nullptr;
    };
    if (verb == QLatin1String("new")) {
        const QString line = fetchLine(number);
        if (!line.isEmpty())
            m_list->insertItem(0, line);
    } else if (verb == QLatin1String("remove")) {
        delete firstMatch();
    } else if (verb == QLatin1String("update")) {
        QListWidgetItem *item = firstMatch();
        if (!item)
            return;
        const QString line = fetchLine(number);
        if (line.isEmpty())
            delete item;
        else
            item->setText(line);
    }
}

QList<int> TAgendaFrame::selectedRows() const
{
    QList<int> rows;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->isSelected())
            rows << i;
    return rows;
}

void TAgendaFrame::removeRows(const QList<int> &rows)
{
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        delete m_list->takeItem(*it);
}

void TAgendaFrame::refreshViews()
{
    if (core::TMainOperations *main = core::state().main)
        main->RefreshViews();
    else
        Reload();
}

// Opens the item dialog; after "&Opslaan" the list shows what was saved.
void TAgendaFrame::editAndSave(const core::AgendaItemRequest &request)
{
    if (OpenAgendaItem(request, window()).modalResult == int(platform::ModalResult::Ok))
        Reload();
}

void TAgendaFrame::AgendaNieuwClick()
{
    editAndSave({.agendaId = -1, .date = core::state().workDate});
}

void TAgendaFrame::ListBox1DblClick()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const AgendaLine line = ParseAgendaLine(item->text());
    const auto id = lineNumber(line);
    if (!id)
        return;
    if (line.isNormal()) {
        if (!core::RequestLock(AgendaLockName(*id), LockRefusal))
            return;
        // The lock goes back whatever happens in the dialog.
        struct Unlock {
            int id;
            ~Unlock() { core::SendCommand(UnlockAgendaCommand(id)); }
        } unlock{*id};
        editAndSave({.agendaId = *id});
        return;
    }
    editAndSave({.agendaId = -1, .date = core::state().workDate, .onderwerp = line.kort, .repeatId = *id});
}

void TAgendaFrame::Followupmaken1Click()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const AgendaLine line = ParseAgendaLine(item->text());
    if (!line.isNormal()) {
        platform::showWarning(QStringLiteral("Je kunt geen follow-up maken van een herhalend onderwerp!"));
        return;
    }
    const auto id = lineNumber(line);
    if (!id)
        return;
    editAndSave({.agendaId = *id, .makeNew = true, .date = core::state().workDate, .followUpId = *id});
}

void TAgendaFrame::Verwijderen1Click()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty() || !platform::confirm(QStringLiteral("Selectie verwijderen?")))
        return;
    QStringList queue;
    QList<int> deleted;
    bool listRowsGone = false;
    for (int row : rows) {
        const AgendaLine line = ParseAgendaLine(m_list->item(row)->text());
        const auto id = lineNumber(line);
        if (!line.isNormal() || !id)
            continue;  // a repeating item is not deleted from the agenda list
        // The item and its links go together or not at all.
        core::TTransaction t;
        for (const QString &sql : DeleteItemSql(*id))
            t.Execute(sql);
        const auto todoRows = t.Query(DeleteItemTodoSql(*id));
        if (!t.Commit())
            continue;
        queue << BroadcastAgendaRemove(*id);
        // Its production-list and ready-list lines go from every screen too.
        for (int i = 0; i < todoRows->RowCount(); ++i) {
            const QStringList todo = todoRows->Row(i);
            bool ok = false;
            const int todoId = todo.value(0).toInt(&ok);
            if (!ok)
                continue;
            queue << (todo.value(1) == QLatin1String("t") ? BroadcastKlaarRemove(todoId) : BroadcastTodoRemove(todoId));
            listRowsGone = true;
        }
        deleted << row;
    }
    sendQueued(queue);
    removeRows(deleted);
    if (listRowsGone)
        refreshViews();  // the list beside this one is told by no broadcast
}

void TAgendaFrame::MoveToTeam(QAction *teamItem)
{
    const QList<int> rows = selectedRows();
    if (!teamItem || rows.isEmpty())
        return;
    const QString name = teamItem->text().remove(QLatin1Char('&'));
    if (!platform::confirm(QStringLiteral("Selectie naar ") + name + QStringLiteral("?")))
        return;
    const int team = teamItem->property(kTagProperty).toInt();
    QStringList queue;
    QList<int> moved;
    for (int row : rows) {
        const AgendaLine line = ParseAgendaLine(m_list->item(row)->text());
        const auto id = lineNumber(line);
        if (!line.isNormal() || !id)
            continue;
        if (!core::Execute(MoveToTeamSql(team, *id)))
            continue;
        queue << BroadcastAgendaRemove(*id);
        moved << row;
    }
    sendQueued(queue);
    if (team != core::state().currentTeamId)
        removeRows(moved);
}

void TAgendaFrame::MoveToProduction()
{
    const core::TProgramState &s = core::state();
    const QList<int> rows = selectedRows();
    QStringList queue;
    for (int row : rows) {
        const AgendaLine line = ParseAgendaLine(m_list->item(row)->text());
        const auto id = lineNumber(line);
        if (!id)
            continue;
        if (line.isNormal()) {
            const auto todo = firstInt(NextTodoIdSql());
            if (!todo)
                continue;
            if (!core::Execute(TodoInsertSql(*todo, *id, core::Today(), s.currentTeamId)))
                continue;
            queue << BroadcastTodoNew(*todo) << BroadcastAgendaRemove(*id);
        } else {
            const auto agenda = firstInt(NextAgendaIdSql());
            if (!agenda)
                continue;
            if (!core::Execute(TakeUpRepeatSql(*agenda, line.kort, s.workDate, core::TimeNow(), s.currentTeamId, *id)))
                continue;
            const auto todo = firstInt(NextTodoIdSql());
            if (!todo || !core::Execute(TodoInsertSql(*todo, *agenda, s.workDate, s.currentTeamId)))
                continue;
            queue << BroadcastTodoNew(*todo) << BroadcastAgendaRemove(*id);
        }
    }
    const bool moved = !queue.isEmpty();
    sendQueued(queue);
    if (moved)
        refreshViews();  // this list drops the lines, the production list beside it shows them
}

void TAgendaFrame::SetDaysShown(int days)
{
    m_daysShown = qBound(0, days, 6);
    platform::WriteSetting(QStringLiteral("AgendaDagen"), QString::number(m_daysShown));
    refreshViews();
}

void TAgendaFrame::tijdClick()
{
    m_tijd->trigger();
}

void TAgendaFrame::applyTimeColumn()
{
    m_list->viewport()->update();
    platform::WriteSetting(QStringLiteral("AgendaLijstTijd"),
                           m_tijd->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
}

void TAgendaFrame::ShiftWorkDate(int days)
{
    core::state().workDate = core::state().workDate.addDays(days);
    refreshViews();
}

void TAgendaFrame::Vandaag1Click()
{
    core::state().workDate = core::Today();
    refreshViews();
}

void TAgendaFrame::Anders1Click()
{
    TDatumForm form(window());
    form.dat()->setSelectedDate(core::state().workDate);
    if (form.exec() == QDialog::Accepted) {
        core::state().workDate = form.dat()->selectedDate();
        refreshViews();
    }
}

bool TAgendaFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list) {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Guarded([&] { ListBox1DblClick(); });
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Right && (key->modifiers() & Qt::ControlModifier)) {
                Guarded([&] { MoveToProduction(); });
                return true;
            }
        }
    }
    return core::TFrame::eventFilter(watched, event);
}

}  // namespace planning
