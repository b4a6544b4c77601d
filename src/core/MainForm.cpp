#include "core/MainForm.h"

#include "core/Colors.h"
#include "core/CoreSql.h"
#include "core/Dates.h"
#include "core/Frame.h"
#include "core/Helpers.h"
#include "core/Locks.h"
#include "core/LogForm.h"
#include "core/LogView.h"
#include "core/Mededeling.h"
#include "core/OpgeefDialog.h"
#include "core/Registry.h"
#include "core/SplashForm.h"
#include "core/TaakForm.h"
#include "core/Tokens.h"
#include "db/Postgres.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/FileVersion.h"
#include "platform/IniFile.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace core {

namespace {

const QString kNotInUse = QStringLiteral("dit deel van QuillonDesk is niet in gebruik");
constexpr int kFixedTeamItems = 2;  // "&Opeisen eindredactie" and the separator

// The frames of each tab index: left and right.
const FrameKind kPairs[5][2] = {
    {FrameKind::Bronnen, FrameKind::Agenda},     {FrameKind::Agenda, FrameKind::Todo},
    {FrameKind::Todo, FrameKind::Klaar},         {FrameKind::Klaar, FrameKind::Cyclus},
    {FrameKind::Cyclus, FrameKind::CyclusOnAir},
};

// A roster item, as LayoutRosterRow places its parts.
class RosterDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        const RosterRow row = LayoutRosterRow(opt.font, opt.rect, text);
        painter->save();
        painter->setPen(
            opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(opt.font);
        painter->drawText(row.name, Qt::AlignLeft | Qt::AlignVCenter, row.nameText);
        QFont bold = opt.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->drawText(row.info, Qt::AlignRight | Qt::AlignVCenter, row.infoText);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), qMax(16, QFontMetrics(option.font).height() + 2)};
    }
};

// The small team pictures of the "&Redactie" menu, by image index.
QIcon teamIcon(int index)
{
    static const QColor colors[] = {QColor(0x1e, 0x5a, 0xa0), QColor(0x28, 0x96, 0x3c), QColor(0xc0, 0x39, 0x2b),
                                    QColor(0xf0, 0x8c, 0x29), QColor(0x8e, 0x44, 0xad), QColor(0x7f, 0x8c, 0x8d)};
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colors[qBound(0, index, 5)]);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
    return QIcon(pm);
}

QString iniOr(const QString &section, const QString &key, const QString &fallback)
{
    const QString v = platform::IniReadString(section, key);
    return v.isEmpty() ? fallback : v;
}

}  // namespace

RosterRow LayoutRosterRow(const QFont &font, const QRect &rect, const QString &item)
{
    constexpr int kGap = 10;  // between the name and the info text
    QString rest = item;
    RosterRow row;
    row.nameText = TakeWhile(rest, Letters);
    rest.remove(0, 1);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics fm(font), boldFm(bold);
    const QRect inner = rect.adjusted(1, 0, -1, 0);
    const int nameWidth = qMin(fm.horizontalAdvance(row.nameText), inner.width());
    row.nameText = fm.elidedText(row.nameText, Qt::ElideRight, inner.width());
    row.name = QRect(inner.left(), inner.top(), nameWidth, inner.height());
    const int room = inner.width() - nameWidth - kGap;
    row.infoText = room > 0 ? boldFm.elidedText(rest, Qt::ElideRight, room) : QString();
    const int infoWidth = row.infoText.isEmpty() ? 0 : qMin(boldFm.horizontalAdvance(row.infoText), room);
    row.info = QRect(inner.right() + 1 - infoWidth, inner.top(), infoWidth, inner.height());
    return row;
}

int RosterWidth(const QFont &font, const QStringList &items)
{
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics fm(font), boldFm(bold);
    int widest = 0;
    for (QString rest : items) {
        const QString name = TakeWhile(rest, Letters);
        rest.remove(0, 1);
        widest = qMax(widest, 2 + fm.horizontalAdvance(name) + 10 + boldFm.horizontalAdvance(rest));
    }
    return widest;
}

bool HasVersionParameter(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments.at(i) == QLatin1String("version"))
            return true;
    return false;
}

