#include "extras/NawFrame.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/Helpers.h"
#include "core/Locks.h"
#include "db/Postgres.h"
#include "extras/NawSql.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "views/LineDelegate.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace extras {

namespace {

constexpr int MemoLimit = 320000;  // characters of "Opmerk."
constexpr int ShortFieldLimit = 7;  // infix and postcode
const QString RefusalText = QStringLiteral("Geblokkeerd door andere redacteur, probeer later opnieuw");
const QString EditingCaption =
    QStringLiteral("Record wijzigen ... druk op 'opslaan' om wijzigingen definitief te maken!");

// Draws a result entry: the name from the left, cut to leave room for the
// place, which is right-aligned and always shows.
void paintNawEntry(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    p.fillRect(rect, views::LineBackground(item));
    p.setPen(views::LineTextColor(item));
    const QRect r = rect.adjusted(2, 0, -2, 0);
    const QString place = NawEntryPlace(item.text);
    const int placeWidth = p.fontMetrics().horizontalAdvance(place);
    p.drawText(
        r.adjusted(0, 0, -placeWidth - 6, 0), Qt::AlignLeft | Qt::AlignVCenter,
        p.fontMetrics().elidedText(NawEntryName(item.text), Qt::ElideRight, qMax(r.width() - placeWidth - 6, 0)));
    p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, place);
}

QLineEdit *lineEdit(const QString &name, QWidget *parent, int maxLength = 0)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QLabel *fieldLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

}  // namespace

