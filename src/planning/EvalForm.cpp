#include "planning/EvalForm.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/Locks.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "db/Postgres.h"
#include "planning/AgendaLines.h"
#include "planning/AgendaPainters.h"
#include "planning/DatumForm.h"
#include "planning/Guarded.h"
#include "planning/TodoSql.h"
#include "platform/Dialogs.h"
#include "views/HighlightView.h"
#include "views/LineDelegate.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace planning {

namespace {

void paintEvalItem(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    paintEvalLine(p, rect, item.text, {views::LineBackground(item), views::LineTextColor(item), QColor()});
}

}  // namespace

TEvalForm::TEvalForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EvalForm"));
    setWindowTitle(QStringLiteral("Evaluatie"));
    buildControls();
}

TEvalForm::~TEvalForm()
{
    // The list outlives this part of the dialog while its items are freed.
    m_over->disconnect(this);
}

void TEvalForm::buildControls()
{
    auto *title = new QLabel(QStringLiteral("Evaluatie"), this);
    title->setObjectName(QStringLiteral("Panel14"));
    title->setAutoFillBackground(true);
    QPalette pal = title->palette();
    pal.setColor(QPalette::Window, QColor(239, 140, 41));
    title->setPalette(pal);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setContentsMargins(6, 4, 6, 4);

    m_view = new views::THighlightView(this);
    m_view->setObjectName(QStringLiteral("view"));
    m_view->setMinimumSize(360, 260);

    m_over = new QListWidget(this);
    m_over->setObjectName(QStringLiteral("over"));
    m_over->setUniformItemSizes(true);
    m_over->setItemDelegate(new views::LineDelegate(paintEvalItem, LineHeightFor(m_over->font()), m_over));
    // The line decided on is the current one, however it became current
    // (click, arrow keys, Home, typing a title's first letter).
    connect(m_over, &QListWidget::currentItemChanged, this, [this] { Guarded([&] { overClick(); }); });

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("doorplaatsmenu"));
    const struct {
        const char *name;
        const char *caption;
        int days;
    } items[] = {{"Morgen1", "&Morgen", 1},
                 {"Overmorgen1", "&Overmorgen", 2},
                 {"Volgendeweek1", "&Volgende week", 7},
                 {"Anders1", "&Anders...", 0}};
    for (const auto &i : items) {
        QAction *a = m_menu->addAction(QString::fromUtf8(i.caption));
        a->setObjectName(QString::fromLatin1(i.name));
        connect(a, &QAction::triggered, this, [this, d = i.days] { Guarded([&] { Reschedule(d); }); });
    }

    auto *buttons = new QVBoxLayout;
    auto button = [&](const char *name, const QString &caption, auto slot) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button("Button1", QStringLiteral("&Tekst openen"), [this] { Guarded([&] { Button1Click(); }); });
    m_doorplaatsen = button("Button2", QStringLiteral("&Doorplaatsen"),
                            [this] { m_menu->popup(m_doorplaatsen->mapToGlobal(QPoint(0, 0))); });
    m_followUp = button("Button3", QStringLiteral("&Follow-up maken"), [this] { Guarded([&] { Button3Click(); }); });
    button("Button4", QStringLiteral("&Afvoeren"), [this] { Guarded([&] { Button4Click(); }); });
    QPushButton *agenda =
        button("Button5", QStringLiteral("A&genda openen"), [this] { Guarded([&] { Button5Click(); }); });
    QPushButton *close = button("Button6", QStringLiteral("Sluiten"), [this] { reject(); });
    QPalette red = close->palette();
    red.setColor(QPalette::ButtonText, Qt::red);
    close->setPalette(red);

    auto *right = new QVBoxLayout;
    right->addWidget(m_over, 1);
    right->addLayout(buttons);
    auto *body = new QHBoxLayout;
    body->addWidget(m_view, 2);
    body->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(body, 1);
    agenda->setFocus();
    agenda->setDefault(true);
    resize(680, 420);
}

void TEvalForm::Build()
{
    const core::TProgramState &s = core::state();
    {
        const QSignalBlocker quiet(m_over);  // the topic is read once, for the first line
        m_over->clear();
        for (const QString &sql : EvalListSql(s.currentTeamId, core::Today())) {
            auto rs = core::Query(sql);
            for (int i = 0; i < rs->RowCount(); ++i) {
                QString line;
                for (const QString &v : rs->Row(i))
                    line += v + FieldSeparator;
                m_over->addItem(line);
            }
        }
        if (m_over->count() > 0)
            m_over->setCurrentRow(0);
    }
    overClick();
}

