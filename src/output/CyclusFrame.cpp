#include "output/CyclusFrame.h"

#include "core/Dates.h"
#include "core/DragObject.h"
#include "core/Global.h"
#include "core/Guarded.h"
#include "core/Locks.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "core/Tokens.h"
#include "db/Postgres.h"
#include "output/CyclusLogic.h"
#include "output/CyclusPlayout.h"
#include "output/CyclusPrinter.h"
#include "output/CyclusSql.h"
#include "output/PublishForm.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "views/DragList.h"

#include <QActionGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace output {

using core::Guarded;

namespace {

// The name of an "id name" entry: the id and the blanks after it cut off.
QString nameOf(QString entry)
{
    core::TakeWhile(entry, core::Digits);
    core::TakeWhile(entry, core::Blanks);
    return entry;
}

int idOf(const QString &entry)
{
    QString rest = entry;
    bool ok = false;
    const int id = core::TakeWhile(rest, core::Digits).toInt(&ok);
    return ok ? id : -1;
}

}  // namespace

void paintRubricItem(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    const RubricLine line = ParseRubricLine(item.text);
    p.fillRect(rect, item.selected ? item.palette.color(QPalette::Highlight) : item.palette.color(QPalette::Button));
    const QRect r = rect.adjusted(0, 1, -1, -1);
    p.setPen(Qt::white);
    p.drawLine(r.bottomLeft(), r.topLeft());
    p.drawLine(r.topLeft(), r.topRight());
    p.setPen(Qt::black);
    p.drawLine(r.topRight(), r.bottomRight());
    p.drawLine(r.bottomRight(), r.bottomLeft());
    const QColor text = item.selected ? QColor(Qt::white) : QColor(Qt::black);

    QFont font = p.font();
    QFont bold = font;
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(text);
    p.drawText(QPoint(r.left() + 2, r.top() + 2 + QFontMetrics(bold).ascent()), line.kop);

    p.setFont(font);
    const QFontMetrics fm(font);
    const QString pages = PagesText(line.pages);
    const int baseline = r.top() + 2 + fm.ascent();
    const int pagesLeft = r.right() - 2 - fm.horizontalAdvance(pages);
    p.drawText(QPoint(pagesLeft, baseline), pages);
    if (!line.status.isEmpty() && !line.onAir()) {
        p.setPen(Qt::red);
        const int end = r.right() - 2 - fm.horizontalAdvance(QLatin1Char(' ') + pages);
        p.drawText(QPoint(end - fm.horizontalAdvance(line.status), baseline), line.status);
    }
}

void paintNameItem(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    p.fillRect(rect, views::LineBackground(item));
    p.setPen(views::LineTextColor(item));
    p.drawText(rect.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, nameOf(item.text));
}

TCyclusFrame::TCyclusFrame(QWidget *parent) : core::TFrame(parent)
{
    setObjectName(QStringLiteral("CyclusFrame"));
    buildControls();
}

void TCyclusFrame::setOnAir(bool onAir)
{
    m_onAir = onAir;
}