void WriteVerInfo(const QString &dir, const QString &version)
{
    QFile file(QDir(dir).filePath(QStringLiteral("verinfo.txt")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        file.write(version.toUtf8() + "\n");
}

WebAddresses ReadWebAddresses()
{
    return {
        iniOr(QStringLiteral("web"), QStringLiteral("telefoonboek"), QStringLiteral("https://www.detelefoongids.nl/")),
        iniOr(QStringLiteral("web"), QStringLiteral("routeplanner"),
              QStringLiteral("https://www.openstreetmap.org/directions")),
        iniOr(QStringLiteral("web"), QStringLiteral("makers"), QStringLiteral("https://quillon.example.org/"))};
}

TMain::TMain(TProgramState &state, QWidget *parent) : QMainWindow(parent), m_state(state)
{
    setObjectName(QStringLiteral("Main"));
    m_server = new TServerLink(m_state, *this, this);
    m_post = new db::TPostgres(this);
    m_state.server = m_server;
    m_state.post = m_post;
    m_state.main = this;
    FormCreate();
    // The long-lived windows, hidden until asked for.
    m_splash = new Tsplashform(this);
    m_splash->setAuthenticate([this](const QString &name, const QString &typed) {
        const QString password = PasswordAsStored(typed);
        const bool ok = m_server->SendCommand(QStringLiteral("auth ") + name + QLatin1Char(' ') + password);
        if (ok)
            m_password = password;  // for logging in again after a lost connection
        return ok;
    });
    m_taakForm = new TTaakForm(this);
    m_logForm = new TLogForm(this);
    m_mededeling = new TMededeling(this);
    m_server->setHandler(QStringLiteral("job"), [this](const QString &text) { m_taakForm->HandleJobMessage(text); });
    qApp->installEventFilter(this);
}

TMain::~TMain()
{
    qApp->removeEventFilter(this);
    if (m_state.main == this)
        m_state.main = nullptr;
    if (m_state.server == m_server)
        m_state.server = nullptr;
    if (m_state.post == m_post)
        m_state.post = nullptr;
}

// Reads the version and zidad.ini, builds the window; nothing is connected yet.
void TMain::FormCreate()
{
    m_state.fileVersion = platform::fileVersion();
    if (!m_state.title.contains(QStringLiteral(" v")))
        m_state.title += QStringLiteral(" v") + m_state.fileVersion;
    buildLayout();
    buildMenus();
    m_tabs->hide();
    setWindowTitle(m_state.title);

    m_postHost = iniOr(QStringLiteral("hosts"), QStringLiteral("postgreshost"), QStringLiteral("localhost"));
    m_postPort =
        platform::parseInteger(iniOr(QStringLiteral("hosts"), QStringLiteral("postgresport"), QStringLiteral("5432")))
            .value_or(5432);
    m_postProtocol = platform::IniReadString(QStringLiteral("hosts"), QStringLiteral("postgresprotocol")).trimmed() ==
                             QLatin1String("2")
                         ? 2
                         : 3;
    m_database = iniOr(QStringLiteral("hosts"), QStringLiteral("postgresdatabase"), QStringLiteral("quillon"));
    m_state.serverHost = iniOr(QStringLiteral("hosts"), QStringLiteral("serverhost"), QStringLiteral("localhost"));
    m_state.serverPort =
        platform::parseInteger(iniOr(QStringLiteral("hosts"), QStringLiteral("serverport"), QStringLiteral("2000")))
            .value_or(2000);
    m_state.userName = platform::IniReadString(QStringLiteral("autologin"), QStringLiteral("username"));
    m_state.autologinPassword = platform::IniReadString(QStringLiteral("autologin"), QStringLiteral("password"));
    m_state.autologin = !m_state.userName.isEmpty();
    m_web = ReadWebAddresses();
    m_state.workDate = Today();

    m_post->setHost(m_postHost);
    m_post->setPort(m_postPort);
    m_post->setProtocolVersion(m_postProtocol);
    m_post->OnStatus = [this](const QString &msg) { LogStatus(msg); };
    m_post->OnDisconnect = [this] {
        if (m_terminating)
            return;
        ShowStatusLine(QStringLiteral("Verbinding verloren!"));
        if (m_ready)
            connectionGone(false);
        else
            closeConnections();
    };

    m_reconnectTimer.setSingleShot(true);
    m_reconnectTimer.setInterval(3000);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &TMain::Reconnect);
    m_timer1.setSingleShot(true);
    m_timer1.setInterval(250);
    connect(&m_timer1, &QTimer::timeout, this, &TMain::Timer1Timer);
    connect(this, &TMain::teamChanged, this, &TMain::TabControl1Change);
}

void TMain::buildLayout()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_menuBar = new QToolBar(central);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    m_menuBar->setMovable(false);
    m_menuBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(m_menuBar);

    // The team bar: the work date at the left, the team's name in the middle,
    // the user at the right, all on the team's colour.
    m_teamBar = new QFrame(central);
    m_teamBar->setObjectName(QStringLiteral("TeamBar"));
    m_teamBar->setAutoFillBackground(true);
    m_teamBar->setFixedHeight(28);
    // Grey until a team gives it its colour: a bar, not a name in the void.
    QPalette neutral = m_teamBar->palette();
    neutral.setColor(QPalette::Window, QColor(0x5f, 0x63, 0x68));
    neutral.setColor(QPalette::WindowText, Qt::white);
    m_teamBar->setPalette(neutral);
    auto *barLayout = new QHBoxLayout(m_teamBar);
    barLayout->setContentsMargins(8, 0, 8, 0);
    m_panel12 = new QLabel(m_teamBar);
    m_panel12->setObjectName(QStringLiteral("Panel12"));
    m_panel8 = new QLabel(m_teamBar);
    m_panel8->setObjectName(QStringLiteral("Panel8"));
    m_panel8->setAlignment(Qt::AlignCenter);
    QFont bold = m_panel8->font();
    bold.setBold(true);
    m_panel8->setFont(bold);
    m_panel7 = new QLabel(m_teamBar);
    m_panel7->setObjectName(QStringLiteral("Panel7"));
    m_panel7->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A lost connection is said in the bar, in white on red, until it is back.
    m_verbinding = new QLabel(m_teamBar);
    m_verbinding->setObjectName(QStringLiteral("Verbinding"));
    m_verbinding->setAlignment(Qt::AlignCenter);
    m_verbinding->setFont(bold);
    m_verbinding->setAutoFillBackground(true);
    m_verbinding->setContentsMargins(8, 0, 8, 0);
    QPalette alarm = m_verbinding->palette();
    alarm.setColor(QPalette::Window, QColor(0xb0, 0x1c, 0x1c));
    alarm.setColor(QPalette::WindowText, Qt::white);
    m_verbinding->setPalette(alarm);
    m_verbinding->hide();
    barLayout->addWidget(m_panel12, 1);
    barLayout->addWidget(m_panel8, 1);
    barLayout->addWidget(m_verbinding);
    barLayout->addWidget(m_panel7, 1);
    layout->addWidget(m_teamBar);

    m_tabs = new QWidget(central);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    // Hidden until the log-in, the working area still takes its place: the
    // menu bar and the team bar stay at the top instead of the middle.
    QSizePolicy keep(QSizePolicy::Preferred, QSizePolicy::Expanding);
    keep.setRetainSizeWhenHidden(true);
    m_tabs->setSizePolicy(keep);
    m_tabs->installEventFilter(this);
    auto makeSide = [this](const QString &outer, const QString &bar, const QString &panel, const QStringList &captions,
                           QTabBar *&tabBar, QWidget *&inner, QLabel *&caption) {
        auto *o = new QWidget(m_tabs);
        o->setObjectName(outer);
        auto *l = new QVBoxLayout(o);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(0);
        tabBar = new QTabBar(o);
        tabBar->setObjectName(bar);
        for (const QString &c : captions)
            tabBar->addTab(c);
        inner = new QFrame(o);
        inner->setObjectName(panel);
        static_cast<QFrame *>(inner)->setFrameShape(QFrame::StyledPanel);
        auto *g = new QGridLayout(inner);
        g->setContentsMargins(1, 1, 1, 1);
        caption = new QLabel(kNotInUse, inner);
        caption->setObjectName(panel + QStringLiteral("Caption"));
        caption->setAlignment(Qt::AlignCenter);
        g->addWidget(caption, 0, 0);
        l->addWidget(tabBar);
        l->addWidget(inner, 1);
        return o;
    };
    m_oleft = makeSide(QStringLiteral("oleft"), QStringLiteral("tableft"), QStringLiteral("left"),
                       {QStringLiteral("Bronnen"), QStringLiteral("Agenda"), QStringLiteral("Productielijst"),
                        QStringLiteral("Klaar"), QStringLiteral("Programma")},
                       m_tableft, m_left, m_leftCaption);
    m_oright = makeSide(QStringLiteral("oright"), QStringLiteral("tabright"), QStringLiteral("right"),
                        {QStringLiteral("Agenda"), QStringLiteral("Productielijst"), QStringLiteral("Klaar"),
                         QStringLiteral("Programma"), QStringLiteral("Op zender")},
                        m_tabright, m_right, m_rightCaption);
    m_panel10 = new QWidget(m_tabs);
    m_panel10->setObjectName(QStringLiteral("Panel10"));
    m_panel10->setFixedWidth(28);
    auto *buttons = new QVBoxLayout(m_panel10);
    buttons->setContentsMargins(2, 0, 2, 0);
    m_button2 = new QPushButton(QStringLiteral(">"), m_panel10);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button1 = new QPushButton(QStringLiteral("<"), m_panel10);
    m_button1->setObjectName(QStringLiteral("Button1"));
    for (QPushButton *b : {m_button2, m_button1}) {
        b->setFixedWidth(24);
        b->setFocusPolicy(Qt::NoFocus);
    }
    buttons->addStretch();
    buttons->addWidget(m_button2);
    buttons->addWidget(m_button1);
    buttons->addStretch();
    connect(m_button1, &QPushButton::clicked, this, &TMain::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TMain::Button2Click);
    connect(m_tableft, &QTabBar::currentChanged, this, [this] {
        if (!m_changingTabs)
            TabControl1Change();
    });
    connect(m_tabright, &QTabBar::currentChanged, this, [this] {
        if (!m_changingTabs)
            tabrightChange();
    });

    m_panel14 = new QFrame(m_tabs);
    m_panel14->setObjectName(QStringLiteral("Panel14"));
    m_panel14->setFrameShape(QFrame::Panel);
    m_panel14->setFrameShadow(QFrame::Raised);
    auto *rosterLayout = new QVBoxLayout(m_panel14);
    rosterLayout->setContentsMargins(2, 2, 2, 2);
    m_userlog = new QListWidget(m_panel14);
    m_userlog->setObjectName(QStringLiteral("userlog"));
    m_userlog->setItemDelegate(new RosterDelegate(m_userlog));
    m_userlog->setContextMenuPolicy(Qt::CustomContextMenu);
    rosterLayout->addWidget(m_userlog);
    m_panel14->hide();
    connect(m_userlog, &QListWidget::itemDoubleClicked, this, [this] { userlogDblClick(); });
    layout->addWidget(m_tabs, 1);

    m_logView = new TLogView(central);
    m_logView->setObjectName(QStringLiteral("LogView1"));
    m_logView->setFixedHeight(33);
    layout->addWidget(m_logView);
    setCentralWidget(central);
    resize(1024, 700);
}

