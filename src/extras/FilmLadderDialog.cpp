#include "extras/FilmLadderDialog.h"

#include "core/Colors.h"
#include "core/Dates.h"
#include "core/Global.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "db/Postgres.h"
#include "extras/DagView.h"
#include "extras/FilmSql.h"
#include "extras/TextWidgets.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace extras {

namespace {

constexpr int NameLimit = 42;  // titles and cinema names
const QString HelpText = QStringLiteral(
    "Gebruik ENTER om een veld te bevestigen en om een nieuw leeg tijd veld te maken.\n"
    "Als je klaar bent met de film van een dag dan kies je TAB of ENTER om naar de volgende dag te gaan.");

// Entries keep their id in front; only the text after it is drawn.
class EntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant &value, const QLocale &) const override
    {
        return FilmEntryText(value.toString());
    }
};

QLabel *orangeHeader(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, core::ColorFromBgr(0x00298CEF));
    p.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(p);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setContentsMargins(6, 3, 6, 3);
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

TFilmLadderDialog::TFilmLadderDialog(QWidget *parent)
    : QDialog(parent), m_films(new QListWidget(this)),
      m_addFilm(button(QStringLiteral("Button5"), QStringLiteral("+"), this)),
      m_deleteFilm(button(QStringLiteral("Button6"), QStringLiteral("-"), this)), m_search(new QLineEdit(this)),
      m_header(new QLabel(this)), m_planning(new QGroupBox(QStringLiteral("Planning"), this)),
      m_weekLabel(new QLabel(m_planning)),
      m_weekBack(button(QStringLiteral("Button2"), QStringLiteral("Week -"), m_planning)),
      m_weekOn(button(QStringLiteral("Button3"), QStringLiteral("Week +"), m_planning)),
      m_thisWeek(button(QStringLiteral("Button4"), QStringLiteral("Deze week"), m_planning)),
      m_dayPanel(new QWidget(m_planning)), m_info(new QGroupBox(QStringLiteral("Filminformatie"), this)),
      m_title(new QLineEdit(m_info)), m_cinemas(MakeCinemaBox(m_info)),
      m_store(button(QStringLiteral("opslaan"), QStringLiteral("Opslaan"), m_info)),
      m_cinemaButton(button(QStringLiteral("Button7"), QStringLiteral("..."), m_info)), m_cinemaMenu(new QMenu(this)),
      m_close(button(QStringLiteral("Button1"), QStringLiteral("Sluiten"), this))
{
    setObjectName(QStringLiteral("FilmLadderDialog"));
    setWindowTitle(QStringLiteral("Filmtijden"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &TFilmLadderDialog::LoadFilms);

    // Left: the films.
    m_films->setObjectName(QStringLiteral("films"));
    m_films->setItemDelegate(new EntryDelegate(m_films));
    m_films->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_films->setTextElideMode(Qt::ElideRight);
    m_films->setMinimumWidth(200);
    m_search->setMinimumWidth(100);
    connect(m_films, &QListWidget::currentRowChanged, this, [this](int) { ShowFilm(); });
    m_search->setObjectName(QStringLiteral("Edit1"));
    connect(m_search, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString lower = text.toLower();
        if (lower != text) {
            const int pos = m_search->cursorPosition();
            m_search->setText(lower);
            m_search->setCursorPosition(pos);
        }
    });
    connect(m_search, &QLineEdit::textChanged, this, [this] { m_timer.start(); });
    connect(m_addFilm, &QPushButton::clicked, this, &TFilmLadderDialog::Button5Click);
    connect(m_deleteFilm, &QPushButton::clicked, this, &TFilmLadderDialog::Button6Click);
    for (QPushButton *b : {m_addFilm, m_deleteFilm})
        b->setFixedWidth(32);
    auto *filmButtons = new QHBoxLayout;
    filmButtons->addWidget(m_addFilm);
    filmButtons->addWidget(m_deleteFilm);
    filmButtons->addWidget(m_search, 1);
    auto *left = new QVBoxLayout;
    left->setSpacing(2);
    left->addWidget(orangeHeader(QStringLiteral("Films"), this));
    left->addWidget(m_films, 1);
    left->addLayout(filmButtons);

    // Right: the header, the week, the film's information.
    m_header->setObjectName(QStringLiteral("Panel7"));
    m_header->setTextFormat(Qt::PlainText);
    QFont headerFont = m_header->font();
    headerFont.setBold(true);
    headerFont.setPointSizeF(headerFont.pointSizeF() * 1.2);
    m_header->setFont(headerFont);
    m_header->setFrameShape(QFrame::StyledPanel);
    m_header->setContentsMargins(6, 4, 6, 4);
    m_planning->setObjectName(QStringLiteral("GroupBox1"));
    m_weekLabel->setObjectName(QStringLiteral("Label3"));
    connect(m_weekBack, &QPushButton::clicked, this, &TFilmLadderDialog::Button2Click);
    connect(m_weekOn, &QPushButton::clicked, this, &TFilmLadderDialog::Button3Click);
    connect(m_thisWeek, &QPushButton::clicked, this, &TFilmLadderDialog::Button4Click);
    m_dayPanel->setObjectName(QStringLiteral("dagenpanel"));
    auto *dayLayout = new QVBoxLayout(m_dayPanel);
    dayLayout->setContentsMargins(0, 0, 0, 0);
    dayLayout->setSpacing(2);
    dayLayout->addStretch(1);
    auto *help = new QPlainTextEdit(HelpText, m_planning);
    help->setObjectName(QStringLiteral("Memo1"));
    help->setReadOnly(true);
    help->setFocusPolicy(Qt::NoFocus);
    help->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Room for both lines even where they wrap.
    help->setFixedHeight(help->fontMetrics().lineSpacing() * 4 + int(2 * help->document()->documentMargin()) +
                         2 * help->frameWidth() + 4);
    auto *weekRow = new QHBoxLayout;
    weekRow->addWidget(m_weekLabel, 1);
    weekRow->addWidget(m_weekBack);
    weekRow->addWidget(m_weekOn);
    weekRow->addWidget(m_thisWeek);
    auto *planning = new QVBoxLayout(m_planning);
    planning->addLayout(weekRow);
    planning->addWidget(m_dayPanel, 1);
    planning->addWidget(help);

    m_info->setObjectName(QStringLiteral("GroupBox2"));
    m_title->setObjectName(QStringLiteral("titel"));
    m_title->setMaxLength(NameLimit);
    connect(m_title, &QLineEdit::textEdited, this, &TFilmLadderDialog::markChanged);
    m_cinemas->setObjectName(QStringLiteral("bios"));
    m_cinemas->setItemDelegate(new EntryDelegate(m_cinemas));
    connect(m_cinemas, &QComboBox::activated, this, &TFilmLadderDialog::markChanged);
    connect(m_store, &QPushButton::clicked, this, &TFilmLadderDialog::opslaanClick);
    m_store->setEnabled(false);
    m_cinemaMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_cinemaMenu->addAction(QStringLiteral("&Toevoegen"), this, &TFilmLadderDialog::Toevoegen1Click);
    m_cinemaMenu->addAction(QStringLiteral("&Wijzigen"), this, &TFilmLadderDialog::Wijzigen1Click);
    m_cinemaMenu->addAction(QStringLiteral("&Verwijderen"), this, &TFilmLadderDialog::Verwijderen1Click);
    m_cinemaButton->setMenu(m_cinemaMenu);
    m_cinemaButton->setFixedWidth(m_cinemaButton->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 24);
    auto *info = new QGridLayout(m_info);
    info->addWidget(new QLabel(QStringLiteral("Titel"), m_info), 0, 0);
    info->addWidget(m_title, 0, 1, 1, 2);
    info->addWidget(new QLabel(QStringLiteral("Bioscoop"), m_info), 1, 0);
    info->addWidget(m_cinemas, 1, 1);
    info->addWidget(m_cinemaButton, 1, 2);
    info->addWidget(m_store, 2, 1, 1, 2, Qt::AlignRight);
    info->setColumnStretch(1, 1);

    connect(m_close, &QPushButton::clicked, this, &TFilmLadderDialog::Button1Click);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    auto *right = new QVBoxLayout;
    right->addWidget(m_header);
    right->addWidget(m_planning, 1);
    right->addWidget(m_info);
    right->addLayout(bottom);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 5);
    resize(900, 580);

    m_firstWeek = m_week = FilmWeekStart(core::Today());
}

