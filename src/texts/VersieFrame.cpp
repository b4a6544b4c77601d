#include "texts/VersieFrame.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/Guarded.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "db/Postgres.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Printing.h"
#include "platform/TempDir.h"
#include "texts/AltCodeDialog.h"
#include "texts/PersonalEdit.h"
#include "texts/PopupChars.h"
#include "texts/StartCommands.h"
#include "texts/StoredText.h"
#include "texts/StylePanel.h"
#include "texts/VersieHistory.h"
#include "texts/VersieWizard.h"
#include "views/HighlightView.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextStream>
#include <QTimeEdit>
#include <QToolBar>
#include <QToolButton>
#include <QValidator>
#include <QVBoxLayout>

#include <optional>

namespace texts {

bool HeadlineFits(const QFontMetrics &fm, const QString &kop, int marginWidth)
{
    return kop.isEmpty() || fm.horizontalAdvance(kop + HeadlineReserve) <= marginWidth;
}

namespace {

constexpr int kTabHeight = 35;

// The statement was carried out. The database seam has shown the backend's
// message already; a connection that is gone shows none there.
bool execute(const QString &sql)
{
    return core::Execute(sql);
}

// "begin", the statements, "end"; "rollback" instead when one fails, so
// nothing of them is stored.
bool transaction(const QStringList &statements)
{
    core::TTransaction t;
    for (const QString &sql : statements)
        t.Execute(sql);
    return t.Commit();
}

std::optional<int> firstInt(const QString &sql)
{
    auto rs = core::Query(sql);
    bool ok = false;
    const int n = rs->RowCount() > 0 ? rs->Row(0).value(0).toInt(&ok) : 0;
    return ok ? std::optional<int>(n) : std::nullopt;
}

// Text shortened from its end until it fits width, then "..." appended. The
// longest fitting beginning is found by halving, not by measuring once per
// character: every tab is painted with it.
QString fitted(const QFontMetrics &fm, const QString &text, int width)
{
    if (fm.horizontalAdvance(text) <= width)
        return text;
    qsizetype fits = 0, tooLong = text.size();  // fits <= answer < tooLong
    while (tooLong - fits > 1) {
        const qsizetype mid = (fits + tooLong) / 2;
        if (fm.horizontalAdvance(text.left(mid)) <= width)
            fits = mid;
        else
            tooLong = mid;
    }
    return text.left(fits) + QStringLiteral("...");
}

// The headline as the editor may make it (typing, pasting, dropping, the
// special characters): never wider than the text column, with room for the
// page numbers " (9/9)" shown behind it. A headline read from the database
// is shown as it is, however wide; onRefused tells the editor whenever a
// headline does not fit, so nothing is left out unnoticed.
class HeadlineValidator : public QValidator {
public:
    HeadlineValidator(QLineEdit *kop, const TPersonalEdit *body, std::function<void()> onRefused)
        : QValidator(kop), m_kop(kop), m_body(body), m_onRefused(std::move(onRefused))
    {}
    State validate(QString &input, int &) const override
    {
        if (HeadlineFits(QFontMetrics(m_kop->font()), input, m_body->MarginWidth()))
            return Acceptable;
        m_onRefused();
        return Invalid;
    }

private:
    QLineEdit *m_kop;
    const TPersonalEdit *m_body;
    std::function<void()> m_onRefused;
};

// The memo of a template in memo mode edits the raw stored text. A paste is
// held to what the text editor lays out (fits: whether a whole memo text
// does), as a paste in the editor is, and the editor is told when part of
// it was left out.
class TVersieMemo : public QPlainTextEdit {
public:
    TVersieMemo(std::function<bool(const QString &)> fits, QWidget *parent)
        : QPlainTextEdit(parent), m_fits(std::move(fits))
    {}

protected:
    void insertFromMimeData(const QMimeData *source) override
    {
        const QString pasted = source->text();
        QTextCursor c = textCursor();
        const QString all = toPlainText();
        const QString before = all.left(c.selectionStart()), after = all.mid(c.selectionEnd());
        const auto fitsWith = [&](qsizetype n) { return m_fits(before + pasted.left(n) + after); };
        if (fitsWith(pasted.size())) {
            c.insertText(pasted);
            return;
        }
        qsizetype fits = 0, tooLong = pasted.size();  // fits <= answer < tooLong
        while (tooLong - fits > 1) {
            const qsizetype mid = (fits + tooLong) / 2;
            (fitsWith(mid) ? fits : tooLong) = mid;
        }
        c.insertText(pasted.left(fits));
        platform::showWarning(TextTooLongMessage());
    }

private:
    std::function<bool(const QString &)> m_fits;
};

// Plain text as the editor stores it: a "<" stays a character.
QString plainToStored(QString text)
{
    return text.replace(QLatin1Char('<'), LessThanTag.toString());
}

}  // namespace

// ---- tabs ---------------------------------------------------------------

TVersionTabs::TVersionTabs(QWidget *parent) : QTabBar(parent)
{
    setObjectName(QStringLiteral("TabControl1"));
    setExpanding(false);
    setElideMode(Qt::ElideNone);
    setUsesScrollButtons(true);
    setDrawBase(true);
}

void TVersionTabs::setTabWidth(int width)
{
    m_tabWidth = width;
    updateGeometry();
    update();
}

void TVersionTabs::setLine(int index, const QString &line)
{
    setTabData(index, line);
    const VersionLine v = ParseVersionLine(line);
    setTabToolTip(index, v.kop + QLatin1Char('\n') + v.naam);
    update();
}

QString TVersionTabs::line(int index) const
{
    return tabData(index).toString();
}

QSize TVersionTabs::tabSizeHint(int) const
{
    return {m_tabWidth, kTabHeight};
}

void TVersionTabs::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.text.clear();
        p.drawControl(QStyle::CE_TabBarTabShape, option);
        const VersionLine v = ParseVersionLine(line(i));
        const QRect r = tabRect(i);
        const QFontMetrics fm = p.fontMetrics();
        const int limit = r.width() - 20;
        p.setPen(Qt::black);
        p.drawText(r.left() + 5, r.top() + 4 + fm.ascent(), fitted(fm, v.kop, limit));
        p.setPen(Qt::blue);
        p.drawText(r.left() + 5, r.top() + 4 + fm.height() + fm.ascent(), fitted(fm, v.naam, limit));
    }
}