void TEvalForm::overClick()
{
    QListWidgetItem *item = m_over->currentItem();
    if (!item) {
        m_group = m_listId = m_agendaId = -1;
        return;
    }
    const EvalLine line = ParseEvalLine(item->text());
    m_group = line.group;
    m_listId = line.listId;
    // Known without a row for an agenda topic; never the topic chosen before.
    m_agendaId = m_group == 2 ? m_listId : -1;
    m_view->setText(QString());
    m_doorplaatsen->setEnabled(m_group == 1 || m_group == 2);
    m_followUp->setEnabled(m_group == 0);
    auto rs = core::Query(EvalTopicSql(m_group, m_listId));
    if (rs->RowCount() == 0)
        return;  // the agenda item is gone: an empty view, the ids known still serve
    const QStringList row = rs->Row(0);
    m_view->setText(EvalTopicMarkup(m_group, row.value(0), row.value(1)));
    m_agendaId = row.value(2).toInt();
}

void TEvalForm::discard()
{
    {
        // The neighbour the list makes current meanwhile is not chosen: the first line is.
        const QSignalBlocker quiet(m_over);
        delete m_over->currentItem();
        if (m_over->count() > 0)
            m_over->setCurrentRow(0);
    }
    overClick();
    if (m_over->count() == 0) {
        platform::showInformation(EvalCompleted);
        accept();
    }
}

void TEvalForm::removeProductionRow()
{
    if (core::Execute(EvalDeleteTodoSql(m_listId)))
        core::SendCommand(BroadcastTodoRemove(m_listId));
}

void TEvalForm::Button4Click()
{
    if (!m_over->currentItem()) {
        discard();  // nothing left to evaluate
        return;
    }
    if (m_group == 1 && !core::Execute(EvalDeleteTodoSql(m_listId)))
        return;  // not deleted: the topic stays in the list
    if (m_group == 1)
        core::SendCommand(BroadcastTodoRemove(m_listId));
    discard();
}

void TEvalForm::Reschedule(int days)
{
    if (!m_over->currentItem() || (m_group != 1 && m_group != 2))
        return;
    QDate day;
    if (days > 0) {
        const QString question = days == 1   ? QStringLiteral("Onderwerp doorplaatsen naar morgen?")
                                 : days == 2 ? QStringLiteral("Onderwerp doorplaatsen naar overmorgen?")
                                             : QStringLiteral("Onderwerp doorplaatsen naar volgende week?");
        if (!platform::confirm(question))
            return;
        day = core::Today().addDays(days);
    } else {
        TDatumForm form(this);
        form.dat()->setSelectedDate(core::Today());
        if (form.exec() != QDialog::Accepted)
            return;
        day = form.dat()->selectedDate();
    }
    // Without its agenda item (deleted meanwhile) there is no date to move;
    // the production row still goes.
    const bool moveItem = m_agendaId >= 0;
    core::TTransaction t;
    if (moveItem)
        t.Execute(EvalRescheduleSql(day, m_agendaId));
    if (m_group == 1)
        t.Execute(EvalDeleteTodoSql(m_listId));
    if (!t.Commit())
        return;  // nothing moved: the topic stays
    if (moveItem)
        core::SendCommand(BroadcastAgendaUpdate(m_agendaId));
    if (m_group == 1)
        core::SendCommand(BroadcastTodoRemove(m_listId));
    discard();
}

void TEvalForm::Button3Click()
{
    if (!m_over->currentItem() || m_group != 0)
        return;
    core::AgendaItemRequest request;
    request.agendaId = m_agendaId;
    request.makeNew = true;
    request.subjectPrefix = QStringLiteral("followup: ");
    request.followUpId = m_agendaId;
    auto rs = core::Query(EvalVersionsSql(m_agendaId));
    for (int i = 0; i < rs->RowCount(); ++i)
        request.archiveLinks << qMakePair(rs->Row(i).value(0).toInt(), rs->Row(i).value(1));
    const auto result = core::registry().open(request);
    if (!result || result->agendaId < 0)
        return;  // not stored: the finished topic stays as it is
    removeProductionRow();
    discard();
}

void TEvalForm::Button1Click()
{
    if (!m_over->currentItem())
        return;
    if (!core::RequestLock(TodoLockName(m_listId), TodoLockRefusal))
        return;
    struct Unlock {
        int id;
        ~Unlock() { core::SendCommand(UnlockTodoCommand(id)); }
    } unlock{m_listId};
    core::registry().open(core::VersionsRequest{m_agendaId, -1});
}

void TEvalForm::Button5Click()
{
    if (!m_over->currentItem())
        return;
    core::registry().open(core::AgendaItemRequest{.agendaId = m_agendaId});
}

void RegisterEvaluationOpener()
{
    core::registry().registerOpener<core::EvaluationRequest>([](const core::EvaluationRequest &) {
        TEvalForm form(QApplication::activeWindow());
        form.Build();
        const int result = form.exec();
        return core::EvaluationResult{result == QDialog::Accepted ? 1 : 2};
    });
}

}  // namespace planning