void TCyclusFrame::buildControls()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [&](const char *name, const QString &caption, auto slot) {
        QAction *a = m_popup->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, slot] { Guarded([&] { (this->*slot)(); }); });
        return a;
    };
    m_publiceren = m_popup->addAction(QStringLiteral("&Publiceren"));
    m_publiceren->setObjectName(QStringLiteral("Publiceren2"));
    connect(m_publiceren, &QAction::triggered, this, [] { Guarded([] { OpenPublish(); }); });
    m_popup->addSeparator();
    QAction *afdrukken = m_popup->addAction(QStringLiteral("&Afdrukken"));
    afdrukken->setObjectName(QStringLiteral("Afdrukken1"));
    connect(afdrukken, &QAction::triggered, this, [this] { Guarded([&] { Print(); }); });
    m_popup->addSeparator();
    item("Afspelenhuidigerubriek1", QStringLiteral("A&fspelen huidige rubriek (fullscreen lezen)"),
         &TCyclusFrame::Play);
    m_popup->addSeparator();
    m_uitRubriek =
        item("Tekstenuitrubriek1", QStringLiteral("Pagina's uit rubriek"), &TCyclusFrame::Tekstenuitrubriek1Click);
    m_vorige = item("Vorigeinhoud1", QStringLiteral("Vorige inhoud terugzetten"), &TCyclusFrame::VorigeInhoudClick);
    connect(m_popup, &QMenu::aboutToShow, this, [this] { updatePopup(); });

    m_zenders = new QMenu(this);
    m_zenders->setObjectName(QStringLiteral("ZendersMenu"));

    m_panel2 = new QLabel(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setAutoFillBackground(true);
    m_panel2->setAlignment(Qt::AlignCenter);
    m_panel2->setStyleSheet(QStringLiteral("background: grey; color: white; font-weight: bold; padding: 3px"));
    m_panel2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_panel2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_zenders->popup(m_panel2->mapToGlobal(pos)); });

    auto *panel4 = new QWidget(this);
    panel4->setObjectName(QStringLiteral("Panel4"));
    auto *row = new QHBoxLayout(panel4);
    row->setContentsMargins(2, 2, 2, 2);
    row->addWidget(new QLabel(QStringLiteral("Kies programma"), panel4));
    m_combo = new QComboBox(panel4);
    m_combo->setObjectName(QStringLiteral("ComboBox1"));
    row->addWidget(m_combo, 1);
    auto *print = new QToolButton(panel4);
    print->setObjectName(QStringLiteral("SpeedButton1"));
    print->setText(QStringLiteral("Afdrukken"));
    connect(print, &QToolButton::clicked, this, [this] { Guarded([&] { Print(); }); });
    row->addWidget(print);
    connect(m_combo, &QComboBox::activated, this, [this](int index) { Guarded([&] { ChooseProgramme(index); }); });

    m_rubrieken = new QListWidget(this);
    m_rubrieken->setObjectName(QStringLiteral("rubriekbox"));
    m_rubrieken->setUniformItemSizes(true);
    m_rubrieken->setItemDelegate(new views::LineDelegate(paintNameItem, 14, m_rubrieken));
    connect(m_rubrieken, &QListWidget::itemClicked, this, [this] { Guarded([&] { SelectRubric(); }); });

    m_box = new views::TDragList(this);
    m_box->setObjectName(QStringLiteral("box"));
    m_box->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_box->setUniformItemSizes(true);
    m_box->setItemDelegate(new views::LineDelegate(paintRubricItem, 20, m_box));
    m_box->setContextMenuPolicy(Qt::CustomContextMenu);
    m_box->installEventFilter(this);
    m_box->dragData = [this] { return dragData(); };
    m_box->accepts = [this](const QMimeData *mime) { return accepts(mime); };
    m_box->dropped = [this](const QMimeData *mime, int row) { Guarded([&] { Drop(mime, row); }); };
    connect(m_box, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popup->popup(m_box->viewport()->mapToGlobal(pos)); });
    connect(m_box, &QListWidget::itemDoubleClicked, this, [this] { Guarded([&] { boxDblClick(); }); });
    connect(m_box, &QListWidget::itemClicked, this, [this] { m_timer2->start(); });

    auto *panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    auto *grid = new QGridLayout(panel1);
    grid->setContentsMargins(4, 2, 4, 2);
    auto counter = [&](int r, const QString &label, const char *name) {
        grid->addWidget(new QLabel(label, panel1), r, 0);
        auto *value = new QLabel(QStringLiteral("0"), panel1);
        value->setObjectName(QString::fromLatin1(name));
        grid->addWidget(value, r, 1);
        return value;
    };
    m_pagcount = counter(0, QStringLiteral("Pagina's in rubiek:"), "pagcount");
    m_totpag = counter(1, QStringLiteral("Pagina's in cyclus:"), "totpag");
    m_berrub = counter(2, QStringLiteral("Berichten in rubriek:"), "berrub");
    m_onderwerpcyclus = counter(3, QStringLiteral("Berichten in cyclus:"), "onderwerpcyclus");
    grid->addWidget(new QLabel(QStringLiteral("Accepteert:"), panel1), 0, 2, Qt::AlignTop);
    m_templates = new QListWidget(panel1);
    m_templates->setObjectName(QStringLiteral("templates"));
    QFont small = m_templates->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_templates->setFont(small);
    m_templates->setItemDelegate(new views::LineDelegate(paintNameItem, 0, m_templates));
    m_templates->setMaximumHeight(70);
    grid->addWidget(m_templates, 0, 3, 4, 1);
    grid->setColumnStretch(3, 1);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->addWidget(m_rubrieken);
    m_splitter->addWidget(m_box);
    m_splitter->setStretchFactor(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_panel2);
    layout->addWidget(panel4);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(panel1);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(150);
    connect(m_timer1, &QTimer::timeout, this, [this] { Guarded([&] { Timer1Timer(); }); });
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setSingleShot(true);
    m_timer2->setInterval(500);
    connect(m_timer2, &QTimer::timeout, this, [this] { Guarded([&] { Timer2Timer(); }); });
}