// ---- the frame ----------------------------------------------------------

TVersieFrame::TVersieFrame(QWidget *parent) : core::TFrame(parent), m_defaults(ClockDefaults::from(core::Today()))
{
    setObjectName(QStringLiteral("versie"));
    m_saveGuard.setObjectName(QStringLiteral("saveguardtimer"));
    m_saveGuard.setSingleShot(true);
    m_saveGuard.setInterval(2500);
    connect(&m_saveGuard, &QTimer::timeout, this, [this] {
        m_saveGuard.stop();
        WriteBackup();
    });
    buildControls();
}

TVersieFrame::~TVersieFrame() = default;

QToolButton *TVersieFrame::toolButton(const QString &name, const QString &text, const QString &hint)
{
    auto *b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint.isEmpty() ? text : hint);
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

void TVersieFrame::buildControls()
{
    // Tool bar of the frame.
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setIconSize(QSize(1, 1));
    auto add = [&](const char *name, const char *text, const char *hint, auto slot) {
        QToolButton *b = toolButton(QString::fromLatin1(name), QString::fromUtf8(text), QString::fromUtf8(hint));
        connect(b, &QToolButton::clicked, this, [this, slot] { core::Guarded([&] { slot(); }); });
        bar->addWidget(b);
        return b;
    };
    add("ToolButton1", "Nieuwe versie", "Nieuwe versie maken", [this] { ToolButton1Click(); });
    add("ToolButton2", "Verwijderen", "Versie verwijderen", [this] { ToolButton2Click(); });
    bar->addSeparator();
    add("ToolButton8", "Bron", "Bron importeren", [this] {
        ToolButton8Click();
    })->setEnabled(core::registry().hasOpener<core::SourceImportRequest>());
    add("ToolButton12", "Archief", "Archief importeren", [this] { ToolButton12Click(); });
    add("ToolButton9", "Afdrukken", "Afdrukken", [this] { ToolButton9Click(); });
    add("ToolButton14", "Print", "Afdrukken van deze tekst", [this] { ToolButton9Click(); });
    bar->addSeparator();
    add("ToolButton17", "Knippen", "Knippen", [this] { m_body->CutSelection(); });
    add("ToolButton13", "Kopieeren", "Kopieeren", [this] { m_body->CopySelection(); });
    add("ToolButton16", "Plakken", "Plakken", [this] { m_body->PasteClipboard(); });
    add("ToolButton19", "ALT", "Speciaal teken invoegen (ALT-Codes)", [this] { insertAltCode(*m_body); });
    QToolButton *extra = add("ToolButton21", "Extra", "Extra", [] {});
    m_xtra = new QMenu(this);
    m_xtra->setObjectName(QStringLiteral("xtra"));
    m_autocap = m_xtra->addAction(QStringLiteral("Automatische hoofdletters"));
    m_autocap->setObjectName(QStringLiteral("autocap"));
    m_autocap->setCheckable(true);
    m_spacecheck = m_xtra->addAction(QStringLiteral("Spatie controle"));
    m_spacecheck->setObjectName(QStringLiteral("spacecheck"));
    m_spacecheck->setCheckable(true);
    m_xtra->addSeparator();
    QAction *history = m_xtra->addAction(QStringLiteral("Eerdere versies..."));
    history->setObjectName(QStringLiteral("EerdereVersies1"));
    connect(history, &QAction::triggered, this, [this] { core::Guarded([&] { EerdereVersiesClick(); }); });
    connect(m_xtra, &QMenu::aboutToShow, this, [this] {
        m_autocap->setChecked(m_body->AutoCase());
        m_spacecheck->setChecked(m_body->SpaceCheck());
    });
    connect(m_autocap, &QAction::triggered, this, [this](bool on) { m_body->setAutoCase(on); });
    connect(m_spacecheck, &QAction::triggered, this, [this](bool on) { m_body->setSpaceCheck(on); });
    extra->setMenu(m_xtra);
    extra->setPopupMode(QToolButton::InstantPopup);

    m_tabs = new TVersionTabs(this);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (m_tabsQuiet || index < 0)
            return;
        core::Guarded([&] { TabControl1Change(); });
    });

    // Left: the topic and the template's fields.
    m_panel7 = new QWidget(this);
    m_panel7->setObjectName(QStringLiteral("Panel7"));
    m_pagesLeft = new QTabWidget(m_panel7);
    m_pagesLeft->setObjectName(QStringLiteral("PageControl2"));
    auto *agendaPage = new QWidget;
    agendaPage->setObjectName(QStringLiteral("Agenda"));
    m_view = new views::THighlightView(agendaPage);
    m_view->setObjectName(QStringLiteral("view"));
    auto *openAgenda = new QPushButton(QStringLiteral("Agendapunt openen"), agendaPage);
    openAgenda->setObjectName(QStringLiteral("Button1"));
    openAgenda->setEnabled(core::registry().hasOpener<core::AgendaItemRequest>());
    connect(openAgenda, &QPushButton::clicked, this, [this] { core::Guarded([&] { openAgendaItem(); }); });
    auto *agendaLayout = new QVBoxLayout(agendaPage);
    agendaLayout->addWidget(m_view, 1);
    agendaLayout->addWidget(openAgenda, 0, Qt::AlignLeft);
    m_pagesLeft->addTab(agendaPage, QStringLiteral("Agenda"));
    m_extraPage = new QWidget;
    m_extraPage->setObjectName(QStringLiteral("extra"));
    m_extraScroll = new QScrollArea(m_extraPage);
    m_extraScroll->setWidgetResizable(true);
    m_extraScroll->setFrameShape(QFrame::NoFrame);
    m_style = new TStylePanel;
    m_style->setObjectName(QStringLiteral("style"));
    m_style->OnMerge = [](QObject *, const QString &name, QString &text) {
        auto rs = core::Query(MergeTemplateSql(name));
        if (rs->RowCount() > 0)
            text = rs->Row(0).value(0);
    };
    m_extraScroll->setWidget(m_style);
    auto *extraLayout = new QVBoxLayout(m_extraPage);
    extraLayout->setContentsMargins(0, 0, 0, 0);
    extraLayout->addWidget(m_extraScroll);
    m_pagesLeft->addTab(m_extraPage, QStringLiteral("extra"));
    m_pagesLeft->setTabVisible(1, false);
    auto *leftLayout = new QVBoxLayout(m_panel7);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_pagesLeft);

    // Right: the text and the clocks.
    m_pagesRight = new QTabWidget(this);
    m_pagesRight->setObjectName(QStringLiteral("PageControl1"));
    m_textPage = new QWidget;
    m_textPage->setObjectName(QStringLiteral("Tekst"));
    m_kop = new QLineEdit(m_textPage);
    m_kop->setObjectName(QStringLiteral("kop"));
    m_kopvol = new QLabel(QStringLiteral("De kop is zo breed als de tekstkolom: wat niet past, is niet ingevoegd."),
                          m_textPage);
    m_kopvol->setObjectName(QStringLiteral("kopvol"));
    m_kopvol->setStyleSheet(QStringLiteral("color: #c00000"));
    m_kopvol->hide();
    connect(m_kop, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.size() < m_kopLength)
            m_kopvol->hide();  // made shorter: there is room again
        m_kopLength = text.size();
        rewriteTab();
    });
    m_body = new TPersonalEdit(m_textPage);
    m_body->setObjectName(QStringLiteral("body"));
    m_body->installEventFilter(this);
    m_kop->setValidator(new HeadlineValidator(m_kop, m_body, [this] { m_kopvol->show(); }));
    connect(m_body, &TPersonalEdit::OnChange, this, [this] { m_saveGuard.start(); });
    m_memo = new TVersieMemo(
        [this](const QString &stored) {
            TBuffer b = m_body->buffer();
            b.setStoredText(stored);
            return !b.beyondLimit();
        },
        m_textPage);
    m_memo->installEventFilter(this);
    m_memo->setObjectName(QStringLiteral("memo"));
    m_memo->hide();
    m_chars = new TPopupChars(this);
    m_chars->attach(m_kop);
    m_body->setPopupMenu(m_chars);
    auto *textLayout = new QVBoxLayout(m_textPage);
    auto *kopRow = new QHBoxLayout;
    kopRow->addWidget(m_kop, 1);  // as wide as the headline may be (updateHeadlineLimit)
    kopRow->addWidget(m_kopvol);
    kopRow->addStretch(0);
    textLayout->addLayout(kopRow);
    textLayout->addWidget(m_body, 1);
    textLayout->addWidget(m_memo, 1);
    m_pagesRight->addTab(m_textPage, QStringLiteral("Tekst"));
    m_pagesRight->addTab(buildClockPage(), QStringLiteral("Tijd instellingen"));

    // The editor as it starts, before any template's settings.
    m_body->setMarginWidth(200);
    m_body->setLineDistance(1);
    m_body->setLinesPerPage(2);
    m_body->setAutoCase(false);
    m_body->setSpaceCheck(true);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(16);
    m_body->setFont(arial);
    arial.setPixelSize(13);
    m_memo->setFont(arial);

    auto *panel4 = new QHBoxLayout;
    // The left part takes a third of the width, the text the rest.
    panel4->addWidget(m_panel7, 1);
    panel4->addWidget(m_pagesRight, 2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(bar);
    layout->addWidget(m_tabs);
    layout->addLayout(panel4, 1);
}