QMenu *TMain::addMenu(const QString &caption, const QString &name)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(name);
    auto *button = new QToolButton(m_menuBar);
    button->setObjectName(name + QStringLiteral("Button"));
    button->setText(caption);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    QAction *place = m_menuBar->addWidget(button);
    if (name == QLatin1String("RedactieMenu")) {
        m_redactieButton = button;
        m_redactieAction = place;
    }
    return menu;
}

QAction *TMain::addItem(QMenu *menu, const QString &caption, std::function<void()> action)
{
    QAction *a = menu->addAction(caption);
    if (action)
        connect(a, &QAction::triggered, this, [action] { action(); });
    return a;
}

// Every menu of the menu bar. Shortcuts shown in the menus are handled by
// FormKeyUp, so they are shown only (widget context).
void TMain::buildMenus()
{
    QMenu *bestand = addMenu(QStringLiteral("&Bestand"), QStringLiteral("BestandMenu"));
    m_settingsAction = addItem(bestand, QStringLiteral("&Instellingen"), [] { registry().open(SettingsRequest{}); });
    m_sqlAction = addItem(bestand, QStringLiteral("SQL Interface"), [] { registry().open(SqlWindowRequest{}); });
    QAction *quit = addItem(bestand, QStringLiteral("Af&sluiten"), [this] { close(); });
    quit->setShortcut(QKeySequence(QStringLiteral("Alt+F4")));

    m_adressenMenu = addMenu(QStringLiteral("A&dressen"), QStringLiteral("AdressenPopupMenu"));
    addItem(m_adressenMenu, QStringLiteral("&Telefoonboek op internet"), [this] { openUrl(m_web.telephoneDirectory); });
    addItem(m_adressenMenu, QStringLiteral("&Routeplanner op internet"), [this] { openUrl(m_web.routePlanner); });
    m_adressenMenu->addSeparator();
    m_fixedAddressItems = static_cast<int>(m_adressenMenu->actions().size());

    m_redactieMenu = addMenu(QStringLiteral("&Redactie"), QStringLiteral("RedactieMenu"));
    m_claimAction = addItem(m_redactieMenu, QStringLiteral("&Opeisen eindredactie"), [this] { ClaimFinalEditor(); });
    m_redactieMenu->addSeparator();
    connect(m_redactieMenu, &QMenu::aboutToShow, this, &TMain::updateMenus);

    QMenu *archief = addMenu(QStringLiteral("Ar&chief"), QStringLiteral("ArchiefMenu"));
    m_archiveAction = addItem(archief, QStringLiteral("&Zoeken"), [] { registry().open(ArchiveRequest{}); });

    QMenu *extra = addMenu(QStringLiteral("E&xtra"), QStringLiteral("ExtraMenu"));
    m_filmAction = addItem(extra, QStringLiteral("&Filmtijden"), [] {
        if (RequestLock(QStringLiteral("tijden"), QStringLiteral("Filmtijden worden al bewerkt door $lockedby$"))) {
            registry().open(FilmTimesRequest{});
            SendCommand(QStringLiteral("unlock tijden"));
        }
    });
    m_promoAction = addItem(extra, QStringLiteral("&Promo"), [] { registry().open(PromoRequest{}); });

    QMenu *venster = addMenu(QStringLiteral("&Venster"), QStringLiteral("VensterMenu"));
    QAction *werkblad = addItem(venster, QStringLiteral("&Werkblad"), {});
    auto *group = new QActionGroup(venster);
    werkblad->setCheckable(true);
    werkblad->setChecked(true);
    group->addAction(werkblad);
    addItem(venster, QStringLiteral("&Instellingen"), {})->setEnabled(false);
    m_rosterAction = addItem(venster, QStringLiteral("&Redacteuren"), [this] { ToggleRoster(); });
    m_rosterAction->setCheckable(true);
    m_logAction = addItem(venster, QStringLiteral("&Log"), [this] {
        m_logForm->setVisible(!m_logForm->isVisible());
        if (m_logForm->isVisible())
            m_logForm->placeOnDesktop();
        m_logAction->setChecked(m_logForm->isVisible());
    });
    m_logAction->setCheckable(true);
    m_jobsAction = addItem(venster, QStringLiteral("&Taakoverzicht"), [this] {
        m_taakForm->setVisible(!m_taakForm->isVisible());
        m_jobsAction->setChecked(m_taakForm->isVisible());
    });
    m_jobsAction->setCheckable(true);
    QMenu *tabMenu = venster->addMenu(QStringLiteral("Tabblad l&inks kiezen"));
    tabMenu->setObjectName(QStringLiteral("TabbladMenu"));
    const QStringList tabItems = {QStringLiteral("&Bronnen"), QStringLiteral("Agenda"),
                                  QStringLiteral("&Productielijst"), QStringLiteral("&Klaar"),
                                  QStringLiteral("P&rogramma")};
    for (int i = 0; i < tabItems.size(); ++i) {
        QAction *a = addItem(tabMenu, tabItems.at(i), [this, i] { SelectLeftTab(i); });
        a->setShortcut(QKeySequence(Qt::Key_F5 + i));
        a->setShortcutContext(Qt::WidgetShortcut);
    }
    QAction *play = addItem(venster, QStringLiteral("&Meteen naar afspelen"), [this] { PlayNow(); });
    play->setShortcut(QKeySequence(Qt::Key_F4));
    play->setShortcutContext(Qt::WidgetShortcut);
    connect(venster, &QMenu::aboutToShow, this, [this] {
        m_rosterAction->setChecked(m_panel14->isVisibleTo(m_tabs));
        m_logAction->setChecked(m_logForm->isVisible());
        m_jobsAction->setChecked(m_taakForm->isVisible());
    });

    QMenu *help = addMenu(QStringLiteral("&Help"), QStringLiteral("HelpMenu"));
    QAction *contents = addItem(help, QStringLiteral("&Inhoudsopgave"), [] {
        platform::showInformation(QStringLiteral("Er is helaas nog geen help-functie beschikbaar"));
    });
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    contents->setShortcutContext(Qt::WidgetShortcut);
    addItem(help, QStringLiteral("&De makers"), [this] { openUrl(m_web.makers); });

    m_redacteurenMenu = new QMenu(this);
    m_redacteurenMenu->setObjectName(QStringLiteral("redacteurenmenu"));
    m_logOffAction = addItem(m_redacteurenMenu, QStringLiteral("&Redacteur afmelden"), [this] { LogOffEditor(); });
    connect(m_userlog, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        updateMenus();
        m_redacteurenMenu->popup(m_userlog->viewport()->mapToGlobal(pos));
    });
    updateMenus();
}

