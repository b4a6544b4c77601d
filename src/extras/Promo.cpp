#include "extras/Promo.h"

#include "core/Colors.h"
#include "core/Dates.h"
#include "core/Global.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "db/Postgres.h"
#include "extras/PromoEditDialog.h"
#include "extras/PromoSql.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QDrag>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace extras {

namespace {

const QStringList DayNames = {QStringLiteral("maandag"),   QStringLiteral("dinsdag"), QStringLiteral("woensdag"),
                              QStringLiteral("donderdag"), QStringLiteral("vrijdag"), QStringLiteral("zaterdag"),
                              QStringLiteral("zondag")};

QLabel *headerCell(const QString &text, const QRect &geometry, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

}  // namespace

// ---- TPromoViewPanel ------------------------------------------------------

TPromoViewPanel::TPromoViewPanel(TPromoView *view, int hour, int day)
    : QFrame(view), m_view(view), m_hour(hour), m_day(day)
{
    setObjectName(QStringLiteral("cel_%1_%2").arg(hour).arg(day));
    // A checkerboard: counted across the grid row by row, every other cell
    // has a lowered frame.
    if ((hour * PromoDays + day - 1) % 2 == 0)
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);
}

void TPromoViewPanel::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const int id = m_view->grid().id(m_hour, m_day);
    const bool lit = id != 0 && id == m_view->highlight();
    const QRect inner = contentsRect();
    if (lit)
        p.fillRect(inner, palette().highlight());
    QFont f = font();
    f.setBold(lit);
    p.setFont(f);
    p.setPen(lit ? palette().highlightedText().color() : palette().windowText().color());
    p.drawText(inner.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextWordWrap, m_view->grid().name(m_hour, m_day));
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        p.drawRect(inner.adjusted(1, 1, -2, -2));
    }
    p.end();
    QFrame::paintEvent(event);
}

void TPromoViewPanel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->position().toPoint();
    QFrame::mousePressEvent(event);
}

// A filled cell drags its programme: dropped on another cell it is copied
// there, dropped outside the view the cell is emptied.
void TPromoViewPanel::mouseMoveEvent(QMouseEvent *event)
{
    const int id = m_view->grid().id(m_hour, m_day);
    if (!(event->buttons() & Qt::LeftButton) || id == 0 ||
        (event->position().toPoint() - m_pressed).manhattanLength() < QApplication::startDragDistance())
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(PromoDragMimeData({m_hour, m_day, id, m_view->grid().name(m_hour, m_day)}));
    const Qt::DropAction action = drag->exec(Qt::CopyAction);
    if (action == Qt::IgnoreAction && !m_view->rect().contains(m_view->mapFromGlobal(QCursor::pos())))
        m_view->clearCell(m_hour, m_day);
}

void TPromoViewPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        m_view->clearCell(m_hour, m_day);
        return;
    }
    QFrame::keyPressEvent(event);
}

void TPromoViewPanel::dragEnterEvent(QDragEnterEvent *event)
{
    if (PromoDragFromMime(event->mimeData()))
        event->acceptProposedAction();
}

void TPromoViewPanel::dragMoveEvent(QDragMoveEvent *event)
{
    if (PromoDragFromMime(event->mimeData()))
        event->acceptProposedAction();
}

void TPromoViewPanel::dropEvent(QDropEvent *event)
{
    const auto drag = PromoDragFromMime(event->mimeData());
    if (drag && m_view->dropOn(*drag, m_hour, m_day)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void TPromoViewPanel::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    update();
}

void TPromoViewPanel::focusOutEvent(QFocusEvent *event)
{
    QFrame::focusOutEvent(event);
    update();
}

// ---- TPromoView -----------------------------------------------------------

TPromoView::TPromoView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PromoView"));
    setFixedSize(920, (PromoHours + 1) * RowHeight);
    // The 920 pixels leave room for a wider label column where the font needs it.
    m_labelWidth = qBound(LabelWidth, fontMetrics().horizontalAdvance(HourLabel(23)) + 8, CellWidth);
    for (int day = 1; day <= PromoDays; ++day)
        headerCell(DayNames.at(day - 1), QRect(m_labelWidth + (day - 1) * CellWidth, 0, CellWidth, RowHeight), this);
    for (int hour = 0; hour < PromoHours; ++hour) {
        const int y = (hour + 1) * RowHeight;
        headerCell(HourLabel(hour), QRect(0, y, m_labelWidth, RowHeight), this);
        for (int day = 1; day <= PromoDays; ++day) {
            auto *cell = new TPromoViewPanel(this, hour, day);
            cell->setGeometry(m_labelWidth + (day - 1) * CellWidth, y, CellWidth, RowHeight);
            m_cells << cell;
        }
    }
}

