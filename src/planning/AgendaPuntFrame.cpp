#include "planning/AgendaPuntFrame.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/Registry.h"
#include "db/Postgres.h"
#include "planning/AgendaForm.h"
#include "planning/AgendaLines.h"
#include "planning/AgendaPainters.h"
#include "planning/AgendaSql.h"
#include "planning/Guarded.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <optional>

namespace planning {

namespace {

// An integer column; a malformed stored value stops the action with the
// conversion error the application shows.
int intColumn(const QString &value)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok)
        throw platform::ConversionError(QStringLiteral("'%1' is geen geldig getal").arg(value));
    return n;
}

// The id of the focused line of a link list, or nullopt.
std::optional<int> focusedId(QListWidget *list)
{
    QListWidgetItem *item = list->currentItem();
    if (!item)
        return std::nullopt;
    bool ok = false;
    const int id = LineId(item->text()).toInt(&ok);
    return ok ? std::optional<int>(id) : std::nullopt;
}

QListWidget *linkList(const QString &name, int itemHeight, const views::LinePaint &paint, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new views::LineDelegate(paint, itemHeight, list));
    return list;
}

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

TAgendaPuntFrame::TAgendaPuntFrame(QWidget *parent) : core::TFrame(parent)
{
    setObjectName(QStringLiteral("AgendaPuntFrame1"));
    buildControls();
    m_date->setDate(core::Today());
}

void TAgendaPuntFrame::buildControls()
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    m_group = new QGroupBox(QStringLiteral("Agendapunt"), this);
    m_group->setObjectName(QStringLiteral("GroupBox1"));
    outer->addWidget(m_group);
    auto *grid = new QGridLayout(m_group);

    m_date = new QDateEdit(m_group);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setCalendarPopup(true);
    m_date->setLocale(QLocale(QLocale::Dutch, QLocale::Netherlands));
    m_date->setDisplayFormat(QStringLiteral("dddd d MMMM yyyy"));
    m_tijd = new QLineEdit(m_group);
    m_tijd->setObjectName(QStringLiteral("tijd"));
    m_tijd->setInputMask(QStringLiteral("09:99;_"));
    m_tijd->setMaxLength(5);
    m_tijd->setText(QStringLiteral("00:00"));
    m_tijd->setMaximumWidth(60);
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(m_date, 1);
    dateRow->addWidget(label(QStringLiteral("Label6"), QStringLiteral("Tijd"), m_group));
    dateRow->addWidget(m_tijd);
    grid->addWidget(label(QStringLiteral("Datum"), QStringLiteral("Datum"), m_group), 0, 0);
    grid->addLayout(dateRow, 0, 1, 1, 2);

    m_onderwerp = new QLineEdit(m_group);
    m_onderwerp->setObjectName(QStringLiteral("onderwerp"));
    grid->addWidget(label(QStringLiteral("Label2"), QStringLiteral("Onderwerp"), m_group), 1, 0);
    grid->addWidget(m_onderwerp, 1, 1, 1, 2);

    m_label7 = label(QStringLiteral("Label7"), QStringLiteral("Follow-up"), m_group);
    m_edit3 = new QLineEdit(m_group);
    m_edit3->setObjectName(QStringLiteral("Edit3"));
    m_edit3->setEnabled(false);
    m_button5 = button(QStringLiteral("Button5"), QStringLiteral("..."), m_group);
    m_button5->setMaximumWidth(30);
    grid->addWidget(m_label7, 2, 0);
    grid->addWidget(m_edit3, 2, 1);
    grid->addWidget(m_button5, 2, 2);

    m_pages = new QTabWidget(m_group);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    auto *page1 = new QWidget;
    page1->setObjectName(QStringLiteral("TabSheet1"));
    m_opmerkingen = new QPlainTextEdit(page1);
    m_opmerkingen->setObjectName(QStringLiteral("Opmerkingen"));
    m_opmerkingen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    (new QVBoxLayout(page1))->addWidget(m_opmerkingen);
    m_pages->addTab(page1, QStringLiteral("Omschrijving"));

    auto linkPage = [this](const QString &pageName, QListWidget *list, QPushButton *plus, QPushButton *minus) {
        auto *page = new QWidget;
        page->setObjectName(pageName);
        list->setParent(page);
        plus->setParent(page);
        minus->setParent(page);
        auto *buttons = new QVBoxLayout;
        buttons->addWidget(plus);
        buttons->addWidget(minus);
        buttons->addStretch();
        auto *row = new QHBoxLayout(page);
        row->addWidget(list, 1);
        row->addLayout(buttons);
        return page;
    };
    m_adressen = linkList(QStringLiteral("adressenbox"), 26, paintAddressItem, this);
    m_archief = linkList(QStringLiteral("archiefbox"), 13, paintArchiveItem, this);
    auto *b1 = button(QStringLiteral("Button1"), QStringLiteral("+"), this);
    auto *b2 = button(QStringLiteral("Button2"), QStringLiteral("-"), this);
    auto *b3 = button(QStringLiteral("Button3"), QStringLiteral("+"), this);
    auto *b4 = button(QStringLiteral("Button4"), QStringLiteral("-"), this);
    m_pages->addTab(linkPage(QStringLiteral("TabSheet2"), m_adressen, b1, b2), QStringLiteral("Adressen"));
    m_pages->addTab(linkPage(QStringLiteral("TabSheet3"), m_archief, b3, b4), QStringLiteral("Archiefteksten"));
    grid->addWidget(m_pages, 3, 0, 1, 3);

    m_bron = label(QStringLiteral("bron"), QStringLiteral("<geen>"), m_group);
    m_bron->setTextFormat(Qt::PlainText);
    m_madeby = label(QStringLiteral("madeby"), QString(), m_group);
    m_madeby->setTextFormat(Qt::PlainText);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(label(QStringLiteral("Label1"), QStringLiteral("Bron:"), m_group));
    bottom->addWidget(m_bron, 1);
    bottom->addWidget(m_madeby);
    grid->addLayout(bottom, 4, 0, 1, 3);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);

    connect(b1, &QPushButton::clicked, this, &TAgendaPuntFrame::Button1Click);
    connect(b2, &QPushButton::clicked, this, &TAgendaPuntFrame::Button2Click);
    connect(b3, &QPushButton::clicked, this, &TAgendaPuntFrame::Button3Click);
    connect(b4, &QPushButton::clicked, this, &TAgendaPuntFrame::Button4Click);
    connect(m_button5, &QPushButton::clicked, this, &TAgendaPuntFrame::Button5Click);
    connect(m_adressen, &QListWidget::itemDoubleClicked, this, [this] { adressenboxDblClick(); });
    connect(m_archief, &QListWidget::itemDoubleClicked, this, [this] { archiefboxDblClick(); });
    m_archief->installEventFilter(this);
    enableFollowUp();
}

