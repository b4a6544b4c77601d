#include "planning/TodoFrame.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/Locks.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "core/Tokens.h"
#include "db/Postgres.h"
#include "planning/AgendaForm.h"
#include "planning/AgendaPainters.h"
#include "views/FlowLayout.h"
#include "views/LineDelegate.h"
#include "planning/AgendaPuntFrame.h"
#include "planning/AgendaSql.h"
#include "planning/Guarded.h"
#include "planning/KiesRedacteurDialog.h"
#include "planning/TodoSql.h"
#include "platform/Dialogs.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace planning {

namespace {

// Carried out: the statement ran without an error. A row not changed is
// never announced to the other clients.
bool execute(const QString &sql)
{
    return core::Execute(sql);
}

std::optional<int> number(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

// Sends the collected broadcasts first to last.
void sendQueued(const QStringList &queue)
{
    for (const QString &command : queue)
        core::SendCommand(command);
}

}  // namespace

TTodoFrame::TTodoFrame(QWidget *parent) : core::TFrame(parent)
{
    setObjectName(QStringLiteral("TodoFrame"));
    buildControls();
}

QAction *TTodoFrame::addAction(const QString &name, const QString &caption, void (TTodoFrame::*slot)())
{
    QAction *a = m_popup->addAction(caption);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, slot] { Guarded([&] { (this->*slot)(); }); });
    return a;
}

void TTodoFrame::buildControls()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *naarAgenda =
        addAction(QStringLiteral("Naaragenda1"), QStringLiteral("Naar &agenda"), &TTodoFrame::UitTodo);
    QAction *naarKlaar = addAction(QStringLiteral("Naarklaar1"), QStringLiteral("Naar &klaar"), &TTodoFrame::NaarKlaar);
    QAction *openen = addAction(QStringLiteral("Openen1"), QStringLiteral("Openen"), &TTodoFrame::ListBox1DblClick);
    QAction *toekennen = addAction(QStringLiteral("Redacteurtoekennen1"), QStringLiteral("Redacteur &toekennen"),
                                   &TTodoFrame::Redacteurtoekennen1Click);
    m_agendaOpenen =
        addAction(QStringLiteral("Agendaopenen1"), QStringLiteral("A&genda openen"), &TTodoFrame::Agendaopenen1Click);
    m_evaluatie = addAction(QStringLiteral("Evaluatie1"), QStringLiteral("&Evaluatie"), &TTodoFrame::ToolButton8Click);
    // Without an evaluation window registered the item cannot be chosen.
    m_evaluatie->setEnabled(core::registry().hasOpener<core::EvaluationRequest>());

    // The buttons flow into further rows in a narrow panel, as in the agenda:
    // every command stays on screen.
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto *flow = new views::FlowLayout(bar);
    const struct {
        const char *name;
        QAction *action;
        const char *caption;  // the button's own text where it differs from the menu's
    } buttons[] = {{"ToolButton2", naarAgenda, nullptr},      {"ToolButton3", naarKlaar, nullptr},
                   {"ToolButton4", openen, nullptr},          {"ToolButton1", toekennen, nullptr},
                   {"ToolButton6", m_agendaOpenen, "Agenda"}, {"ToolButton8", m_evaluatie, nullptr}};
    for (const auto &b : buttons) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setDefaultAction(b.action);
        button->setAutoRaise(true);
        if (b.caption) {
            auto *own = new QAction(QString::fromLatin1(b.caption), button);
            connect(own, &QAction::triggered, b.action, &QAction::trigger);
            connect(b.action, &QAction::changed, own, [own, a = b.action] { own->setEnabled(a->isEnabled()); });
            button->setDefaultAction(own);
        }
        flow->addWidget(button);
    }

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformItemSizes(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setItemDelegate(new views::LineDelegate(paintTodoItem, LineHeightFor(m_list->font()), m_list));
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Guarded([&] { ListBox1DblClick(); }); });
    connect(m_list, &QListWidget::currentItemChanged, this, [this] { updateActions(); });
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popup->popup(m_list->viewport()->mapToGlobal(pos)); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(bar);
    layout->addWidget(m_list, 1);
    updateActions();
}