QWidget *TVersieFrame::buildClockPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Tijdinstellingen"));
    auto *bar = new QToolBar(page);
    auto add = [&](const char *name, const char *text, auto slot) {
        QToolButton *b = toolButton(QString::fromLatin1(name), QString::fromLatin1(text), {});
        connect(b, &QToolButton::clicked, this, [this, slot] { core::Guarded([&] { slot(); }); });
        bar->addWidget(b);
    };
    add("ToolButton3", "Toevoegen", [this] { AddClock(); });
    add("ToolButton5", "Opslaan", [this] { StoreClock(); });
    add("ToolButton4", "Verwijderen", [this] { RemoveClock(); });
    m_klokbox = new QListWidget(page);
    m_klokbox->setObjectName(QStringLiteral("klokbox"));
    m_klokbox->setUniformItemSizes(true);
    connect(m_klokbox, &QListWidget::itemClicked, this, [this] {
        m_clocks.select(m_klokbox->currentRow());
        core::Guarded([&] { showClockFields(); });
    });
    auto dateEdit = [&](const char *name) {
        auto *e = new QDateEdit(page);
        e->setObjectName(QString::fromLatin1(name));
        e->setLocale(QLocale(QLocale::Dutch, QLocale::Netherlands));  // the desk's long date, whatever the machine
        e->setDisplayFormat(QStringLiteral("dddd d MMMM yyyy"));
        e->setCalendarPopup(true);
        return e;
    };
    auto timeEdit = [&](const char *name) {
        auto *e = new QTimeEdit(page);
        e->setObjectName(QString::fromLatin1(name));
        e->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        return e;
    };
    m_startdatum = dateEdit("startdatum");
    m_einddatum = dateEdit("einddatum");
    m_starttijd = timeEdit("starttijd");
    m_eindtijd = timeEdit("eindtijd");
    m_intijd = timeEdit("intijd");
    m_uittijd = timeEdit("uittijd");
    for (QDateTimeEdit *e : {static_cast<QDateTimeEdit *>(m_startdatum), static_cast<QDateTimeEdit *>(m_einddatum),
                             static_cast<QDateTimeEdit *>(m_starttijd), static_cast<QDateTimeEdit *>(m_eindtijd),
                             static_cast<QDateTimeEdit *>(m_intijd), static_cast<QDateTimeEdit *>(m_uittijd)})
        connect(e, &QDateTimeEdit::dateTimeChanged, this, [this] { m_fieldsUnshown = false; });
    connect(m_startdatum, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        if (d > m_einddatum->date())
            m_einddatum->setDate(d.addDays(1));
    });
    auto *fields = new QGridLayout;
    const struct {
        const char *caption;
        QWidget *edit;
    } rows[] = {{"Startdatum", m_startdatum}, {"Einddatum", m_einddatum}, {"Starttijd", m_starttijd},
                {"Eindtijd", m_eindtijd},     {"Intijd", m_intijd},       {"Uittijd", m_uittijd}};
    int r = 0;
    for (const auto &row : rows) {
        fields->addWidget(new QLabel(QString::fromLatin1(row.caption), page), r / 2, (r % 2) * 2);
        fields->addWidget(row.edit, r / 2, (r % 2) * 2 + 1);
        ++r;
    }
    auto *dagen = new QGroupBox(QStringLiteral("Dagen"), page);
    dagen->setObjectName(QStringLiteral("dagen"));
    auto *dagenGrid = new QGridLayout(dagen);
    const char *days[] = {"Maandag", "Dinsdag", "Woensdag", "Donderdag", "Vrijdag", "Zaterdag", "Zondag"};
    for (int i = 0; i < 7; ++i) {
        auto *c = new QCheckBox(QString::fromLatin1(days[i]), dagen);
        c->setObjectName(QString::fromLatin1(days[i]));
        connect(c, &QCheckBox::toggled, this, [this] { m_fieldsUnshown = false; });
        dagenGrid->addWidget(c, i / 4, i % 4);  // four columns
        m_dagen << c;
    }
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(bar);
    layout->addWidget(m_klokbox, 1);
    layout->addLayout(fields);
    layout->addWidget(dagen);
    return page;
}