void TAgendaPuntFrame::Load(int id)
{
    m_repeatId = -1;
    m_itemId = id;
    if (id >= 0) {
        loadRow(id);
        loadLinks(id);
    }
    enableFollowUp();
}

// Columns of "select *" by position: 1 kort, 2 lang, 3 datum, 4 tijd,
// 6 datuminvoer, 8 invoerdoor, 9 followup, 12 bron.
void TAgendaPuntFrame::loadRow(int id)
{
    auto rs = core::Query(LoadItemSql(id));
    if (rs->RowCount() == 0)
        return;
    const QStringList row = rs->Row(0);
    m_onderwerp->setText(row.value(1));
    m_opmerkingen->setPlainText(row.value(2));
    m_followUpId = intColumn(row.value(9));
    m_date->setDate(core::YmdToDate(row.value(3)));
    m_tijd->setText(row.value(4));
    if (m_tijd->text().trimmed().size() < 5)
        m_tijd->setText(QStringLiteral("00:00"));
    m_bron->setText(row.value(12));
    if (row.value(9) != QLatin1String("-1")) {
        auto title = core::Query(ItemTitleSql(m_followUpId));
        if (title->RowCount() > 0)
            m_edit3->setText(title->Row(0).value(0));
    }
    m_madeby->setText(madeByText(row));
}