bool TCyclusFrame::frameMessage(int msg, qintptr wParam, qintptr lParam)
{
    core::TMainOperations *main = core::state().main;
    switch (msg) {
    case core::FRAME_ACTIVATE:
        Guarded([&] { LoadProgrammes(); });
        if (main) {
            if (m_onAir) {
                main->AddMenuButton(QStringLiteral("&Op zender"), m_popup);
            } else {
                main->AddMenuButton(QStringLiteral("&Publiceren"), m_popup);
                main->AddMenuButton(QStringLiteral("&Programma"), m_zenders);
            }
        }
        return true;
    case core::FRAME_DEACTIVATE:
        if (main) {
            main->RemoveMenuButton(QString(), m_popup);
            main->RemoveMenuButton(QString(), m_zenders);
        }
        return true;
    case core::FRAME_REFRESH: Guarded([&] { ReloadRubrics(); }); return true;
    case core::FRAME_ADD_TO_CYCLE: Guarded([&] { AddToCycle(wParam, lParam); }); return true;
    case core::FRAME_PLAY: Guarded([&] { Play(); }); return true;
    case core::FRAME_FOCUS: m_rubrieken->setFocus(); return true;
    default: return false;
    }
}

void TCyclusFrame::LoadProgrammes()
{
    m_programme = -1;
    m_combo->clear();
    m_zenders->clear();
    auto *group = new QActionGroup(m_zenders);
    auto rs = core::Query(ProgrammesSql(core::state().currentTeamId));
    const QString remembered = platform::ReadSetting(QStringLiteral("Programma"), QStringLiteral("-1"));
    int chosen = -1;
    for (int i = 0; i < rs->RowCount(); ++i) {
        const QStringList row = rs->Row(i);
        QAction *a = m_zenders->addAction(row.value(1));
        a->setCheckable(true);
        a->setData(row.value(0).toInt());
        group->addAction(a);
        const int index = i;
        connect(a, &QAction::triggered, this, [this, index] { Guarded([&] { ChooseProgramme(index); }); });
        m_combo->addItem(row.value(0) + QLatin1Char(' ') + row.value(1));
        if (row.value(0) == remembered && chosen < 0)
            chosen = i;
    }
    for (int i = 0; i < m_combo->count(); ++i)
        m_combo->setItemText(i, nameOf(m_combo->itemText(i)));
    if (chosen < 0 && !m_zenders->actions().isEmpty())
        chosen = 0;
    if (chosen >= 0)
        ChooseProgramme(chosen);
}

void TCyclusFrame::ChooseProgramme(int index)
{
    const QList<QAction *> items = m_zenders->actions();
    if (index < 0 || index >= items.size())
        return;
    const int programme = items.at(index)->data().toInt();
    auto rs = core::Query(ProgrammeNameSql(programme));
    m_panel2->setText(rs->RowCount() > 0 ? rs->Row(0).value(0) : QString());
    m_combo->setCurrentIndex(index);
    m_programme = programme;
    items.at(index)->setChecked(true);
    ReloadRubrics();
    writeSetting(QStringLiteral("Programma"), programme);
}