// Enables what the rights, the role and the registered windows allow.
void TMain::updateMenus()
{
    const bool admin = m_state.administrator;
    m_settingsAction->setEnabled(admin && registry().hasOpener<SettingsRequest>());
    m_sqlAction->setEnabled(admin && registry().hasOpener<SqlWindowRequest>());
    m_logAction->setEnabled(admin);
    m_archiveAction->setEnabled(registry().hasOpener<ArchiveRequest>());
    m_claimAction->setEnabled(m_state.finalEditorRight && !m_state.isFinalEditor);
    // Logging an editor off is an administrator's privilege, not a login name's.
    m_logOffAction->setEnabled(admin);
    const auto film = platform::IniTryReadInt(QStringLiteral("filmtijden"), QStringLiteral("redactie"));
    const auto promo = platform::IniTryReadInt(QStringLiteral("promo"), QStringLiteral("redactie"));
    m_filmAction->setEnabled(film && *film == m_state.currentTeamId && registry().hasOpener<FilmTimesRequest>());
    m_promoAction->setEnabled(promo && *promo == m_state.currentTeamId && registry().hasOpener<PromoRequest>());
}

void TMain::updateStatusBar()
{
    m_panel7->setText(m_state.isFinalEditor ? m_state.userName + QStringLiteral(" / eindredacteur") : m_state.userName);
}