TNawFrame::TNawFrame(QWidget *parent)
    : QFrame(parent), m_panel1(new QFrame(this)), m_caption(new QLabel(EditingCaption, m_panel1)),
      m_searchPanel(new QWidget(m_panel1)), m_list(new QListWidget(m_searchPanel)),
      m_search(new QLineEdit(m_searchPanel)), m_books(new QComboBox(m_searchPanel)),
      m_change(new QPushButton(QStringLiteral("&Wijzigen"), m_searchPanel)),
      m_new(new QPushButton(QStringLiteral("&Nieuw"), m_searchPanel)),
      m_delete(new QPushButton(QStringLiteral("&Verwijderen"), m_searchPanel)), m_detail(new QGroupBox(this)),
      m_firstNameLabel(fieldLabel(QStringLiteral("Label1"), QStringLiteral("Voornaam"), m_detail)),
      m_infixLabel(fieldLabel(QStringLiteral("Label2"), QStringLiteral("Tussenvoeg."), m_detail)),
      m_nameLabel(fieldLabel(QStringLiteral("Label3"), QStringLiteral("Naam"), m_detail)),
      m_birthLabel(fieldLabel(QStringLiteral("Label7"), QStringLiteral("gebdatum"), m_detail)),
      m_firstName(lineEdit(QStringLiteral("voornaam"), m_detail)),
      m_infix(lineEdit(QStringLiteral("tussenvoegsel"), m_detail, ShortFieldLimit)),
      m_name(lineEdit(QStringLiteral("naam"), m_detail)), m_street(lineEdit(QStringLiteral("adres"), m_detail)),
      m_postcode(lineEdit(QStringLiteral("postcode"), m_detail, ShortFieldLimit)), m_place(new QComboBox(m_detail)),
      m_birth(new QDateEdit(m_detail)), m_email(lineEdit(QStringLiteral("email"), m_detail)),
      m_url(lineEdit(QStringLiteral("url"), m_detail)), m_memo(new QPlainTextEdit(m_detail)),
      m_phones(new QTableWidget(PhoneKinds.size(), 2, m_detail))
{
    setObjectName(QStringLiteral("NawFrame"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(750);
    connect(&m_timer, &QTimer::timeout, this, &TNawFrame::Search);

    // Panel1: the search panel while browsing, its caption while editing.
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_caption->setObjectName(QStringLiteral("Panel1Caption"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setWordWrap(true);
    m_caption->setVisible(false);
    m_searchPanel->setObjectName(QStringLiteral("Panel2"));
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setItemDelegate(new views::LineDelegate(paintNawEntry, 0, m_list));
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int) { showSelected(); });
    m_search->setObjectName(QStringLiteral("zoek"));
    connect(m_search, &QLineEdit::textChanged, this, [this] { m_timer.start(); });
    m_books->setObjectName(QStringLiteral("adresboekbox"));
    connect(m_books, &QComboBox::activated, this, [this] { chooseBook(true); });
    m_change->setObjectName(QStringLiteral("Button3"));
    connect(m_change, &QPushButton::clicked, this, &TNawFrame::Button3Click);
    m_new->setObjectName(QStringLiteral("Button4"));
    connect(m_new, &QPushButton::clicked, this, &TNawFrame::Button4Click);
    m_delete->setObjectName(QStringLiteral("Button1"));
    connect(m_delete, &QPushButton::clicked, this, &TNawFrame::Button1Click);
    for (QPushButton *b : {m_change, m_new, m_delete})
        b->setAutoDefault(false);

    auto *side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Zoeken:"), m_searchPanel));
    side->addWidget(m_search);
    side->addWidget(m_books);
    side->addStretch(1);
    side->addWidget(m_change);
    side->addWidget(m_new);
    side->addWidget(m_delete);
    auto *searchLayout = new QHBoxLayout(m_searchPanel);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->addWidget(m_list, 1);
    searchLayout->addLayout(side);
    auto *panelLayout = new QVBoxLayout(m_panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(m_searchPanel);
    panelLayout->addWidget(m_caption);
    m_panel1->setFixedHeight(130);

    // The detail part.
    m_detail->setObjectName(QStringLiteral("GroupBox1"));
    m_place->setObjectName(QStringLiteral("woonplaats"));
    m_place->setEditable(true);
    m_place->setInsertPolicy(QComboBox::NoInsert);
    m_birth->setObjectName(QStringLiteral("gebdatum"));
    m_birth->setLocale(QLocale(QLocale::Dutch, QLocale::Netherlands));
    m_birth->setDisplayFormat(QStringLiteral("dddd d MMMM yyyy"));
    m_birth->setCalendarPopup(true);
    // The lowest date stands for "no birth date", so a contact without one
    // never shows the date of the contact before it.
    m_birth->setMinimumDate(QDate(1800, 1, 1));
    m_birth->setSpecialValueText(QStringLiteral("onbekend"));
    m_birth->setDate(m_birth->minimumDate());
    connect(m_birth, &QDateEdit::dateChanged, this, [this](const QDate &date) {
        if (!m_loadingBirth && m_editing)
            m_birthKnown = date != m_birth->minimumDate();
    });
    m_memo->setObjectName(QStringLiteral("memo"));
    connect(m_memo, &QPlainTextEdit::textChanged, this, [this] {
        if (m_memo->document()->characterCount() - 1 > MemoLimit) {
            QTextCursor cursor(m_memo->document());
            cursor.setPosition(MemoLimit);
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
    });
    m_phones->setObjectName(QStringLiteral("StringGrid1"));
    m_phones->setHorizontalHeaderLabels({QStringLiteral("Soort"), QStringLiteral("Nummer")});
    m_phones->verticalHeader()->setVisible(false);
    m_phones->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < PhoneKinds.size(); ++row) {
        auto *kind = new QTableWidgetItem(PhoneKinds.at(row));
        kind->setFlags(Qt::ItemIsEnabled);
        m_phones->setItem(row, 0, kind);
        m_phones->setItem(row, 1, new QTableWidgetItem);
        m_phones->setRowHeight(row, 18);
    }
    m_phones->setFixedHeight(m_phones->horizontalHeader()->sizeHint().height() + 4 * 18 + 4);
    m_phones->setColumnWidth(0, 60);

    auto *grid = new QGridLayout(m_detail);
    grid->setVerticalSpacing(2);
    grid->setContentsMargins(6, 4, 6, 4);
    int row = 0;
    auto add = [&](QLabel *label, QWidget *field) {
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        ++row;
    };
    add(m_firstNameLabel, m_firstName);
    add(m_infixLabel, m_infix);
    add(m_nameLabel, m_name);
    add(fieldLabel(QStringLiteral("Label4"), QStringLiteral("Adres"), m_detail), m_street);
    add(fieldLabel(QStringLiteral("Label5"), QStringLiteral("Postcode"), m_detail), m_postcode);
    add(fieldLabel(QStringLiteral("Label6"), QStringLiteral("Plaats"), m_detail), m_place);
    add(m_birthLabel, m_birth);
    add(fieldLabel(QStringLiteral("Label8"), QStringLiteral("e-mail"), m_detail), m_email);
    add(fieldLabel(QStringLiteral("Label9"), QStringLiteral("Website"), m_detail), m_url);
    // The memo and the phone numbers side by side.
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_memo, 1);
    bottom->addWidget(m_phones, 1);
    m_memo->setFixedHeight(m_phones->height());
    grid->addWidget(fieldLabel(QStringLiteral("Label10"), QStringLiteral("Opmerk."), m_detail), row, 0, Qt::AlignTop);
    grid->addLayout(bottom, row, 1);
    for (QWidget *w : m_detail->findChildren<QWidget *>())
        w->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_panel1);
    layout->addWidget(m_detail, 1);
}

void TNawFrame::setContact(int id)
{
    m_contact = id;
    m_positioned = id >= 0;
}

void TNawFrame::Prepare()
{
    setEditing(false);
    m_delete->setVisible(core::state().administrator);
    const QString placeText = m_place->currentText();
    m_place->clear();
    const auto places = core::Query(PlacesSql());
    for (int i = 0; i < places->RowCount(); ++i)
        m_place->addItem(places->Row(i).value(0));
    m_place->setCurrentText(placeText);

    {
        const QSignalBlocker block(m_books);
        m_books->clear();
        const auto books = core::Query(BooksSql());
        for (int i = 0; i < books->RowCount(); ++i) {
            const QStringList &b = books->Row(i);
            m_books->addItem(b.value(1), b.value(0) + QLatin1Char(' ') + b.value(1));
            if (m_book == -1 && i == 0)
                m_book = b.value(0).toInt();
            if (b.value(0).toInt() == m_book)
                m_books->setCurrentIndex(i);
        }
    }
    countContacts();
    m_list->setFocus();
    chooseBook(false);
}

void TNawFrame::countContacts()
{
    const auto rs = core::Query(ContactCountSql(m_book));
    m_minLength = MinimumSearchLength(rs->RowCount() > 0 ? rs->Row(0).value(0).toInt() : 0);
}

// The chosen entry becomes the current book. A book picked in the box is
// counted again, so the 200-contact rule follows the book actually shown.
void TNawFrame::chooseBook(bool recount)
{
    const int index = m_books->currentIndex();
    if (index >= 0)
        m_book = NawEntryId(m_books->itemData(index).toString());
    if (recount)
        countContacts();
    const auto rs = core::Query(BookTypeSql(m_book));
    if (rs->RowCount() > 0)
        applyBookKind(rs->Row(0).value(0));
    m_timer.start();
}

void TNawFrame::applyBookKind(const QString &boektype)
{
    const BookKind kind = BookKindFromType(boektype);
    if (kind == BookKind::Other)
        return;
    const bool persons = kind == BookKind::Persons;
    m_firstNameLabel->setText(persons ? QStringLiteral("Voornaam") : QStringLiteral("Contact"));
    m_nameLabel->setText(persons ? QStringLiteral("Naam") : QStringLiteral("Organisatie"));
    for (QWidget *w : std::initializer_list<QWidget *>{m_infix, m_infixLabel, m_birth, m_birthLabel})
        w->setVisible(persons);
}

void TNawFrame::Search()
{
    m_timer.stop();
    core::ShowSearchNotice();
    {
        const QSignalBlocker block(m_list);
        m_list->clear();
        const QString text = m_search->text();
        if (text.size() >= m_minLength) {
            const auto rs = core::Query(NawSearchStatement(m_book, text, !m_infix->isHidden()));
            for (int i = 0; i < rs->RowCount(); ++i) {
                const QStringList &r = rs->Row(i);
                m_list->addItem(NawEntry(r.value(0), r.value(1), r.value(2)));
                if (r.value(0).toInt() == m_contact && m_contact >= 0)
                    m_list->setCurrentRow(i);
            }
        }
        if (m_list->currentRow() < 0 && m_list->count() > 0)
            m_list->setCurrentRow(0);
    }
    if (m_list->currentRow() >= 0)
        showSelected();
    else if (m_positioned)
        showContact(m_contact);
    m_positioned = false;
    core::HideSearchNotice();
}

void TNawFrame::showSelected()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const int id = NawEntryId(item->text());
    if (id >= 0)
        showContact(id);
}