void TCyclusFrame::ReloadRubrics()
{
    if (m_programme < 0)
        return;
    m_rubrieken->clear();
    m_box->clear();
    m_pagcount->setText(QStringLiteral("0"));
    m_contentOk = false;
    auto rs = core::Query(RubricsSql(m_programme, m_onAir));
    const QString remembered = platform::ReadSetting(QStringLiteral("CyclusRubriek"), QStringLiteral("-1"));
    int selected = -1;
    for (int i = 0; i < rs->RowCount(); ++i) {
        const QStringList row = rs->Row(i);
        m_rubrieken->addItem(row.value(0) + QLatin1Char(' ') + row.value(1));
        if (row.value(0) == remembered && selected < 0)
            selected = i;
    }
    // At most 20 rubrics tall; more scroll.
    const int shown = qMin(m_rubrieken->count(), 20);
    const int height = shown * 14 + 2 * m_rubrieken->frameWidth();
    m_rubrieken->setMaximumHeight(height);
    m_splitter->setSizes({height, qMax(100, m_splitter->height() - height)});
    if (selected < 0 && m_rubrieken->count() > 0)
        selected = 0;
    if (selected >= 0)
        m_rubrieken->setCurrentRow(selected);
    SelectRubric();
}

void TCyclusFrame::SelectRubric()
{
    QListWidgetItem *item = m_rubrieken->currentItem();
    if (!item)
        return;
    platform::BusyCursor busy;  // one hourglass for the whole load, not one per statement
    m_rubric = idOf(item->text());
    writeSetting(QStringLiteral("CyclusRubriek"), m_rubric);
    m_contentOk = false;
    auto rs = core::Query(RubricContentSql(m_rubric, m_onAir));
    if (rs->RowCount() == 0) {
        // No row for this copy: nothing to show and nothing to store over.
        setLines({}, -1);
        core::LogStatus(QStringLiteral("rubriek ") + QString::number(m_rubric) + QStringLiteral(" zonder deze kopie"));
    } else {
        fillFromContent(rs->Row(0).value(0));
    }
    m_templates->clear();
    auto templates = core::Query(RubricTemplatesSql(m_rubric));
    for (int i = 0; i < templates->RowCount(); ++i)
        m_templates->addItem(templates->Row(i).value(0) + QLatin1Char(' ') + templates->Row(i).value(1));
    m_timer1->start();
}

void TCyclusFrame::fillFromContent(const QString &content)
{
    QString error;
    const auto ids = ParseRubricContent(content, &error);
    if (!ids) {
        setLines({}, -1);
        m_pageTotal = 0;
        m_pagcount->setText(QStringLiteral("0"));
        platform::showError(QStringLiteral("De inhoud van deze rubriek is onleesbaar (") + error +
                            QStringLiteral("); de rubriek wordt niet opgeslagen."));
        return;
    }
    const int focused = m_box->currentRow();
    const RubricFill fill = FillRubric(
        *ids,
        [](int id) -> std::optional<StoredText> {
            auto rs = core::Query(TextLineSql(id));
            if (rs->RowCount() == 0)
                return std::nullopt;
            const QStringList row = rs->Row(0);
            return StoredText{row.value(0), row.value(1), row.value(2)};
        },
        core::Now());
    m_contentOk = true;
    m_pageTotal = fill.pageTotal;
    setLines(fill.lines, qMin(focused, int(fill.lines.size()) - 1));
    m_pagcount->setText(QString::number(m_pageTotal));
    m_timer2->start();
}

QStringList TCyclusFrame::lines() const
{
    QStringList out;
    for (int i = 0; i < m_box->count(); ++i)
        out << m_box->item(i)->text();
    return out;
}

void TCyclusFrame::setLines(const QStringList &lines, int current)
{
    m_box->setUpdatesEnabled(false);
    m_box->clear();
    m_box->addItems(lines);
    if (current >= 0 && current < m_box->count())
        m_box->setCurrentRow(current, QItemSelectionModel::NoUpdate);
    m_box->setUpdatesEnabled(true);
}

// Settings are written to disk; a reload that keeps the same rubric need not.
void TCyclusFrame::writeSetting(const QString &name, int value)
{
    if (m_written.value(name) == value && m_written.contains(name))
        return;
    platform::WriteSetting(name, QString::number(value));
    m_written[name] = value;
}

bool TCyclusFrame::store()
{
    if (m_rubric < 0 || !m_contentOk)
        return false;
    const QStringList current = lines();
    const QStringList statements =
        StoreRubricStatements(FormatRubricContent(RubricLineIds(current)), m_pageTotal, int(current.size()), m_onAir,
                              m_rubric, core::Now(), core::state().userId);
    core::TTransaction t;
    for (const QString &sql : statements)
        t.Execute(sql);
    return t.Commit();
}