void TMain::openUrl(const QString &url)
{
    if (!platform::shellOpen(url))
        platform::showWarning(QStringLiteral("Er kon geen webbrowser worden gestart om %1 te openen.").arg(url));
}

void TMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;  // FormShow
        m_timer1.start();
    }
}

// 250 ms after the window is shown: connect to the server.
void TMain::Timer1Timer()
{
    m_timer1.stop();
    showMaximized();
    if (m_state.userName.isEmpty())
        m_state.userName =
            platform::ReadRegistryValue(platform::RegistryRoot::LocalMachine, QStringLiteral("Network\\Logon"),
                                        QStringLiteral("UserName"), QStringLiteral("<onbekend>"))
                .toLower();
    m_state.isFinalEditor = false;
    updateStatusBar();
    ShowStatusLine(QStringLiteral("Opzoeken van server ..."));
    // TLS when zidad.ini asks for it; the password of "auth" then never
    // travels in clear.
    platform::TlsOptions tls;
    const QString tlsOn =
        platform::IniReadString(QStringLiteral("hosts"), QStringLiteral("servertls")).trimmed().toLower();
    tls.enabled = tlsOn == QLatin1String("1") || tlsOn == QLatin1String("true") || tlsOn == QLatin1String("ja");
    tls.caFile = platform::IniReadString(QStringLiteral("hosts"), QStringLiteral("servertlsca")).trimmed();
    tls.peerName = platform::IniReadString(QStringLiteral("hosts"), QStringLiteral("servertlsnaam")).trimmed();
    m_server->setTls(tls);
    QString error;
    if (!m_server->open(m_state.serverHost, m_state.serverPort, &error)) {
        platform::showError(
            QStringLiteral("Kon geen verbinding maken met de quillon server\r\nprobeert u het later nog eens...\r\n(") +
            error + QLatin1Char(')'));
        terminate();
        return;
    }
    serverConnect();
}

// The log-in conversation with the server, then the database.
void TMain::serverConnect()
{
    ShowStatusLine(QStringLiteral("Verbonden met newsroom server"));
    if (!m_server->SendCommand(QStringLiteral("checkversion ") + m_state.fileVersion)) {
        if (m_terminating)
            return;
        // A server that hangs up is no verdict on the version.
        platform::showError(
            m_server->isOpen()
                ? QStringLiteral("Uw huidige quillon versie is niet up-to-date!")
                : QStringLiteral(
                      "Kon geen verbinding maken met de quillon server\r\nprobeert u het later nog eens...\r\n("
                      "de server verbrak de verbinding)"));
        terminate();
        return;
    }
    bool loggedIn = false;
    if (m_state.autologin) {
        m_splash->Edit1()->setText(m_state.userName);
        const QString password = PasswordAsStored(m_state.autologinPassword);
        loggedIn = m_server->SendCommand(QStringLiteral("auth ") + m_state.userName + QLatin1Char(' ') + password);
        if (loggedIn)
            m_password = password;
    }
    if (!loggedIn) {
        if (m_terminating || !m_server->isOpen())
            return;
        if (m_splash->showModal(m_state.userName) != QDialog::Accepted) {
            close();
            return;
        }
        m_state.userName = m_splash->Edit1()->text();
    }
    updateStatusBar();
    m_server->SendCommand(QStringLiteral("user ") + m_state.userName);
    m_server->SendCommand(QStringLiteral("userlijst"));

    ShowStatusLine(QStringLiteral("Opzoeken van server ..."));
    ShowStatusLine(QStringLiteral("Bezig met verbinden ..."));
    QString error;
    if (m_post->Open(&error))
        postConnect();
    else
        platform::showError(QStringLiteral("Interne fout:\r\n") + error);
    if (m_terminating)
        return;
    m_server->startPolling();
    if (m_post->Connected()) {
        auto rs = Query(UserRightsSql(m_state.userId));
        if (rs->RowCount() > 0 && !rs->Row(0).isEmpty())
            ApplyRights(m_state, rs->Row(0).at(0));
    }
    updateMenus();
    if (m_state.currentTeamId >= 0 && m_tabs->isVisible()) {
        m_ready = true;
        m_server->setKeepSession(true);
        emit readyForWork();
    }
}

// The database log-in, the tab panels and the teams.
void TMain::postConnect()
{
    ShowStatusLine(QStringLiteral("Bezig met aanmelden ..."));
    QString lastStatus;
    auto forward = m_post->OnStatus;
    m_post->OnStatus = [&lastStatus, forward](const QString &msg) {
        lastStatus = msg;
        if (forward)
            forward(msg);
    };
    {
        platform::BusyCursor busy;
        m_post->Connect(m_database, QStringLiteral("quillon"), QStringLiteral("zwaluwen"));
    }
    m_post->OnStatus = forward;
    if (!m_post->Connected()) {
        // A refused database log-in closes both connections; say why.
        platform::showError(QStringLiteral("Interne fout:\r\n") + lastStatus);
        ShowStatusLine(QStringLiteral("Verbinding verloren!"));
        closeConnections();
        return;
    }
    m_tabs->show();
    layoutTabs();
    LoadTeams();
    if (!m_terminating)
        ShowStatusLine(QStringLiteral("Aangemeld"));
}