// Fills the detail part from the row of id; a birth date that is no date
// is reported and leaves the picker as it was.
void TNawFrame::showContact(int id)
{
    m_contact = id;
    const auto rs = core::Query(ContactSql(id));
    if (rs->RowCount() == 0)
        return;
    const NawContact c = NawContactFromRow(rs->Row(0));
    m_firstName->setText(c.voornaam);
    m_name->setText(c.naam);
    m_street->setText(c.straat);
    m_postcode->setText(c.postcode);
    m_place->setCurrentText(c.woonplaats);
    m_email->setText(c.email);
    m_infix->setText(c.tussen);
    m_url->setText(c.url);
    m_memo->setPlainText(c.memo);
    showNoBirthDate();
    if (!c.gebdatum.isEmpty()) {
        try {
            const QDate date = core::YmdToDate(c.gebdatum);
            m_loadingBirth = true;
            m_birth->setDate(date);
            m_loadingBirth = false;
            m_birthKnown = true;
        } catch (const platform::ConversionError &e) {
            platform::showError(e.text());
        }
    }
    const QStringList numbers = SplitPhones(c.telefoon);
    for (int row = 0; row < PhoneKinds.size(); ++row)
        m_phones->item(row, 1)->setText(numbers.value(row));
}

void TNawFrame::setEditing(bool on)
{
    m_editing = on;
    m_searchPanel->setVisible(!on);
    m_caption->setVisible(on);
    emit modeChanged(on);
}