TPromoViewPanel *TPromoView::cell(int hour, int day) const
{
    return PromoGrid::contains(hour, day) ? m_cells.at(hour * PromoDays + day - 1) : nullptr;
}

void TPromoView::setHighlight(int id)
{
    m_highlight = id;
    refresh();
}

bool TPromoView::dropOn(TPromoDrag drag, int hour, int day)
{
    if (!m_grid.drop(drag, hour, day))
        return false;
    cell(hour, day)->update();
    emit changed();
    return true;
}

void TPromoView::clearCell(int hour, int day)
{
    if (!m_grid.clear(hour, day))
        return;
    cell(hour, day)->update();
    emit changed();
}

void TPromoView::refresh()
{
    for (TPromoViewPanel *c : std::as_const(m_cells))
        c->update();
}

// ---- TPromoList -----------------------------------------------------------

void TPromoList::startDrag(Qt::DropActions)
{
    const auto drag = dragSource ? dragSource() : std::nullopt;
    if (!drag)
        return;
    auto *d = new QDrag(this);
    d->setMimeData(PromoDragMimeData(*drag));
    d->exec(Qt::CopyAction);
}

// ---- TPromo ---------------------------------------------------------------

TPromo::TPromo(QWidget *parent)
    : QDialog(parent), m_list(new TPromoList(this)), m_add(new QPushButton(QStringLiteral("+"), this)),
      m_delete(new QPushButton(QStringLiteral("-"), this)), m_edit(new QPushButton(QStringLiteral("..."), this)),
      m_box(new QScrollArea(this)), m_view(new TPromoView), m_store(new QPushButton(QStringLiteral("&Opslaan"), this))
{
    setObjectName(QStringLiteral("Promo"));
    setWindowTitle(QStringLiteral("Promo"));

    auto *header = new QLabel(QStringLiteral("Programma's"), this);
    header->setAutoFillBackground(true);
    QPalette p = header->palette();
    p.setColor(QPalette::Window, core::ColorFromBgr(0x00298CEF));
    p.setColor(QPalette::WindowText, Qt::white);
    header->setPalette(p);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    header->setContentsMargins(6, 3, 6, 3);

    m_list->setObjectName(QStringLiteral("promos"));
    m_list->setDragEnabled(true);
    m_list->setDragDropMode(QAbstractItemView::DragOnly);
    m_list->dragSource = [this]() -> std::optional<TPromoDrag> {
        const int row = m_list->currentRow();
        if (row < 0 || row >= m_ids.size())
            return std::nullopt;
        return TPromoDrag{-1, 0, m_ids.at(row), m_list->item(row)->text()};
    };
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { m_view->setHighlight(selectedId()); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TPromo::Button4Click);
    m_add->setObjectName(QStringLiteral("Button1"));
    m_delete->setObjectName(QStringLiteral("Button2"));
    m_edit->setObjectName(QStringLiteral("Button4"));
    m_store->setObjectName(QStringLiteral("Button3"));
    for (QPushButton *b : {m_add, m_delete, m_edit, m_store})
        b->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, &TPromo::Button1Click);
    connect(m_delete, &QPushButton::clicked, this, &TPromo::Button2Click);
    connect(m_edit, &QPushButton::clicked, this, &TPromo::Button4Click);
    connect(m_store, &QPushButton::clicked, this, &TPromo::Button3Click);

    m_box->setObjectName(QStringLiteral("box"));
    m_box->setWidget(m_view);
    m_box->setMinimumWidth(m_view->width() + m_box->verticalScrollBar()->sizeHint().width() + 4);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_edit);
    auto *side = new QWidget(this);
    side->setFixedWidth(240);
    auto *left = new QVBoxLayout(side);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(2);
    left->addWidget(header);
    left->addWidget(m_list, 1);
    left->addLayout(buttons);
    auto *storeRow = new QHBoxLayout;
    storeRow->addStretch(1);
    storeRow->addWidget(m_store);
    auto *right = new QVBoxLayout;
    right->addWidget(m_box, 1);
    right->addLayout(storeRow);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(side);
    layout->addLayout(right, 1);
    resize(1210, 720);
}