void TMain::LoadTeams()
{
    const QList<QAction *> old = m_redactieMenu->actions();
    for (qsizetype i = kFixedTeamItems; i < old.size(); ++i)
        delete old.at(i);
    auto teams = Query(UserTeamsSql(m_state.userId));
    for (int r = 0; r < teams->RowCount(); ++r) {
        const QStringList &row = teams->Row(r);
        if (row.size() < 2)
            continue;
        const int id = row.at(0).toInt();
        QAction *a = addItem(m_redactieMenu, row.at(1), [this, id] { SelectTeam(id); });
        a->setData(id);
        a->setIcon(teamIcon(row.size() > 2 ? row.at(2).toInt() : 0));
    }

    const QList<QAction *> oldBooks = m_adressenMenu->actions();
    for (qsizetype i = m_fixedAddressItems; i < oldBooks.size(); ++i)
        delete oldBooks.at(i);
    auto books = Query(AddressBooksSql());
    for (int r = 0; r < books->RowCount(); ++r) {
        const QStringList &row = books->Row(r);
        if (row.size() < 2)
            continue;
        const int id = row.at(0).toInt();
        QAction *a = addItem(m_adressenMenu, row.at(1), [id] { registry().open(AddressBookRequest{.bookId = id}); });
        a->setData(id);
        a->setEnabled(registry().hasOpener<AddressBookRequest>());
    }

    const QList<QAction *> items = m_redactieMenu->actions();
    if (items.size() < kFixedTeamItems + 1) {
        platform::showInformation(QStringLiteral("Je hebt geen rechten voor een van de beschikbare redacties\n"
                                                 "neem contact op met systeembeheer"));
        terminate();
        return;
    }
    SelectTeam(items.at(kFixedTeamItems)->data().toInt());
}

void TMain::SelectTeam(int teamId)
{
    m_state.currentTeamId = teamId;
    auto rs = Query(TeamSql(teamId));
    if (rs->RowCount() > 0 && rs->Row(0).size() >= 2) {
        const QString naam = rs->Row(0).at(0);
        setWindowTitle(m_state.title + QStringLiteral(" - ") + naam);
        m_panel8->setText(naam);
        if (const auto color = ParseBgrColor(rs->Row(0).at(1))) {
            QPalette pal = m_teamBar->palette();
            pal.setColor(QPalette::Window, *color);
            const QColor text = color->lightness() < 128 ? Qt::white : Qt::black;
            pal.setColor(QPalette::WindowText, text);
            m_teamBar->setPalette(pal);
            for (QLabel *l : {m_panel12, m_panel8, m_panel7})
                l->setPalette(pal);
        }
    }
    updateMenus();
    platform::WriteSetting(QStringLiteral("redactie"), QString::number(teamId));
    emit teamChanged();
}

// FormResize. The roster, when shown, takes a column of its own at the right
// rather than floating over the frames' buttons; the two panels share what
// is left after it and Panel10.
void TMain::layoutTabs()
{
    const int w = m_tabs->width(), h = m_tabs->height();
    int rosterWidth = 0;
    if (m_panel14->isVisibleTo(m_tabs)) {
        QStringList items;
        for (int i = 0; i < m_userlog->count(); ++i)
            items << m_userlog->item(i)->text();
        // The rows, and around them the frames, margins and room for a scroll bar.
        const QMargins m = m_panel14->layout()->contentsMargins();
        const int chrome = 2 * m_panel14->frameWidth() + m.left() + m.right() + 2 * m_userlog->frameWidth() +
                           m_userlog->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_userlog) + 2;
        rosterWidth = qMin(qBound(180, RosterWidth(m_userlog->font(), items) + chrome, 400), w / 3);
        m_panel14->setGeometry(w - rosterWidth, 0, rosterWidth, h);
    }
    const int rest = w - (rosterWidth > 0 ? rosterWidth + 2 : 0);
    const int pw = m_panel10->width();
    const int half = (rest - pw) / 2;
    m_oleft->setGeometry(0, 0, half, h);
    m_panel10->setGeometry(half, 0, pw, h);
    m_oright->setGeometry(half + pw, 0, rest - half - pw, h);
}

void TMain::destroyFrame(QPointer<TFrame> &frame, QWidget *panel, QLabel *caption)
{
    if (!frame)
        return;
    broadcastFrameMessage(panel, FRAME_DEACTIVATE);
    TFrame *f = frame;
    frame = nullptr;
    if (f) {
        f->hide();
        f->setParent(nullptr);
        f->deleteLater();
    }
    caption->show();
}

TFrame *TMain::placeFrame(int kind, QWidget *panel, QLabel *caption)
{
    TFrame *f = registry().createFrame(static_cast<FrameKind>(kind), panel);
    if (!f)
        return nullptr;
    if (f->parentWidget() != panel)
        f->setParent(panel);
    static_cast<QGridLayout *>(panel->layout())->addWidget(f, 0, 0);
    caption->hide();
    f->show();
    return f;
}