bool TVersieFrame::frameMessage(int msg, qintptr, qintptr)
{
    switch (msg) {
    case core::FRAME_ACTIVATE: m_kop->setFocus(); return true;
    case core::FRAME_SAVE: m_lastSaveOk = SaveVersion(); return true;
    default: return false;
    }
}

void TVersieFrame::showTopic()
{
    auto rs = core::Query(TopicSql(AgendaId));
    if (rs->RowCount() == 0)
        return;
    const QStringList row = rs->Row(0);
    m_view->setText(QStringLiteral("<bold>") + row.value(0) + QStringLiteral("<normal>\r\n\r\n") + row.value(1) +
                    QStringLiteral("\r\n\r\n<green>Bron: <bold>") + row.value(2));
    m_topicTitle = row.value(0);
}

void TVersieFrame::LoadVersions()
{
    HasVersions = false;
    m_templateName.clear();
    showTopic();
    auto rs = core::Query(VersionListSql(AgendaId));
    int chosen = 0;
    m_tabsQuiet = true;
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    for (int i = 0; i < rs->RowCount(); ++i) {
        const QStringList row = rs->Row(i);
        m_tabs->addTab(QString());
        m_tabs->setLine(i, VersionTabText(row.value(0), row.value(1), row.value(2)));
        if (row.value(0).toInt() == PreferredVersionId)
            chosen = i;
    }
    m_tabs->setCurrentIndex(m_tabs->count() > 0 ? chosen : -1);
    m_tabsQuiet = false;
    if (m_tabs->count() > 0) {
        TabControl1Change();
        HasVersions = true;
    } else {
        ToolButton1Click();
    }
}