void TFilmLadderDialog::Prepare()
{
    m_firstWeek = m_week = FilmWeekStart(core::Today());
    LoadFilms();
}

void TFilmLadderDialog::LoadFilms()
{
    m_timer.stop();
    {
        const QSignalBlocker block(m_films);
        m_films->clear();
        const auto rs = core::Query(FilmListSql(m_search->text()));
        for (int i = 0; i < rs->RowCount(); ++i)
            m_films->addItem(FilmEntry(rs->Row(i).value(0), rs->Row(i).value(1)));
        if (m_films->count() > 0)
            m_films->setCurrentRow(0);
    }
    loadCinemas();
    ShowFilm();
}

void TFilmLadderDialog::loadCinemas()
{
    const int index = m_cinemas->currentIndex();
    m_cinemas->clear();
    const auto rs = core::Query(CinemaListSql());
    for (int i = 0; i < rs->RowCount(); ++i)
        m_cinemas->addItem(FilmEntry(rs->Row(i).value(0), rs->Row(i).value(1)));
    if (m_cinemas->count() > 0)
        m_cinemas->setCurrentIndex(qBound(0, index, m_cinemas->count() - 1));
}

void TFilmLadderDialog::selectCinema(int id)
{
    for (int i = 0; i < m_cinemas->count(); ++i) {
        if (FilmEntryId(m_cinemas->itemText(i)) == id) {
            m_cinemas->setCurrentIndex(i);
            return;
        }
    }
}