// "Gemaakt door <login> op <date>", or empty when the creator or the date
// cannot be read: a bad made-by never fails the load.
QString TAgendaPuntFrame::madeByText(const QStringList &row) const
{
    try {
        const int creator = intColumn(row.value(8));
        const QString when = core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), core::YmdToDate(row.value(6)));
        return core::SubstituteUserName(creator, QStringLiteral("Gemaakt door $username$ op ") + when);
    } catch (const std::exception &) {
        return QString();
    }
}

void TAgendaPuntFrame::loadLinks(int id)
{
    m_adressen->clear();
    auto addresses = core::Query(ItemAddressesSql(id));
    for (int i = 0; i < addresses->RowCount(); ++i)
        m_adressen->addItem(AddressLineText(addresses->Row(i)));
    m_archief->clear();
    auto texts = core::Query(ItemArchiveSql(id));
    for (int i = 0; i < texts->RowCount(); ++i)
        m_archief->addItem(ArchiveLineText(texts->Row(i)));
}

void TAgendaPuntFrame::enableFollowUp()
{
    m_button5->setEnabled(m_followUpId != -1);
    m_label7->setEnabled(m_button5->isEnabled());
}

void TAgendaPuntFrame::SetFollowUp(int agendaId)
{
    m_followUpId = agendaId;
    auto rs = core::Query(ItemTitleSql(agendaId));
    if (rs->RowCount() > 0)
        m_edit3->setText(rs->ValueByName(0, QStringLiteral("kort")));
    enableFollowUp();  // "..." opens what Edit3 names, also for a follow-up made after the load
}

const QString kNotSavedNoDatabase =
    QStringLiteral("Het agendapunt is niet opgeslagen: er is geen verbinding met de database.\n"
                   "De tekst blijft in het venster staan; probeer het opnieuw zodra de verbinding hersteld is.");

bool TAgendaPuntFrame::Save()
{
    core::TProgramState &s = core::state();
    // What cannot be read back as typed is refused before anything is stored.
    if (m_onderwerp->text().trimmed().isEmpty()) {
        platform::showWarning(QStringLiteral("Geef het agendapunt een onderwerp."));
        m_onderwerp->setFocus();
        return false;
    }
    const std::optional<QString> time = AgendaTimeFromInput(m_tijd->text());
    if (!time) {
        platform::showWarning(QStringLiteral("\"%1\" is geen geldige tijd. Geef een tijd van 00:00 tot en met 23:59.")
                                  .arg(m_tijd->text()));
        m_tijd->setFocus();
        return false;
    }
    // Without a database nothing can be stored: the dialog keeps the text
    // until the connection is back (the main window restores it by itself).
    if (s.post && !s.post->Connected()) {
        platform::showError(kNotSavedNoDatabase);
        return false;
    }
    AgendaItemValues v;
    v.kort = m_onderwerp->text();
    v.datum = m_date->date();
    v.lang = m_opmerkingen->toPlainText();
    v.bron = m_bron->text();
    v.tijd = *time;
    v.team = s.currentTeamId;
    v.repeatId = m_repeatId;
    v.followUpId = m_followUpId;
    v.userId = s.userId;
    v.today = core::Today();
    if (m_itemId < 0) {
        core::TTransaction t;
        auto rs = t.Query(NextAgendaIdSql());
        bool ok = false;
        const int id = rs->RowCount() > 0 ? rs->Row(0).value(0).toInt(&ok) : 0;
        if (!ok)
            return false;  // rolled back; the database client has said why
        v.id = id;
        t.Execute(InsertItemSql(v));
        for (const QString &link : m_pending)
            t.Execute(WithItemId(link, id));
        if (!t.Commit())
            return false;  // nothing stored: the item stays new, its links pending
        m_itemId = id;
        m_pending.clear();
        core::SendCommand(BroadcastAgendaNew(m_itemId));
    } else {
        v.id = m_itemId;
        if (!core::Execute(UpdateItemSql(v)))
            return false;
        // Each link leaves the queue once stored, so a retry adds none twice.
        while (!m_pending.isEmpty()) {
            if (!core::Execute(WithItemId(m_pending.first(), m_itemId)))
                return false;
            m_pending.removeFirst();
        }
        core::SendCommand(BroadcastAgendaUpdate(m_itemId));
    }
    return true;
}