bool TVersieFrame::TabControl1Change()
{
    PreferredVersionId = -1;
    if (m_currentId >= 0 && !SaveVersion()) {
        // Back to the tab of the version still shown.
        m_tabsQuiet = true;
        for (int i = 0; i < m_tabs->count(); ++i)
            if (ParseVersionLine(m_tabs->line(i)).id.toInt() == m_currentId)
                m_tabs->setCurrentIndex(i);
        m_tabsQuiet = false;
        return false;
    }
    const int index = m_tabs->currentIndex();
    if (index < 0)
        return true;
    setEnabled(false);
    // Whatever interrupts the loading, the frame is usable again; a version
    // that did not load completely is shown read-only and never saved over.
    struct Enable {
        TVersieFrame *f;
        ~Enable()
        {
            f->m_textPage->setEnabled(f->m_loaded);
            f->setEnabled(true);
        }
    } enable{this};
    m_loaded = false;
    const int w = m_tabs->parentWidget()->width();
    m_tabs->setTabWidth(qMax(85, (w - w / 10) / qMax(1, int(m_tabs->count()))));
    m_pagesRight->setCurrentWidget(m_textPage);

    m_currentId = ParseVersionLine(m_tabs->line(index)).id.toInt();
    m_style->setTextId(m_currentId);
    auto rs = core::Query(OpenVersionSql(m_currentId));
    const QStringList row = rs->RowCount() > 0 ? rs->Row(0) : QStringList();
    m_templateId = row.value(7).toInt();
    {
        const QSignalBlocker quiet(m_kop);
        m_kop->setText(row.value(1));
        m_kopLength = m_kop->text().size();
    }
    const QString extra = row.value(8);
    m_memo->clear();
    m_body->setStoredText(QString());

    if (m_templateId < 0) {
        showExtraPage(false);
    } else {
        auto t = core::Query(VersionTemplateSql(m_templateId));
        const QStringList trow = t->RowCount() > 0 ? t->Row(0) : QStringList();
        m_templateName = trow.value(0);
        m_pagesLeft->setTabText(1, m_templateName);
        m_style->setTemplate(trow.value(1));
        m_style->setValues(extra);
        m_settings.merge(parseEditorSettings(trow.value(2)));
        showExtraPage(!trow.value(1).isEmpty());
        rewriteTab();
    }
    LoadClocks();
    applyEditorSettings();
    // Only the shown one of the two editors gets the text (nothing reads a
    // hidden memo), so a template without memo mode costs no memo layout.
    if (!m_memo->isHidden())
        m_memo->setPlainText(row.value(2));
    m_body->setStoredText(row.value(2));
    m_body->setCaret(0);
    m_saveGuard.stop();  // loading is no typing
    m_loaded = !row.isEmpty();  // a row that could not be read is no version to save
    return true;
}

void TVersieFrame::showExtraPage(bool show)
{
    m_pagesLeft->setTabVisible(1, show);
    if (show)
        m_pagesLeft->setCurrentIndex(1);
}

void TVersieFrame::rewriteTab()
{
    if (m_currentId < 0)
        return;
    const int index = m_tabs->currentIndex();
    if (index >= 0)
        m_tabs->setLine(index, VersionTabText(QString::number(m_currentId), m_kop->text(), m_templateName));
}