// An automatic item has no agenda item to open.
void TTodoFrame::updateActions()
{
    const QListWidgetItem *item = m_list->currentItem();
    m_agendaOpenen->setEnabled(item && !ParseTodoLine(item->text()).isAutomatic());
}

bool TTodoFrame::frameMessage(int msg, qintptr, qintptr)
{
    core::TMainOperations *main = core::state().main;
    switch (msg) {
    case core::FRAME_ACTIVATE:
        if (main)
            main->AddMenuButton(QStringLiteral("&Productielijst"), m_popup);
        return true;
    case core::FRAME_DEACTIVATE:
        if (main)
            main->RemoveMenuButton(QStringLiteral("&Productielijst"), m_popup);
        return true;
    case core::FRAME_REFRESH: Guarded([&] { Reload(); }); return true;
    case core::FRAME_MOVE_LEFT: Guarded([&] { UitTodo(); }); return true;
    case core::FRAME_MOVE_RIGHT: Guarded([&] { NaarKlaar(); }); return true;
    case core::FRAME_FOCUS: m_list->setFocus(); return true;
    default: return false;
    }
}

// A reload that fails (the database connection is gone) keeps what the list
// shows rather than emptying it; the list reloads when the connection is back.
void TTodoFrame::Reload()
{
    auto rs = core::Query(TodoReloadSql(core::Today(), core::state().currentTeamId));
    if (!rs->ok())
        return;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QStringList lines;
    lines.reserve(rs->RowCount());
    for (int i = 0; i < rs->RowCount(); ++i)
        lines << TodoLineText(rs->Row(i));
    m_list->addItems(lines);
    m_list->setUpdatesEnabled(true);
    updateActions();
}

QString TTodoFrame::fetchLine(int id, bool automatic) const
{
    const int team = core::state().currentTeamId;
    auto rs = core::Query(automatic ? TodoFetchAutomaticSql(id, core::Today(), team) : TodoFetchSql(id, team));
    return rs->RowCount() > 0 ? TodoLineText(rs->Row(0)) : QString();
}

void TTodoFrame::serverMessage(const QString &argument)
{
    QString rest = argument;
    const QString verb = core::TakeWhile(rest, core::Letters);
    rest.remove(0, 1);
    const QString id = rest.trimmed();
    const auto n = number(id);
    if (!n)
        return;  // another client's words go into SQL only as a number
    auto firstMatch = [&]() -> QListWidgetItem * {
        for (int i = 0; i < m_list->count(); ++i)
            if (ParseTodoLine(m_list->item(i)->text()).todoId == id)
                return m_list->item(i);
        return nullptr;
    };
    const bool automatic = verb.startsWith(QLatin1Char('h'));
    if (verb == QLatin1String("new") || verb == QLatin1String("hnew")) {
        const QString line = fetchLine(*n, automatic);
        if (!line.isEmpty())
            m_list->insertItem(0, line);
    } else if (verb == QLatin1String("update") || verb == QLatin1String("hupdate")) {
        QListWidgetItem *item = firstMatch();
        if (!item)
            return;
        const QString line = fetchLine(*n, automatic);
        if (!line.isEmpty())
            item->setText(line);
    } else if (verb == QLatin1String("remove")) {
        delete firstMatch();
    }
    updateActions();
}

QList<int> TTodoFrame::selectedRows() const
{
    QList<int> rows;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->isSelected())
            rows << i;
    return rows;
}

void TTodoFrame::refreshViews()
{
    if (core::TMainOperations *main = core::state().main)
        main->RefreshViews();
    else
        Reload();
}

void TTodoFrame::UitTodo()
{
    QStringList queue;
    for (int row : selectedRows()) {
        const TodoLine line = ParseTodoLine(m_list->item(row)->text());
        const auto todo = number(line.todoId);
        const auto agenda = number(line.agendaId);
        if (line.isAutomatic() || !todo || !agenda)
            continue;
        if (execute(TodoDeleteSql(*todo)))
            queue << BroadcastTodoRemove(*todo) << BroadcastAgendaNew(*agenda);
    }
    sendQueued(queue);
    if (!queue.isEmpty())
        refreshViews();  // the line leaves this list and shows in the agenda beside it
}