// OnChange of tableft, and after every team change: the pair of frames of
// the current index is built anew.
void TMain::TabControl1Change()
{
    const int index = m_tableft->currentIndex();
    m_changingTabs = true;
    m_tabright->setCurrentIndex(index);
    m_changingTabs = false;
    destroyFrame(m_leftFrame, m_left, m_leftCaption);
    destroyFrame(m_rightFrame, m_right, m_rightCaption);
    if (index < 0 || index > 4)
        return;
    m_leftFrame = placeFrame(static_cast<int>(kPairs[index][0]), m_left, m_leftCaption);
    m_rightFrame = placeFrame(static_cast<int>(kPairs[index][1]), m_right, m_rightCaption);
    m_button2->setEnabled(index < 4);
    // Sources beside the agenda: the agenda ignores FRAME_MOVE_LEFT, so "<" stays off.
    m_button1->setEnabled(index >= 1 && index <= 3);
    broadcastFrameMessage(m_left, FRAME_ACTIVATE);
    broadcastFrameMessage(m_right, FRAME_ACTIVATE);
    RefreshViews();
}

void TMain::tabrightChange()
{
    m_changingTabs = true;
    m_tableft->setCurrentIndex(m_tabright->currentIndex());
    m_changingTabs = false;
    TabControl1Change();
}

void TMain::Button1Click()
{
    broadcastFrameMessage(m_right, FRAME_MOVE_LEFT);
}

void TMain::Button2Click()
{
    broadcastFrameMessage(m_left, FRAME_MOVE_RIGHT);
}

void TMain::SelectLeftTab(int index)
{
    m_server->stopPolling();
    m_changingTabs = true;
    m_tableft->setCurrentIndex(index);
    m_changingTabs = false;
    TabControl1Change();
    m_server->resumePolling();
}

void TMain::PlayNow()
{
    if (m_tableft->currentIndex() != 3)
        SelectLeftTab(3);
    postFrameMessage(m_rightFrame, FRAME_PLAY);
}

bool TMain::FormKeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (key) {
    case Qt::Key_F1:
        platform::showInformation(QStringLiteral("Er is helaas nog geen help-functie beschikbaar"));
        return true;
    case Qt::Key_F2: postFrameMessage(m_leftFrame, FRAME_FOCUS); return true;
    case Qt::Key_F3: postFrameMessage(m_rightFrame, FRAME_FOCUS); return true;
    case Qt::Key_F4: PlayNow(); return true;
    case Qt::Key_F5:
    case Qt::Key_F6:
    case Qt::Key_F7:
    case Qt::Key_F8:
    case Qt::Key_F9:
        if (m_tabs->isVisible())
            SelectLeftTab(key - Qt::Key_F5);
        return true;
    default: return false;
    }
}

bool TMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tabs && event->type() == QEvent::Resize) {
        layoutTabs();  // FormResize
    } else if (event->type() == QEvent::KeyRelease && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        auto *key = static_cast<QKeyEvent *>(event);
        if (w->window() == this && !key->isAutoRepeat() && key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F9)
            return FormKeyUp(key->key(), key->modifiers());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMain::ClaimFinalEditor()
{
    if (platform::confirm(QStringLiteral("Wil je eindredacteur worden?")))
        SendCommand(QStringLiteral("eindredacteur ") + QString::number(m_state.currentTeamId));
}

void TMain::ToggleRoster()
{
    m_panel14->setVisible(!m_panel14->isVisibleTo(m_tabs));
    m_rosterAction->setChecked(m_panel14->isVisibleTo(m_tabs));
    layoutTabs();
    if (m_panel14->isVisibleTo(m_tabs))
        SendCommand(QStringLiteral("userlijst"));
}

void TMain::userlogDblClick()
{
    QListWidgetItem *item = m_userlog->currentItem();
    if (!item)
        return;
    QString text = item->text();
    const QString name = TakeWhile(text, Letters);
    QString message;
    if (platform::dialogs().inputQuery(QStringLiteral("Bericht versturen"), QStringLiteral("Aan: ") + name, message))
        SendCommand(QStringLiteral("direct ") + name + QLatin1Char(' ') + message);
}

void TMain::LogOffEditor()
{
    QListWidgetItem *item = m_userlog->currentItem();
    if (!item || !m_state.administrator)
        return;
    if (platform::dialogs().messageBox(platform::BoxType::Confirmation, QStringLiteral("Redacteur afmelden?"),
                                       platform::BoxButtons::OkCancel) != platform::ModalResult::Ok)
        return;
    QString text = item->text();
    SendCommand(QStringLiteral("hangup ") + TakeWhile(text, Letters));
}

void TMain::AddMenuButton(const QString &caption, QMenu *menu)
{
    auto *button = new QToolButton(m_menuBar);
    button->setText(caption);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_menuBar->insertWidget(m_redactieAction, button);
    m_frameButtons << button;
}

void TMain::RemoveMenuButton(const QString &, QMenu *menu)
{
    for (QToolButton *b : m_frameButtons) {
        if (b->menu() != menu)
            continue;
        m_frameButtons.removeOne(b);
        for (QAction *a : m_menuBar->actions()) {
            if (m_menuBar->widgetForAction(a) == b) {
                m_menuBar->removeAction(a);
                break;
            }
        }
        b->setMenu(nullptr);
        b->deleteLater();
        return;
    }
}

void TMain::RefreshViews()
{
    m_panel12->setText(QStringLiteral("werkdatum: ") +
                       FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), m_state.workDate));
    sendFrameMessage(m_leftFrame, FRAME_REFRESH);
    sendFrameMessage(m_rightFrame, FRAME_REFRESH);
}

void TMain::ShowStatusLine(const QString &text)
{
    m_logView->addLineCapped(StampedLogLine(text, TimeNow()));
}

void TMain::LogStatus(const QString &text)
{
    if (m_logForm)
        m_logForm->LogStatus(text);
}

void TMain::announce(const QString &sender, const QString &text)
{
    m_mededeling->AddAnnouncement(sender, text);
}