void TVersieFrame::applyEditorSettings()
{
    const EditorSetup e = EvaluateEditorSettings(m_settings);
    for (const char *name : {"usememo", "font", "size", "width", "pagelength"})
        if (m_settings.has(QString::fromLatin1(name)))
            core::LogStatus(QString::fromLatin1(name) + QLatin1Char('=') + m_settings.value(QString::fromLatin1(name)));
    m_memo->setVisible(e.useMemo);
    m_body->setVisible(!e.useMemo);
    QFont font = m_body->font();
    if (!e.font.isEmpty())
        font.setFamily(e.font);
    if (e.size)
        font.setPointSize(qMax(1, *e.size));
    m_body->setFont(font);
    if (e.width) {
        // -1: the column follows the editor's width, as it is laid out now
        // and whenever it changes (eventFilter), never the width the editor
        // has before its window is laid out.
        m_marginFollowsWidth = *e.width == -1;
        if (!m_marginFollowsWidth)
            m_body->setMarginWidth(*e.width);
    }
    if (m_marginFollowsWidth)
        m_body->setMarginWidth(qMax(1, (e.useMemo ? static_cast<QWidget *>(m_memo) : m_body)->width() - 40));
    if (e.pageLength)
        m_body->setLinesPerPage(*e.pageLength);
    QFont memoFont = m_memo->font();
    memoFont.setFamily(font.family());
    if (font.pointSize() > 0)
        memoFont.setPointSize(font.pointSize());
    else
        memoFont.setPixelSize(font.pixelSize());
    m_memo->setFont(memoFont);
    m_kop->setFont(font);
    updateHeadlineLimit();
}

// The headline's box ends where the headline must end, so the limit is in
// sight before a key is refused; a headline already too wide says so.
void TVersieFrame::updateHeadlineLimit()
{
    const QFontMetrics fm(m_kop->font());
    const int frame = m_kop->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_kop);
    const QMargins margins = m_kop->textMargins();
    const int chrome = 2 * frame + 2 * 2 + margins.left() + margins.right() + 1;  // frame, padding, caret
    m_kop->setMaximumWidth(qMax(0, m_body->MarginWidth() - fm.horizontalAdvance(HeadlineReserve)) + chrome);
    m_kopvol->setVisible(!HeadlineFits(fm, m_kop->text(), m_body->MarginWidth()));
}

QString TVersieFrame::storedText() const
{
    return !m_memo->isHidden() ? m_memo->toPlainText() : m_body->StoredText();
}

bool TVersieFrame::SaveVersion()
{
    if (m_currentId < 0 || !m_loaded)
        return true;  // nothing shown, or not what the row holds: the row stays as it is
    StoreClock();
    VersionValues v;
    v.id = m_currentId;
    v.kop = m_kop->text();
    v.body = storedText();
    v.extra = m_style->Values();
    v.pageCount = pageCount();
    v.moment = core::Now();
    v.userId = core::state().userId;
    v.klok = m_clocks.list();
    if (!execute(SaveVersionSql(v))) {
        saveFailed();
        return false;
    }
    return true;
}

// The pages of what a save stores. In memo mode that is the memo's text,
// laid out as the text editor would show it.
int TVersieFrame::pageCount() const
{
    if (m_memo->isHidden())
        return m_body->PageCount();
    TBuffer b = m_body->buffer();
    b.setStoredText(m_memo->toPlainText());
    return b.pageCount(m_body->LinesPerPage());
}

void TVersieFrame::saveFailed()
{
    WriteBackup();  // now, not after the typing pause
    platform::showError(QStringLiteral("De versie is niet opgeslagen.\nDe tekst blijft in het venster staan; "
                                       "probeer het opnieuw zodra de verbinding met de database hersteld is."));
}

void TVersieFrame::ToolButton1Click()
{
    if (!SaveVersion())
        return;
    TVersieWizard wizard(window());
    wizard.setAgendaId(AgendaId);
    wizard.PrepareWizard();
    if (wizard.exec() != QDialog::Accepted)
        return;
    const int templateId = wizard.Template();
    const auto newId = firstInt(NextTextIdSql());
    if (!newId)
        return;
    // The new version is composed apart from the window: a start command
    // that fails, or an insert that fails, leaves the version shown as it was.
    TStartResult start{QString(), QString(), m_defaults};
    if (wizard.Basis() < 0) {
        auto rs = core::Query(InitialCommandsSql(templateId));
        if (rs->RowCount() > 0) {
            TStartHooks hooks;
            hooks.today = core::Today();
            hooks.warning = [](const QString &text) { platform::showInformation(text); };
            hooks.ask = [](const QString &prompt, QString &answer) {
                answer.clear();
                return platform::dialogs().inputQuery(QStringLiteral("Invoer"), prompt, answer);
            };
            RunStartCommands(ParseStartCommands(rs->Row(0).value(0), m_topicTitle), start, hooks);
        }
    } else {
        auto rs = core::Query(BasisTextSql(wizard.Basis()));
        if (rs->RowCount() > 0) {
            start.headline = rs->Row(0).value(0);
            start.body = rs->Row(0).value(1);
        }
    }
    const QString oldKop = m_kop->text(), oldBody = m_body->StoredText();
    {
        const QSignalBlocker quiet(m_kop);
        m_kop->setText(start.headline);
    }
    m_body->setStoredText(start.body);
    NewVersionValues v{*newId,     AgendaId, templateId, m_kop->text(), m_body->StoredText(), core::state().userId,
                       core::Now()};
    if (!transaction({InsertVersionSql(v)})) {
        const QSignalBlocker quiet(m_kop);
        m_kop->setText(oldKop);
        m_body->setStoredText(oldBody);
        platform::showError(QStringLiteral("De nieuwe versie is niet aangemaakt."));
        return;
    }
    m_defaults = start.defaults;
    HasVersions = true;
    m_templateId = templateId;
    m_currentId = *newId;
    m_loaded = true;  // the window shows what was just inserted
    PreferredVersionId = *newId;
    // The new version starts with one clock: the defaults as the template's
    // start commands left them.
    m_clocks.setEntries({});
    m_clocks.AddClock(m_defaults.entry());
    refreshClockBox();
    showClockFields();
    LoadVersions();
}