void TTodoFrame::NaarKlaar()
{
    QStringList queue;
    for (int row : selectedRows()) {
        const TodoLine line = ParseTodoLine(m_list->item(row)->text());
        const auto todo = number(line.todoId);
        if (!todo)
            continue;
        if (line.isAutomatic()) {
            if (execute(TodoAutomaticReadySql(*todo)))
                queue << BroadcastTodoRemove(*todo) << BroadcastKlaarHnew(*todo);
            continue;
        }
        const auto agenda = number(line.agendaId);
        if (!agenda)
            continue;
        auto rs = core::Query(VersionCountSql(*agenda));
        if (rs->RowCount() == 0 || rs->Row(0).value(0) == QLatin1String("0")) {
            platform::showWarning(EmptyTopicWarning(line.kort));
            continue;
        }
        if (execute(TodoReadySql(*todo)))
            queue << BroadcastTodoRemove(*todo) << BroadcastKlaarNew(*todo);
    }
    sendQueued(queue);
    if (!queue.isEmpty())
        refreshViews();
}

void TTodoFrame::ListBox1DblClick()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const TodoLine line = ParseTodoLine(item->text());
    if (line.isAutomatic()) {
        platform::showWarning(AutomaticOpenWarning);
        return;
    }
    const auto todo = number(line.todoId);
    const auto agenda = number(line.agendaId);
    if (!todo || !agenda || !core::RequestLock(TodoLockName(*todo), TodoLockRefusal))
        return;
    // The lock goes back whatever happens in the window.
    struct Unlock {
        int id;
        ~Unlock() { core::SendCommand(UnlockTodoCommand(id)); }
    } unlock{*todo};
    core::registry().open(core::VersionsRequest{*agenda, -1});
}

void TTodoFrame::Redacteurtoekennen1Click()
{
    const QList<int> rows = selectedRows();
    TKiesRedacteurDialog dialog(window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString login = dialog.Result();
    for (int row : rows) {
        QListWidgetItem *item = m_list->item(row);
        const TodoLine line = ParseTodoLine(item->text());
        const auto todo = number(line.todoId);
        if (!todo)
            continue;
        const bool automatic = line.isAutomatic();
        if (!execute(automatic ? TodoAutomaticAssignSql(login, *todo) : TodoAssignSql(login, *todo)))
            continue;
        core::SendCommand(automatic ? BroadcastTodoHupdate(*todo) : BroadcastTodoUpdate(*todo));
        const QString fetched = fetchLine(*todo, automatic);
        if (!fetched.isEmpty())
            item->setText(fetched);
    }
}

void TTodoFrame::Agendaopenen1Click()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const TodoLine line = ParseTodoLine(item->text());
    const auto agenda = number(line.agendaId);
    if (line.isAutomatic() || !agenda)
        return;
    if (!core::SendCommand(LockAgendaCommand(*agenda))) {
        platform::showInformation(AgendaItemOpenElsewhere);
        return;
    }
    struct Unlock {
        int id;
        ~Unlock() { core::SendCommand(UnlockAgendaCommand(id)); }
    } unlock{*agenda};
    TAgendaForm form(window());
    form.AgendaPuntFrame1()->Load(*agenda);
    if (form.exec() == QDialog::Accepted) {
        form.AgendaPuntFrame1()->Save();
        const auto todo = number(line.todoId);
        if (const QString fetched = todo ? fetchLine(*todo, false) : QString(); !fetched.isEmpty())
            item->setText(fetched);
    }
}

void TTodoFrame::ToolButton8Click()
{
    core::registry().open(core::EvaluationRequest{});
    Reload();  // the evaluation may have moved or removed topics of this list
}

bool TTodoFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list) {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Guarded([&] { ListBox1DblClick(); });
                return true;
            }
            if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
                Guarded([&] { Redacteurtoekennen1Click(); });
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->modifiers() & Qt::ControlModifier) {
                if (key->key() == Qt::Key_Left) {
                    Guarded([&] { UitTodo(); });
                    return true;
                }
                if (key->key() == Qt::Key_Right) {
                    Guarded([&] { NaarKlaar(); });
                    return true;
                }
            }
        }
    }
    return core::TFrame::eventFilter(watched, event);
}

}  // namespace planning