int TFilmLadderDialog::chosenCinema() const
{
    const int index = m_cinemas->currentIndex();
    return index >= 0 ? FilmEntryId(m_cinemas->itemText(index)) : -1;
}

void TFilmLadderDialog::markChanged()
{
    if (m_film < 0)
        return;
    m_store->setEnabled(true);
    if (chosenCinema() >= 0)
        m_cinema = chosenCinema();
}

// Unsaved changes are offered for storing. False only when the editor chose
// to store and the database refused: the changes stay on screen and the
// caller does not replace them.
bool TFilmLadderDialog::askToStore()
{
    if (!m_store->isEnabled())
        return true;
    if (platform::confirm(QStringLiteral("Wijzigingen opslaan?")) && !Store())
        return false;
    m_store->setEnabled(false);
    return true;
}

void TFilmLadderDialog::Button1Click()
{
    if (askToStore())
        done(int(platform::ModalResult::Ok));
}

void TFilmLadderDialog::reject()
{
    if (askToStore())
        QDialog::reject();
}

void TFilmLadderDialog::ShowFilm()
{
    if (!askToStore()) {
        // Back to the film whose changes are still unsaved.
        const QSignalBlocker block(m_films);
        m_films->setCurrentRow(-1);
        for (int i = 0; i < m_films->count(); ++i)
            if (FilmEntryId(m_films->item(i)->text()) == m_film)
                m_films->setCurrentRow(i);
        return;
    }
    const QListWidgetItem *item = m_films->currentItem();
    m_film = item ? FilmEntryId(item->text()) : -1;
    QString title;
    if (m_film >= 0) {
        const auto rs = core::Query(ShowFilmSql(m_film));
        if (rs->RowCount() > 0) {
            title = rs->Row(0).value(1);
            m_cinema = rs->Row(0).value(2).toInt();
            selectCinema(m_cinema);
        } else {
            m_film = -1;
        }
    }
    m_title->setText(title);
    m_header->setText(m_film >= 0 ? FilmHeader(title) : QString());
    m_planning->setEnabled(m_film >= 0);
    m_info->setEnabled(m_film >= 0);
    m_deleteFilm->setEnabled(m_film >= 0);
    buildWeek();
    m_store->setEnabled(false);
}

void TFilmLadderDialog::buildWeek()
{
    m_dayPanel->hide();
    m_weekBack->setEnabled(m_week > m_firstWeek);
    m_weekLabel->setText(WeekLabel(m_week));
    qDeleteAll(m_days);
    m_days.clear();
    auto *layout = static_cast<QVBoxLayout *>(m_dayPanel->layout());
    for (int i = 0; i < 7; ++i) {
        auto *row = new TDagView(m_week.addDays(i), m_dayPanel);
        layout->insertWidget(i, row);
        if (m_film >= 0) {
            const auto rs = core::Query(DayTimesSql(m_film, row->day()));
            QStringList times;
            for (int r = 0; r < rs->RowCount(); ++r)
                times << rs->Row(r).value(2);
            row->setValue(times.join(QLatin1Char(',')));
        }
        connect(row, &TDagView::changed, this, &TFilmLadderDialog::markChanged);
        connect(row, &TDagView::nextDay, this, [this](TDagView *from) {
            const qsizetype next = m_days.indexOf(from) + 1;
            if (next < m_days.size())
                m_days.at(next)->firstBlankField()->setFocus();
            else
                m_title->setFocus();
        });
        if (!m_days.isEmpty())
            setTabOrder(m_days.last()->fields().last(), row->fields().first());
        m_days << row;
    }
    m_dayPanel->show();
}