void TCyclusFrame::storeReloadStore()
{
    platform::BusyCursor busy;
    if (!store())
        return;
    const int rubric = m_rubric;
    SelectRubric();
    if (store())
        core::SendCommand(BroadcastRubricUpdate(rubric));
}

bool TCyclusFrame::mayChange(bool tell)
{
    const core::TProgramState &s = core::state();
    if (!s.isFinalEditor && !s.administrator) {
        if (tell)
            platform::showWarning(NotFinalEditorMessage);
        return false;
    }
    if (m_rubric < 0 || !m_contentOk) {
        if (tell && m_rubric >= 0)
            platform::showWarning(
                QStringLiteral("De inhoud van deze rubriek is onleesbaar; er wordt niets opgeslagen."));
        return false;
    }
    return true;
}

bool TCyclusFrame::allowed(int id)
{
    core::LogStatus(QStringLiteral("isallowedid ") + QString::number(id));
    auto rs = core::Query(TextTemplateSql(id));
    bool ok = false;
    if (rs->RowCount() > 0) {
        const QString tmpl = rs->Row(0).value(0);
        for (int i = 0; i < m_templates->count(); ++i) {
            const QString accepted = QString::number(idOf(m_templates->item(i)->text()));
            core::LogStatus(QLatin1Char('"') + accepted + QStringLiteral("\" \"") + tmpl + QLatin1Char('"'));
            if (accepted == tmpl)
                ok = true;
        }
    }
    if (!ok)
        platform::showWarning(NotAllowedWarning);
    return ok;
}

bool TCyclusFrame::notDuplicate(const QStringList &lines, int id)
{
    if (!ContainsTextId(lines, id))
        return true;
    platform::showWarning(DuplicateWarning);
    return false;
}

bool TCyclusFrame::admit(const QStringList &lines, int id)
{
    return notDuplicate(lines, id) && allowed(id);
}

void TCyclusFrame::AddToCycle(qintptr wParam, qintptr lParam)
{
    if (wParam == 0) {
        m_batch << int(lParam);
        return;
    }
    const QList<int> batch = std::exchange(m_batch, {});
    if (batch.isEmpty() || !mayChange(true))
        return;
    QStringList current = lines();
    const int added =
        InsertTexts(current, int(current.size()), batch, [this](const QStringList &l, int id) { return admit(l, id); });
    if (added == 0)
        return;
    setLines(current, m_box->currentRow());
    storeReloadStore();
}

QMimeData *TCyclusFrame::dragData() const
{
    const core::TProgramState &s = core::state();
    QListWidgetItem *item = m_box->currentItem();
    if ((!s.isFinalEditor && !s.administrator) || !item || m_box->count() == 0)
        return nullptr;
    return core::DragObjectMimeData(
        {core::DragTargetRubriek, core::FormatDragIds({RubricLineId(item->text())}), core::DragSourceRubriek});
}

bool TCyclusFrame::accepts(const QMimeData *mime) const
{
    const auto object = core::DragObjectFromMime(mime);
    return object && object->Target == core::DragTargetRubriek;
}

void TCyclusFrame::Drop(const QMimeData *mime, int row)
{
    const auto object = core::DragObjectFromMime(mime);
    if (!object || object->Target != core::DragTargetRubriek || !mayChange(true))
        return;
    QStringList current = lines();
    const auto admitter = [this](const QStringList &l, int id) { return admit(l, id); };
    if (object->Source == core::DragSourceRubriek) {
        QList<int> rows;
        for (int i = 0; i < m_box->count(); ++i)
            if (m_box->item(i)->isSelected())
                rows << i;
        if (rows.isEmpty() && m_box->currentRow() >= 0)
            rows << m_box->currentRow();
        MoveLines(current, rows, row, admitter);
    } else {
        QString error;
        const auto ids = core::ParseDragIds(object->Ids, &error);
        if (!ids) {
            platform::showError(error);
            return;
        }
        if (InsertTexts(current, row, *ids, admitter) == 0)
            return;
    }
    setLines(current, -1);
    storeReloadStore();
}