void TVersieFrame::ToolButton2Click()
{
    if (m_currentId < 0)
        return;
    if (!platform::confirm(QStringLiteral("Versie \"") + m_kop->text() + QStringLiteral("\" verwijderen?")))
        return;
    if (!execute(DeleteVersionSql(m_currentId)))
        return;  // the database seam has said why
    m_currentId = -1;  // its row is gone: nothing of it is saved again
    if (m_tabs->count() <= 1) {
        QMetaObject::invokeMethod(window(), "close", Qt::QueuedConnection);
        return;
    }
    LoadVersions();
}

void TVersieFrame::ToolButton8Click()
{
    const auto choice = core::registry().open(core::SourceImportRequest{});
    if (!choice || choice->modalResult != int(platform::ModalResult::Ok))
        return;
    // The memo's paragraphs stay paragraphs; its text is plain (the server
    // turned the feed's HTML into text), so a "<" in it is a character.
    QString text = choice->text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), HardReturn);
    m_body->setStoredText(m_body->StoredText() + HardReturn + QStringLiteral("** Geimporteerde tekst **") + HardReturn +
                          plainToStored(text));
}

void TVersieFrame::ToolButton12Click()
{
    const auto choice = core::registry().open(core::ArchiveRequest{true});
    if (!choice || choice->modalResult != int(platform::ModalResult::Yes))
        return;
    m_body->setStoredText(m_body->StoredText() + QStringLiteral("\r** Geimporteerde tekst **\r") +
                          plainToStored(choice->plainText));
}

void TVersieFrame::ToolButton9Click()
{
    platform::PrintJob job(QStringLiteral("QuillonDesk"));
    if (!job.ask() || !job.begin())
        return;
    QPainter &p = job.painter();
    QPrinter &printer = job.printer();
    const int pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    const int left = qRound(printer.logicalDpiX() * 0.78);
    const int top = pageHeight / 35;
    QFont font(QStringLiteral("Arial"), 12);
    font.setBold(true);
    p.setFont(font);
    p.drawText(left, top + p.fontMetrics().ascent(), m_kop->text());
    font.setBold(false);
    p.setFont(font);
    const int lineHeight = p.fontMetrics().height();
    int y = top + 2 * lineHeight;
    for (const QString &line : storedTextLines(storedText())) {
        if (y > pageHeight - pageHeight / 35) {
            job.newPage();
            y = pageHeight / 35;
        }
        p.drawText(left, y + p.fontMetrics().ascent(), line);
        y += lineHeight + lineHeight / 2;
    }
    job.end();
}

void TVersieFrame::EerdereVersiesClick()
{
    if (m_currentId < 0)
        return;
    TVersieHistory history(m_currentId, window());
    if (history.exec() != QDialog::Accepted || !history.chosen())
        return;
    // Back in the editor; the next save stores it, keeping what it replaces.
    const THistoryState &s = *history.chosen();
    {
        const QSignalBlocker quiet(m_kop);
        m_kop->setText(s.kop);
    }
    rewriteTab();
    if (!m_memo->isHidden())
        m_memo->setPlainText(s.body);
    m_body->setStoredText(s.body);
    m_style->setValues(s.extra);
    SaveVersion();
}

void TVersieFrame::openAgendaItem()
{
    core::AgendaItemRequest request;
    request.agendaId = AgendaId;
    core::registry().open(request);
    showTopic();
}

// ---- clocks -------------------------------------------------------------

void TVersieFrame::LoadClocks()
{
    auto rs = core::Query(ClockListSql(m_currentId));
    QList<ClockEntry> entries =
        ParseClockList(rs->RowCount() > 0 ? rs->ValueByName(0, QStringLiteral("klok")) : QString());
    if (entries.isEmpty()) {
        auto old = core::Query(OldClocksSql(m_currentId));
        for (int i = 0; i < old->RowCount(); ++i)
            entries << ClockFromRow(old->Row(i));
    }
    m_clocks.setEntries(entries);
    if (entries.isEmpty())
        m_clocks.AddClock(m_defaults.entry());
    else
        m_clocks.select(0);
    refreshClockBox();
    showClockFields();
}