// One transaction: the film's title and cinema, then per day its shows
// replaced by the times in the fields.
bool TFilmLadderDialog::Store()
{
    if (m_film < 0)
        return true;
    const int cinema = chosenCinema() >= 0 ? chosenCinema() : m_cinema;
    const QString title = m_title->text();
    core::TTransaction t;
    t.Execute(StoreFilmSql(m_film, title, cinema));
    for (const TDagView *row : std::as_const(m_days)) {
        t.Execute(DeleteDayTimesSql(m_film, row->day()));
        for (const QString &time : row->value().split(QLatin1Char(','), Qt::SkipEmptyParts))
            t.Execute(InsertTimeSql(m_film, row->day(), time));
    }
    if (!t.Commit())
        return false;
    m_cinema = cinema;
    m_store->setEnabled(false);
    // The list line follows without reloading (which would show the first film).
    const QString cinemaName = m_cinemas->currentIndex() >= 0 ? FilmEntryText(m_cinemas->currentText()) : QString();
    for (int i = 0; i < m_films->count(); ++i)
        if (FilmEntryId(m_films->item(i)->text()) == m_film)
            m_films->item(i)->setText(
                FilmEntry(QString::number(m_film), title.trimmed() + QStringLiteral(", ") + cinemaName));
    m_header->setText(FilmHeader(title));
    return true;
}

void TFilmLadderDialog::opslaanClick()
{
    Store();
}

void TFilmLadderDialog::Button2Click()
{
    if (m_week <= m_firstWeek || !askToStore())
        return;
    m_week = m_week.addDays(-7);
    buildWeek();
}

void TFilmLadderDialog::Button3Click()
{
    if (!askToStore())
        return;
    m_week = m_week.addDays(7);
    buildWeek();
}

void TFilmLadderDialog::Button4Click()
{
    if (!askToStore())
        return;
    m_week = m_firstWeek;
    buildWeek();
}

// A new film plays in the cinema chosen in the cinema field; without a
// cinema it would never show in the list (the list joins on the cinema).
void TFilmLadderDialog::Button5Click()
{
    if (!askToStore())
        return;
    const int cinema = chosenCinema();
    if (cinema < 0) {
        platform::showWarning(QStringLiteral("Voeg eerst een bioscoop toe."));
        return;
    }
    QString name;
    if (!platform::dialogs().inputQuery(QStringLiteral("Film toevoegen"), QStringLiteral("Naam van de film"), name,
                                        NameLimit) ||
        name.trimmed().isEmpty())
        return;
    if (core::Execute(InsertFilmSql(name, cinema)))
        LoadFilms();
}

void TFilmLadderDialog::Button6Click()
{
    if (m_film < 0 || !platform::confirm(QStringLiteral("Film en filmtijden verwijderen?")))
        return;
    core::TTransaction t;
    for (const QString &sql : DeleteFilmSql(m_film))
        t.Execute(sql);
    if (!t.Commit())
        return;
    // Unsaved changes belonged to the film just deleted: storing them would
    // put its shows back without a film.
    m_store->setEnabled(false);
    m_film = -1;
    LoadFilms();
}

void TFilmLadderDialog::Toevoegen1Click()
{
    QString name;
    if (!platform::dialogs().inputQuery(QStringLiteral("Bioscoop toevoegen"), QStringLiteral("Naam van de bioscoop"),
                                        name, NameLimit) ||
        name.trimmed().isEmpty())
        return;
    core::Execute(InsertCinemaSql(name));
    loadCinemas();
}

void TFilmLadderDialog::Wijzigen1Click()
{
    const int cinema = chosenCinema();
    if (cinema < 0)
        return;
    QString name = FilmEntryText(m_cinemas->currentText());
    if (!platform::dialogs().inputQuery(QStringLiteral("Bioscoop wijzigen"), QStringLiteral("Naam van de bioscoop"),
                                        name, NameLimit) ||
        name.trimmed().isEmpty())
        return;
    core::Execute(UpdateCinemaSql(cinema, name));
    markChanged();
    loadCinemas();
}

// A cinema that still has films is kept: its films would drop out of the
// list (which joins on the cinema) and could no longer be reached.
void TFilmLadderDialog::Verwijderen1Click()
{
    const int cinema = chosenCinema();
    if (cinema < 0 || !platform::confirm(QStringLiteral("Bioscoop verwijderen?")))
        return;
    const auto rs = core::Query(CinemaFilmCountSql(cinema));
    if (!rs->ok())
        return;
    if (rs->RowCount() > 0 && rs->Row(0).value(0).toInt() > 0) {
        platform::showWarning(QStringLiteral("Er draaien nog films in deze bioscoop; verwijder die eerst of "
                                             "kies er een andere bioscoop voor."));
        return;
    }
    core::Execute(DeleteCinemaSql(cinema));
    markChanged();
    loadCinemas();
}

void RegisterFilmTimesOpener(core::TRegistry &registry)
{
    registry.registerOpener<core::FilmTimesRequest>([](const core::FilmTimesRequest &) {
        TFilmLadderDialog dialog(QApplication::activeWindow());
        dialog.Prepare();
        dialog.exec();
        return std::monostate{};
    });
}

}  // namespace extras