void TPromo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void TPromo::Prepare()
{
    LoadPromos();
    LoadPlan();
}

QHash<int, QString> TPromo::names() const
{
    QHash<int, QString> map;
    for (int i = 0; i < m_ids.size(); ++i)
        map.insert(m_ids.at(i), m_list->item(i)->text());
    return map;
}

// The list anew, the selection kept on the same programme; the cells show
// the names as they are now.
void TPromo::LoadPromos()
{
    const int selected = selectedId();
    {
        const QSignalBlocker block(m_list);
        m_list->clear();
        m_ids.clear();
        const auto rs = core::Query(PromoListSql());
        for (int i = 0; i < rs->RowCount(); ++i) {
            m_ids << rs->Row(i).value(0).toInt();
            m_list->addItem(rs->Row(i).value(1));
        }
    }
    selectProgramme(selected);
    m_view->grid().setNames(names());
    m_view->setHighlight(selectedId());
}

// Values of the stored plan that are no programme id leave their cell empty
// and are reported in the status log; the plan still opens.
void TPromo::LoadPlan()
{
    const auto rs = core::Query(LoadPlanSql());
    if (rs->RowCount() == 0)
        return;
    for (const QString &problem : m_view->grid().load(rs->Row(0).value(0), names()))
        core::ShowStatusLine(QStringLiteral("<red>") + problem);
    m_view->refresh();
}

int TPromo::selectedId() const
{
    const int row = m_list->currentRow();
    return row >= 0 && row < m_ids.size() ? m_ids.at(row) : 0;
}

bool TPromo::selectProgramme(int id)
{
    const qsizetype row = m_ids.indexOf(id);
    m_list->setCurrentRow(row >= 0 ? int(row) : -1);
    return row >= 0;
}

void TPromo::Button1Click()
{
    QString name;
    if (!platform::dialogs().inputQuery(QStringLiteral("Promo voor programma toevoegen"),
                                        QStringLiteral("Naam van het programma"), name) ||
        name.trimmed().isEmpty())
        return;
    core::Execute(InsertPromoSql(name));
    LoadPromos();
}

// The promo and its cells go together: the stored plan loses the
// programme's cells in the same transaction, the plan on screen loses them
// afterwards, and unsaved changes elsewhere in it stay.
void TPromo::Button2Click()
{
    const int id = selectedId();
    if (id == 0 || !platform::confirm(QStringLiteral("Promo voor programma verwijderen?")))
        return;
    core::TTransaction t;
    const auto rs = t.Query(LoadPlanSql());
    if (rs->RowCount() > 0) {
        PromoGrid stored;
        stored.load(rs->Row(0).value(0), {});
        if (stored.clearId(id) > 0)
            t.Execute(StorePlanSql(stored.moment()));
    }
    t.Execute(DeletePromoSql(id));
    if (!t.Commit())
        return;
    m_view->grid().clearId(id);
    LoadPromos();
}

// The week row is created when it is missing, so the first store of a new
// installation is kept.
void TPromo::Button3Click()
{
    core::TTransaction t;
    t.Execute(CreatePlanSql());
    t.Execute(StorePlanSql(m_view->grid().moment()));
    if (t.Commit())
        LoadPlan();
}

void TPromo::Button4Click()
{
    const int id = selectedId();
    if (id == 0)
        return;
    TPromoEditDialog dialog(this);
    if (dialog.Load(id))
        dialog.exec();
    LoadPromos();
}

void RegisterPromoOpener(core::TRegistry &registry)
{
    registry.registerOpener<core::PromoRequest>([](const core::PromoRequest &) {
        TPromo promo(QApplication::activeWindow());
        promo.Prepare();
        promo.exec();
        return std::monostate{};
    });
}

}  // namespace extras