QStringList TAgendaPuntFrame::shownState() const
{
    QStringList state;
    state << m_date->date().toString(Qt::ISODate) << m_tijd->text() << m_onderwerp->text()
          << m_opmerkingen->toPlainText() << m_bron->text() << QString::number(m_followUpId);
    state += m_pending;
    for (const QListWidget *list : {m_adressen, m_archief}) {
        state << QString::number(list->count());
        for (int i = 0; i < list->count(); ++i)
            state << list->item(i)->text();
    }
    return state;
}

void TAgendaPuntFrame::AddArchiveLine(int textId, const QString &kop)
{
    m_archief->addItem(ArchiveLineText({QString::number(textId), kop}));
}

void TAgendaPuntFrame::addAddress(int addressId)
{
    auto rs = core::Query(AddressSql(addressId));
    if (rs->RowCount() > 0)
        m_adressen->addItem(AddressLineText(rs->Row(0)));
}

void TAgendaPuntFrame::Button1Click()
{
    const auto c = core::registry().open(core::AddressBookRequest{.choose = true});
    if (!c || c->modalResult != int(platform::ModalResult::Yes) || c->contactId < 0)
        return;
    const int address = c->contactId;
    AddPending(LinkAddressSql(address));
    addAddress(address);
}

void TAgendaPuntFrame::Button2Click()
{
    const auto id = focusedId(m_adressen);
    if (!id)
        return;
    AddPending(UnlinkAddressSql(*id));
    delete m_adressen->currentItem();
}

void TAgendaPuntFrame::adressenboxDblClick()
{
    const auto id = focusedId(m_adressen);
    if (!id)
        return;
    const auto c = core::registry().open(core::AddressBookRequest{.contactId = *id});
    if (!c || c->modalResult != int(platform::ModalResult::Ok))
        return;
    auto rs = core::Query(AddressSql(*id));
    QListWidgetItem *item = m_adressen->currentItem();
    if (rs->RowCount() > 0 && item)
        item->setText(AddressLineText(rs->Row(0)));
}

void TAgendaPuntFrame::Button3Click()
{
    const auto c = core::registry().open(core::ArchiveRequest{.choose = true});
    if (!c || c->modalResult != int(platform::ModalResult::Yes))
        return;
    for (const int text : c->textIds) {
        AddPending(LinkArchiveSql(text));
        auto rs = core::Query(ArchiveTextSql(text));
        if (rs->RowCount() > 0)
            m_archief->addItem(ArchiveLineText(rs->Row(0)));
    }
}

void TAgendaPuntFrame::Button4Click()
{
    const auto id = focusedId(m_archief);
    if (!id)
        return;
    AddPending(UnlinkArchiveSql(*id));
    delete m_archief->currentItem();
}

void TAgendaPuntFrame::archiefboxDblClick()
{
    const auto id = focusedId(m_archief);
    if (!id)
        return;
    auto rs = core::Query(ViewArchiveTextSql(*id));
    if (rs->RowCount() == 0)
        return;
    const QStringList row = rs->Row(0);
    Guarded([&] { showArchiveText(row); });
}

void TAgendaPuntFrame::showArchiveText(const QStringList &row)
{
    const QString markup = QStringLiteral("<bold>") + row.value(0) + QStringLiteral("<normal>\r\n") +
                           QStringLiteral("Van: ") +
                           core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), core::YmdToDate(row.value(2))) +
                           QStringLiteral("\r\n\r\n") + row.value(1);
    core::registry().open(core::ViewTextRequest{.caption = row.value(0), .markup = markup});
}

void TAgendaPuntFrame::Button5Click()
{
    if (auto *host = qobject_cast<TAgendaForm *>(window()))
        Guarded([&] { host->HostMessage(TAgendaForm::WM_OPEN_FOLLOWUP, 0, m_followUpId); });
}

bool TAgendaPuntFrame::frameMessage(int msg, qintptr, qintptr)
{
    if (msg != core::FRAME_ACTIVATE)
        return false;
    m_onderwerp->setFocus();
    return true;
}

bool TAgendaPuntFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_archief && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            archiefboxDblClick();
            return true;
        }
    }
    return core::TFrame::eventFilter(watched, event);
}

}  // namespace planning