bool TMain::askHandOver(const QString &name)
{
    TOpgeefDialog dialog(name, this);
    return dialog.ask();
}

// Every "users" line of the server: who logs in or out, and role changes.
void TMain::rosterChanged(const QStringList &items)
{
    m_userlog->clear();
    m_userlog->addItems(items);
    for (int i = 0; i < m_userlog->count(); ++i)
        m_userlog->item(i)->setToolTip(items.at(i));  // a cut info text is whole here
    if (m_panel14->isVisibleTo(m_tabs))
        layoutTabs();  // a longer row may widen the column
}

void TMain::finalEditorChanged()
{
    updateStatusBar();
    updateMenus();
}

void TMain::serverDown(const QString &sender, const QString &text)
{
    m_post->Close();
    m_mededeling->AddAnnouncementModal(sender, text);
    terminate();
}

void TMain::connectionLost()
{
    if (m_terminating)
        return;
    if (m_ready)
        connectionGone(true);
    else
        m_post->Close();  // the log-in itself failed
}

void TMain::connectionGone(bool server)
{
    (server ? m_serverGone : m_databaseGone) = true;
    showConnectionState();
    if (!m_reconnecting)
        m_reconnectTimer.start();
}

void TMain::showConnectionState()
{
    QString what;
    if (m_serverGone && m_databaseGone)
        what = QStringLiteral("de server en de database");
    else if (m_serverGone)
        what = QStringLiteral("de server");
    else if (m_databaseGone)
        what = QStringLiteral("de database");
    // A server that answers but refuses is not down: usually the editor is
    // logged in elsewhere, which only the editor can end.
    if (m_serverGone && m_loginRefused)
        m_verbinding->setText(
            QStringLiteral("De server weigert de aanmelding (elders aangemeld?): opnieuw proberen ..."));
    else
        m_verbinding->setText(QStringLiteral("Geen verbinding met ") + what +
                              QStringLiteral(": opnieuw verbinden ..."));
    m_verbinding->setVisible(!what.isEmpty());
}

// Connects to the server again and logs in as before; the held locks are
// asked for again and what waited is sent. False leaves the link closed.
bool TMain::logInAgain(QStringList &lostLocks)
{
    m_loginRefused = false;
    if (!m_server->open(m_state.serverHost, m_state.serverPort, nullptr, 2000))
        return false;
    if (!m_server->SendCommand(QStringLiteral("checkversion ") + m_state.fileVersion) ||
        !m_server->SendCommand(QStringLiteral("auth ") + m_state.userName + QLatin1Char(' ') + m_password)) {
        m_loginRefused = m_server->isOpen();  // answered, not lost on the way
        m_server->close();  // not (yet) let in: the old session may linger at the server
        return false;
    }
    m_server->SendCommand(QStringLiteral("user ") + m_state.userName);
    m_server->SendCommand(QStringLiteral("userlijst"));
    lostLocks += m_server->restoreSession();
    m_server->reclaimFinalEditor();
    if (!m_server->isOpen())
        return false;
    m_server->startPolling();
    return true;
}

// Runs inside whatever dialog the editor has open; never while a server
// command is being answered, and never twice at once.
void TMain::Reconnect()
{
    if (m_terminating || m_reconnecting || m_server->depth() > 0) {
        if (!m_terminating)
            m_reconnectTimer.start();
        return;
    }
    m_reconnecting = true;
    QStringList lostLocks;
    if (m_serverGone && logInAgain(lostLocks))
        m_serverGone = false;
    if (m_databaseGone && m_post->Open()) {
        platform::BusyCursor busy;
        m_post->Connect(m_database, QStringLiteral("quillon"), QStringLiteral("zwaluwen"));
        if (m_post->Connected())
            m_databaseGone = false;
        else
            m_post->Close();
    }
    m_reconnecting = false;
    if (m_terminating)
        return;
    showConnectionState();
    if (m_serverGone || m_databaseGone) {
        m_reconnectTimer.start();
        return;
    }
    ShowStatusLine(QStringLiteral("Verbinding hersteld"));
    RefreshViews();  // what changed meanwhile is read anew
    if (!lostLocks.isEmpty())
        platform::showWarning(LostLocksMessage(lostLocks));
}

int TMain::leftTab() const
{
    return m_tableft->currentIndex();
}
int TMain::rightTab() const
{
    return m_tabright->currentIndex();
}

void TMain::frameMessage(PanelSide side, const QString &, const QString &argument)
{
    TFrame *frame = side == PanelSide::Left ? m_leftFrame.data() : m_rightFrame.data();
    if (frame)
        frame->serverMessage(argument);
}

void TMain::refreshPanel(PanelSide side)
{
    broadcastFrameMessage(side == PanelSide::Left ? m_left : m_right, FRAME_REFRESH);
}

void TMain::closeConnections()
{
    m_server->close();
    m_post->Close();
}

void TMain::terminate()
{
    if (m_terminating)
        return;
    m_terminating = true;
    m_timer1.stop();
    m_reconnectTimer.stop();
    closeConnections();
    if (m_terminateHook) {
        m_terminateHook();
        return;
    }
    close();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

// FormCloseQuery and FormClose.
void TMain::closeEvent(QCloseEvent *event)
{
    if (!m_terminating && !platform::confirm(QStringLiteral("Quillon verlaten?"))) {
        event->ignore();
        return;
    }
    m_timer1.stop();
    m_reconnectTimer.stop();
    m_terminating = true;
    closeConnections();
    for (QWidget *w :
         {static_cast<QWidget *>(m_taakForm), static_cast<QWidget *>(m_logForm), static_cast<QWidget *>(m_mededeling)})
        if (w)
            w->hide();
    event->accept();
}

}  // namespace core