void TCyclusFrame::Tekstenuitrubriek1Click()
{
    QStringList current = lines();
    QList<int> rows;
    for (int i = 0; i < m_box->count(); ++i)
        if (m_box->item(i)->isSelected())
            rows << i;
    if (rows.isEmpty() || !mayChange(true))
        return;
    if (!platform::confirm(RemoveConfirmation))
        return;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        current.removeAt(*it);
    setLines(current, rows.first());
    storeReloadStore();
}

void TCyclusFrame::VorigeInhoudClick()
{
    if (!mayChange(true))
        return;
    auto rs = core::Query(PreviousContentSql(m_rubric, m_onAir, FormatRubricContent(RubricLineIds(lines()))));
    if (!rs->ok())
        return;
    if (rs->RowCount() == 0) {
        platform::showInformation(NoPreviousContent);
        return;
    }
    QString error;
    const auto ids = ParseRubricContent(rs->Row(0).value(0), &error);
    if (!ids) {
        platform::showError(QStringLiteral("De bewaarde inhoud is onleesbaar (") + error + QLatin1Char(')'));
        return;
    }
    if (!platform::confirm(RestoreConfirmation))
        return;
    QStringList restored;
    for (int id : *ids)
        restored << QString::number(id) + RubricSeparator;
    setLines(restored, -1);
    storeReloadStore();
}

void TCyclusFrame::boxDblClick()
{
    QListWidgetItem *item = m_box->currentItem();
    if (!item)
        return;
    const int id = RubricLineId(item->text());
    auto rs = core::Query(TextAgendaSql(id));
    if (rs->RowCount() == 0)
        return;
    bool ok = false;
    const int agenda = rs->Row(0).value(0).toInt(&ok);
    if (!ok || !core::RequestLock(CycleLockName(agenda), QStringLiteral("Onderwerp geopend door $lockedby$!")))
        return;
    struct Unlock {
        int id;
        ~Unlock() { core::SendCommand(QStringLiteral("unlock ") + CycleLockName(id)); }
    } unlock{agenda};
    const auto result = core::registry().open(core::VersionsRequest{agenda, id});
    if (result && result->modalResult == 1)
        SelectRubric();
}

void TCyclusFrame::Play()
{
    TCyclusPlayout &playout = TCyclusPlayout::instance();
    playout.setProgramme(m_programme);
    playout.LoadRubricList(m_rubric);
    playout.exec();
}

void TCyclusFrame::Timer1Timer()
{
    m_timer1->stop();
    if (m_programme < 0)
        return;
    auto rs = core::Query(TotalsSql(m_programme, m_onAir));
    if (rs->RowCount() == 0)
        return;
    m_onderwerpcyclus->setText(rs->Row(0).value(1));
    m_totpag->setText(rs->Row(0).value(0));
    m_berrub->setText(QString::number(m_box->count()));
}

void TCyclusFrame::Timer2Timer()
{
    m_timer2->stop();
    QListWidgetItem *item = m_box->currentItem();
    if (!item)
        return;
    auto rs = core::Query(TextHintSql(RubricLineId(item->text())));
    item->setToolTip(rs->RowCount() > 0 ? ScheduleHint(rs->Row(0).value(0), rs->Row(0).value(1)) : QString());
}

void TCyclusFrame::updatePopup()
{
    const core::TProgramState &s = core::state();
    m_publiceren->setEnabled(s.isFinalEditor || s.administrator);
    m_uitRubriek->setEnabled((s.isFinalEditor || s.administrator) && !m_onAir);
    m_vorige->setEnabled((s.isFinalEditor || s.administrator) && m_contentOk);
}

bool TCyclusFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete) {
            Guarded([&] { Tekstenuitrubriek1Click(); });
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Guarded([&] { boxDblClick(); });
            return true;
        }
    }
    return core::TFrame::eventFilter(watched, event);
}

// Printing: the current rubric, or with "Nee" every rubric of the programme.
void TCyclusFrame::Print()
{
    const bool rubricOnly = platform::dialogs().messageBox(platform::BoxType::Confirmation,
                                                           QStringLiteral("Alleen de actieve rubriek afdrukken?"),
                                                           platform::BoxButtons::YesNo) == platform::ModalResult::Yes;
    TCyclusPrinter printer(this);
    if (rubricOnly)
        printer.setRubric(m_rubric);
    else
        printer.setProgramme(m_programme);
    printer.show();
    printer.Run();
}

}  // namespace output