void TVersieFrame::refreshClockBox()
{
    m_klokbox->clear();
    for (const ClockEntry &c : m_clocks.entries()) {
        QString text;
        try {
            text = ClockLineText(c);
        } catch (const platform::ConversionError &) {
            // an entry that cannot be read is drawn blank
        }
        m_klokbox->addItem(text);
    }
    m_klokbox->setCurrentRow(m_clocks.selected());
}

// A field that does not read leaves the rest of the entry unshown and ends
// nothing else: older clocks (tblklok) often have an empty start date, and
// opening their version must still show its text.
void TVersieFrame::showClockFields()
{
    const ClockEntry &c = m_clocks.fields();
    const QSignalBlocker quiet(m_startdatum);
    try {
        m_startdatum->setDate(core::YmdToDate(c.startDate));
        m_einddatum->setDate(core::YmdToDate(c.endDate));
        m_starttijd->setTime(ReadTime(c.startTime));
        m_eindtijd->setTime(ReadTime(c.endTime));
        m_intijd->setTime(ReadTime(c.inTime));
        m_uittijd->setTime(ReadTime(c.outTime));
    } catch (const platform::ConversionError &) {
        m_fieldsUnshown = true;
        return;
    }
    for (int i = 0; i < 7; ++i)
        m_dagen.at(i)->setChecked(i < c.days.size() && c.days.at(i) == QLatin1Char('x'));
    m_fieldsUnshown = false;
}

void TVersieFrame::readClockFields()
{
    const QString t = QStringLiteral("hh:nn:ss");
    ClockEntry &c = m_clocks.fields();
    c.startDate = core::DateToYmd(m_startdatum->date());
    c.endDate = core::DateToYmd(m_einddatum->date());
    c.startTime = core::FormatDateTime(t, m_starttijd->time());
    c.endTime = core::FormatDateTime(t, m_eindtijd->time());
    c.inTime = core::FormatDateTime(t, m_intijd->time());
    c.outTime = core::FormatDateTime(t, m_uittijd->time());
    c.days.clear();
    for (QCheckBox *d : m_dagen)
        c.days += d->isChecked() ? QLatin1Char('x') : QLatin1Char('-');
}

void TVersieFrame::StoreClock()
{
    // Fields that do not show the selected clock are not written into it:
    // the clock stays as it was until the editor sets the fields.
    if (m_fieldsUnshown && m_clocks.selected() >= 0)
        return;
    readClockFields();
    m_clocks.StoreClock();
    refreshClockBox();
}

void TVersieFrame::AddClock()
{
    m_clocks.AddClock(m_defaults.entry());
    refreshClockBox();
    showClockFields();
}

void TVersieFrame::RemoveClock()
{
    if (m_clocks.selected() < 0 || !platform::confirm(QStringLiteral("Klokje verwijderen?")))
        return;
    m_clocks.RemoveClock();
    refreshClockBox();
    if (!m_clocks.entries().isEmpty())
        showClockFields();
}

// ---- crash backup -------------------------------------------------------

QString TVersieFrame::BackupPath()
{
    return QDir(platform::TempDirectory()).filePath(QStringLiteral("versie.txt"));
}

void TVersieFrame::WriteBackup()
{
    QFile f(BackupPath());
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(storedText().toUtf8());
}

void TVersieFrame::DeleteBackup()
{
    QFile::remove(BackupPath());
}

void TVersieFrame::RestoreBackup()
{
    QFile f(BackupPath());
    if (!f.exists())
        return;
    platform::showInformation(
        QStringLiteral("Een reserve-kopie is aangetroffen, waarschijnlijk omdat het programma de vorige keer was "
                       "vastgelopen. \nDe inhoud is in het klembord gezet!\nKies 'plakken' om de tekst terug te "
                       "halen..."));
    if (f.open(QIODevice::ReadOnly)) {
        const QString first = QString::fromUtf8(f.readLine()).remove(QLatin1Char('\n'));
        platform::clipboard().setText(readStoredText(first));
        f.close();
    }
    f.remove();
}

// ---- layout -------------------------------------------------------------

// A column that follows the editor's width (width -1) is set again whenever
// the editor gets a new width; its page count follows with the layout.
bool TVersieFrame::eventFilter(QObject *watched, QEvent *event)
{
    // In memo mode the memo stands where the editor would.
    const auto *shown = qobject_cast<const QWidget *>(watched);
    if ((watched == m_body || watched == m_memo) && event->type() == QEvent::Resize && m_marginFollowsWidth &&
        !shown->isHidden()) {
        m_body->setMarginWidth(qMax(1, shown->width() - 40));
        updateHeadlineLimit();
    }
    return core::TFrame::eventFilter(watched, event);
}

}  // namespace texts