void TNawFrame::focusFirstField()
{
    if (m_firstName->isHidden())
        m_name->setFocus();
    else
        m_firstName->setFocus();
}

void TNawFrame::Button3Click()
{
    if (m_editing || m_contact < 0)
        return;
    if (!core::RequestLock(ContactLockName(m_contact), RefusalText))
        return;
    setEditing(true);
    focusFirstField();
}

void TNawFrame::Button4Click()
{
    if (m_editing)
        return;
    m_contact = -1;
    setEditing(true);
    clearDetail();
    focusFirstField();
}

// Every edit, memo and choice field emptied, the numbers of the grid and the
// birth date.
void TNawFrame::clearDetail()
{
    for (QLineEdit *e : {m_firstName, m_infix, m_name, m_street, m_postcode, m_email, m_url})
        e->clear();
    m_place->setCurrentText(QString());
    m_memo->clear();
    for (int row = 0; row < PhoneKinds.size(); ++row)
        m_phones->item(row, 1)->setText(QString());
    showNoBirthDate();
}

void TNawFrame::showNoBirthDate()
{
    m_loadingBirth = true;
    m_birth->setDate(m_birth->minimumDate());
    m_loadingBirth = false;
    m_birthKnown = false;
}

NawContact TNawFrame::collect() const
{
    NawContact c;
    c.naam = m_name->text();
    c.voornaam = m_firstName->text();
    c.straat = m_street->text();
    c.postcode = m_postcode->text();
    c.woonplaats = m_place->currentText();
    c.gebdatum = m_birthKnown ? core::DateToYmd(m_birth->date()) : QString();
    c.email = m_email->text();
    c.url = m_url->text();
    c.memo = m_memo->toPlainText();
    c.tussen = m_infix->text();
    QStringList numbers;
    for (int row = 0; row < PhoneKinds.size(); ++row)
        numbers << m_phones->item(row, 1)->text();
    c.telefoon = JoinPhones(numbers);
    return c;
}

void TNawFrame::Store()
{
    if (!m_editing)
        return;
    const NawContact c = collect();
    if (m_contact >= 0) {
        core::Execute(NawUpdateStatement(c, m_contact));
        core::SendCommand(UnlockContactCommand(m_contact));
    } else {
        core::Execute(NawInsertStatement(c, m_book));
    }
}

void TNawFrame::CancelEdit()
{
    if (m_editing && m_contact >= 0)
        core::SendCommand(UnlockContactCommand(m_contact));
}

void TNawFrame::Button1Click()
{
    if (m_editing || m_contact < 0 || !core::state().administrator)
        return;
    if (!platform::confirm(QStringLiteral("Entry verwijderen?")))
        return;
    core::Execute(DeleteContactSql(m_contact));
    Search();
}

// Letters typed into the list are added to the search text in capitals and
// Backspace takes the last one away; other keys move through the list.
bool TNawFrame::listKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace) {
        QString text = m_search->text();
        text.chop(1);
        m_search->setText(text);
        return true;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed.at(0).isLetter() && !(event->modifiers() & Qt::ControlModifier)) {
        m_search->setText(m_search->text() + typed.toUpper());
        return true;
    }
    return false;
}

bool TNawFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress)
        return listKey(static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::FocusIn && !m_editing && watched->isWidgetType() &&
        m_detail->isAncestorOf(static_cast<QWidget *>(watched))) {
        m_list->setFocus();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace extras
