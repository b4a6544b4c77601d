#include "output/PublishForm.h"

#include "core/Database.h"
#include "core/Dates.h"
#include "core/Global.h"
#include "core/Guarded.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "core/ServerLink.h"
#include "core/Tokens.h"
#include "db/Postgres.h"
#include "output/PublishSql.h"
#include "platform/Dialogs.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace output {

using core::Guarded;

namespace {

QPointer<TPublish> s_window;

constexpr int kEntryRole = Qt::UserRole;  // the entry in its list format: "id name"

int idOf(const QString &entry)
{
    QString rest = entry;
    bool ok = false;
    const int id = core::TakeWhile(rest, core::Digits).toInt(&ok);
    return ok ? id : -1;
}

QString nameOf(QString entry)
{
    core::TakeWhile(entry, core::Digits);
    core::TakeWhile(entry, core::Blanks);
    return entry;
}

// A check-list entry: shows the name, keeps "id name"; the window toggles
// it on a click anywhere on the entry.
QListWidgetItem *checkItem(QListWidget *list, const QString &entry)
{
    auto *item = new QListWidgetItem(nameOf(entry), list);
    item->setData(kEntryRole, entry);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

int itemId(const QListWidgetItem *item)
{
    return idOf(item->data(kEntryRole).toString());
}

// The two animations, drawn in code: a ring of dots turning while busy, a
// green tick pulsing when done.
QPixmap animationFrame(bool done, int frame)
{
    QPixmap pm(50, 50);
    pm.fill(Qt::black);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (done) {
        QPen pen(QColor(0, 200 - (frame % 20) * 4, 0), 5);
        p.setPen(pen);
        p.drawPolyline(QPolygon({QPoint(12, 26), QPoint(21, 35), QPoint(38, 15)}));
        return pm;
    }
    for (int i = 0; i < 10; ++i) {
        const double a = (i + frame) * 2 * 3.14159265 / 10;
        const int shade = 60 + 19 * i;
        p.setBrush(QColor(shade, shade, 0));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(25 + 16 * std::cos(a), 25 + 16 * std::sin(a)), 3, 3);
    }
    return pm;
}

}  // namespace

void paintPublishFile(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    p.fillRect(rect, views::LineBackground(item));
    const FileState state = EntryState(item.text);
    QFont font = p.font();
    font.setBold(state == FileState::Sending || state == FileState::Sent || state == FileState::Failed);
    p.setFont(font);
    QColor color = Qt::black;
    switch (state) {
    case FileState::NotDone: color = item.palette.color(QPalette::Dark); break;
    case FileState::Building:
    case FileState::Sending: color = Qt::white; break;
    case FileState::Failed: color = Qt::red; break;
    default: break;
    }
    p.setPen(color);
    p.drawText(rect.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, EntryText(item.text));
}

void paintPublishLog(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    p.fillRect(rect, Qt::white);
    QFont font = p.font();
    font.setBold(false);
    QColor color = Qt::black;
    int x = rect.left() + 1;
    const QString &line = item.text;
    int i = 0;
    auto draw = [&](const QString &piece) {
        if (piece.isEmpty())
            return;
        p.setFont(font);
        p.setPen(color);
        const QFontMetrics fm(font);
        p.drawText(QPoint(x, rect.top() + 1 + fm.ascent()), piece);
        x += fm.horizontalAdvance(piece);
    };
    while (i < line.size()) {
        const int open = line.indexOf(QLatin1Char('<'), i);
        if (open < 0) {
            draw(line.mid(i));
            break;
        }
        draw(line.mid(i, open - i));
        const int close = line.indexOf(QLatin1Char('>'), open);
        if (close < 0)
            break;
        const QString tag = line.mid(open + 1, close - open - 1).trimmed().toLower();
        if (tag == QLatin1String("red"))
            color = Qt::red;
        else if (tag == QLatin1String("black"))
            color = Qt::black;
        else if (tag == QLatin1String("blue"))
            color = Qt::blue;
        else if (tag == QLatin1String("green"))
            color = Qt::darkGreen;
        else if (tag == QLatin1String("bold"))
            font.setBold(true);
        else if (tag == QLatin1String("normal"))
            font.setBold(false);
        i = close + 1;
    }
}

TPublish::TPublish(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Publish"));
    setWindowTitle(QStringLiteral("Publiceren"));
    buildControls();
    s_window = this;
    if (core::TServerLink *link = core::state().server)
        link->setHandler(QStringLiteral("publish"), [this](const QString &a) { HandleProgress(a); });
    FormCreate();
}

TPublish::~TPublish()
{
    if (core::TServerLink *link = core::state().server)
        link->setHandler(QStringLiteral("publish"), {});
}

TPublish *TPublish::current()
{
    return s_window;
}

void TPublish::buildControls()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    auto *instellen = new QWidget(m_pages);
    instellen->setObjectName(QStringLiteral("Instellen"));
    auto *voortgang = new QWidget(m_pages);
    voortgang->setObjectName(QStringLiteral("Voortgang"));
    m_pages->addTab(instellen, QStringLiteral("Instellen"));
    m_pages->addTab(voortgang, QStringLiteral("Voortgang"));
    // The user cannot switch pages: the window does, when publishing starts.
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (!m_switching && index != m_page)
            m_pages->setCurrentIndex(m_page);
    });

    // ---- Instellen ----
    m_columnArea = new QWidget(instellen);
    m_columnArea->setObjectName(QStringLiteral("Columns"));
    new QHBoxLayout(m_columnArea);
    m_columnArea->layout()->setContentsMargins(0, 0, 0, 0);
    m_columnArea->layout()->setSpacing(0);

    auto *panel1 = new QWidget(instellen);
    panel1->setObjectName(QStringLiteral("Panel1"));
    auto *group = new QGroupBox(QStringLiteral("Standaard joblisten"), panel1);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_standaard = new QListWidget(group);
    m_standaard->setObjectName(QStringLiteral("standaard"));
    m_standaard->setFlow(QListView::TopToBottom);
    m_standaard->setWrapping(true);
    m_standaard->setResizeMode(QListView::Adjust);
    m_standaard->setMaximumHeight(110);
    connect(m_standaard, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { Guarded([&] { standaardClick(item); }); });
    m_button4 = new QPushButton(QStringLiteral("..."), group);
    m_button4->setObjectName(QStringLiteral("Button4"));
    m_button4->setFixedWidth(30);
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [&](const char *name, const QString &caption, void (TPublish::*slot)()) {
        QAction *a = m_popup->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, slot] { Guarded([&] { (this->*slot)(); }); });
    };
    item("Opslaan1", QStringLiteral("&Opslaan"), &TPublish::OpslaanClick);
    item("Wijzigen1", QStringLiteral("&Wijzigen"), &TPublish::WijzigenClick);
    item("Verwijderen1", QStringLiteral("&Verwijderen"), &TPublish::VerwijderenClick);
    connect(m_button4, &QPushButton::clicked, this, [this] { m_popup->popup(m_button4->mapToGlobal(QPoint(0, 0))); });
    auto *groupRow = new QHBoxLayout(group);
    groupRow->addWidget(m_standaard, 1);
    groupRow->addWidget(m_button4, 0, Qt::AlignTop);

    auto *previewGroup = new QGroupBox(QStringLiteral("Voorbeeld: wat er verzonden zou worden"), panel1);
    previewGroup->setObjectName(QStringLiteral("GroupBox2"));
    m_previewList = new QListWidget(previewGroup);
    m_previewList->setObjectName(QStringLiteral("voorbeeld"));
    m_previewList->setMaximumHeight(110);
    m_previewList->setToolTip(
        QStringLiteral("Dubbelklik: het bestand, met het verschil met wat het laatst is verzonden"));
    connect(m_previewList, &QListWidget::itemDoubleClicked, this, [this] { Guarded([&] { voorbeeldDblClick(); }); });
    (new QHBoxLayout(previewGroup))->addWidget(m_previewList);

    auto *button5 = new QPushButton(QStringLiteral("Voorbeeld"), panel1);
    button5->setObjectName(QStringLiteral("Button5"));
    connect(button5, &QPushButton::clicked, this, [this] { Guarded([&] { Button5Click(); }); });
    auto *button2 = new QPushButton(QStringLiteral("Doe dat"), panel1);
    button2->setObjectName(QStringLiteral("Button2"));
    connect(button2, &QPushButton::clicked, this, [this] { Guarded([&] { Button2Click(); }); });
    auto *button1 = new QPushButton(QStringLiteral("Sluiten"), panel1);
    button1->setObjectName(QStringLiteral("Button1"));
    connect(button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
    auto *panelRow = new QHBoxLayout(panel1);
    panelRow->addWidget(group, 2);
    panelRow->addWidget(previewGroup, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(button5);
    buttons->addWidget(button2);
    buttons->addWidget(button1);
    buttons->addStretch(1);
    panelRow->addLayout(buttons);

    auto *instellenLayout = new QVBoxLayout(instellen);
    instellenLayout->addWidget(m_columnArea, 1);
    instellenLayout->addWidget(panel1);

    // ---- Voortgang ----
    m_files = new QListWidget(voortgang);
    m_files->setObjectName(QStringLiteral("ListBox1"));
    m_files->setItemDelegate(new views::LineDelegate(paintPublishFile, 16, m_files));
    m_files->setStyleSheet(QStringLiteral("QListWidget { background: #c0c0c0; }"));
    m_bar1 = new QProgressBar(voortgang);
    m_bar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar3 = new QProgressBar(voortgang);
    m_bar3->setObjectName(QStringLiteral("ProgressBar3"));
    for (QProgressBar *bar : {m_bar1, m_bar3}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
    }
    m_clock = new QLabel(QStringLiteral("00:00:00"), voortgang);
    m_clock->setObjectName(QStringLiteral("Panel13"));
    m_clock->setAlignment(Qt::AlignCenter);
    m_clock->setStyleSheet(QStringLiteral("background: black; color: lime; font-family: Courier; font-size: 14pt; "
                                          "padding: 4px"));
    m_animation = new QLabel(voortgang);
    m_animation->setObjectName(QStringLiteral("Animate1"));
    m_animation->setFixedSize(50, 50);
    m_animation->setStyleSheet(QStringLiteral("background: black"));
    m_animation->setProperty("animation", QStringLiteral("ANIBEZIG"));
    m_animation->setProperty("playing", false);
    m_animation->setPixmap(animationFrame(false, 0));
    m_log = new QListWidget(voortgang);
    m_log->setObjectName(QStringLiteral("logview1"));
    m_log->setItemDelegate(new views::LineDelegate(paintPublishLog, 0, m_log));
    m_button3 = new QPushButton(QStringLiteral("Sluiten"), voortgang);
    m_button3->setObjectName(QStringLiteral("Button3"));
    connect(m_button3, &QPushButton::clicked, this, [this] { close(); });

    auto *legend = new QVBoxLayout;
    const QList<QPair<QString, QString>> states = {
        {QStringLiteral("nog niet gedaan"), QStringLiteral("color: gray")},
        {QStringLiteral("script wordt gemaakt"), QStringLiteral("color: white; background: #c0c0c0")},
        {QStringLiteral("script is gemaakt"), QStringLiteral("color: black")},
        {QStringLiteral("bezig met verzenden"), QStringLiteral("color: white; background: #c0c0c0; font-weight: bold")},
        {QStringLiteral("zwart = verzonden"), QStringLiteral("color: black; font-weight: bold")},
        {QStringLiteral("rood = mislukt"), QStringLiteral("color: red; font-weight: bold")}};
    for (int i = 0; i < states.size(); ++i) {
        auto *l = new QLabel(states[i].first, voortgang);
        l->setObjectName(QStringLiteral("Legend%1").arg(i));
        l->setStyleSheet(states[i].second);
        legend->addWidget(l);
    }
    legend->addStretch(1);
    auto *bars = new QGridLayout;
    bars->addWidget(new QLabel(QStringLiteral("Maken van scripts"), voortgang), 0, 0);
    bars->addWidget(m_bar1, 0, 1);
    bars->addWidget(new QLabel(QStringLiteral("Verzenden"), voortgang), 1, 0);
    bars->addWidget(m_bar3, 1, 1);
    auto *top = new QHBoxLayout;
    top->addWidget(m_files, 2);
    top->addLayout(legend);
    auto *status = new QHBoxLayout;
    status->addLayout(bars, 1);
    status->addWidget(m_clock);
    status->addWidget(m_animation);
    auto *voortgangLayout = new QVBoxLayout(voortgang);
    voortgangLayout->addLayout(top, 2);
    voortgangLayout->addLayout(status);
    voortgangLayout->addWidget(m_log, 1);
    voortgangLayout->addWidget(m_button3, 0, Qt::AlignRight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_pages);

    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("Timer1"));
    m_clockTimer->setInterval(500);
    connect(m_clockTimer, &QTimer::timeout, this,
            [this] { m_clock->setText(ElapsedText(m_progress.started, core::Now())); });
    m_animationTimer = new QTimer(this);
    m_animationTimer->setInterval(100);  // 10 frames per second
    connect(m_animationTimer, &QTimer::timeout, this, [this] {
        const bool done = m_animation->property("animation").toString() == QLatin1String("ANIKLAAR");
        m_frame = (m_frame + 1) % (done ? 20 : 50);
        m_animation->setPixmap(animationFrame(done, m_frame));
    });
}

// Building the window: the page "Instellen", Button4 for administrators, the
// programme columns with their rubrics, the job lists, the busy animation
// loaded but not playing.
void TPublish::FormCreate()
{
    showPage(0);
    m_button4->setEnabled(core::state().administrator);
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        resize(area.width() - 100, area.height() - 100);
        move(area.center() - rect().center());
    }
    buildColumns();
    LoadJobLists();
}

void TPublish::buildColumns()
{
    const auto programmes = core::Query(PublishProgrammesSql(core::state().currentTeamId));
    for (int r = 0; r < programmes->RowCount(); ++r) {
        auto *panel = new QFrame(m_columnArea);
        panel->setObjectName(QStringLiteral("prog_%1").arg(r));
        panel->setFrameShape(QFrame::Box);
        panel->setLineWidth(1);
        auto *header = new QLabel(programmes->Row(r).value(1), panel);
        header->setObjectName(QStringLiteral("header_%1").arg(r));
        header->setFixedHeight(20);
        header->setAlignment(Qt::AlignCenter);
        header->setStyleSheet(QStringLiteral("background: #EF8C29; color: black; font-weight: bold"));
        auto *list = new QListWidget(panel);
        list->setObjectName(QStringLiteral("list_%1").arg(r));
        connect(list, &QListWidget::itemClicked, this,
                [this, list](QListWidgetItem *item) { Guarded([&] { ListClick(list, item); }); });
        const auto rubrics = core::Query(PublishRubricsSql(programmes->Row(r).value(0).toInt()));
        for (int i = 0; i < rubrics->RowCount(); ++i)
            checkItem(list, rubrics->Row(i).value(0) + QLatin1Char(' ') + rubrics->Row(i).value(1));
        auto *col = new QVBoxLayout(panel);
        col->setContentsMargins(1, 1, 1, 1);
        col->setSpacing(0);
        col->addWidget(header);
        col->addWidget(list, 1);
        // Equal stretch: the columns share the page's width, also after a resize.
        static_cast<QHBoxLayout *>(m_columnArea->layout())->addWidget(panel, 1);
        m_columns << list;
    }
}

void TPublish::LoadJobLists()
{
    const int index = m_standaard->currentRow();
    QList<int> checked;
    for (int i = 0; i < m_standaard->count(); ++i)
        if (m_standaard->item(i)->checkState() == Qt::Checked)
            checked << itemId(m_standaard->item(i));
    m_standaard->clear();
    const auto lists = core::Query(JobListsSql(core::state().currentTeamId));
    for (int r = 0; r < lists->RowCount(); ++r) {
        QListWidgetItem *item =
            checkItem(m_standaard, lists->Row(r).value(0) + QLatin1Char(' ') + lists->Row(r).value(1));
        if (checked.contains(itemId(item)))
            item->setCheckState(Qt::Checked);
    }
    if (m_standaard->count() > 0)
        m_standaard->setCurrentRow(qBound(0, index, m_standaard->count() - 1));
}

void TPublish::setChecked(int rubric, bool checked)
{
    for (QListWidget *list : m_columns)
        for (int i = 0; i < list->count(); ++i)
            if (itemId(list->item(i)) == rubric)
                list->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TPublish::ListClick(QListWidget *, QListWidgetItem *item)
{
    if (!item)
        return;
    setChecked(itemId(item), item->checkState() != Qt::Checked);
    m_standaard->setCurrentRow(-1);
    m_standaard->clearSelection();
}

void TPublish::standaardClick(QListWidgetItem *item)
{
    if (!item)
        return;
    const bool checked = item->checkState() != Qt::Checked;
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    const auto rs = core::Query(JobListRubricsSql(itemId(item)));
    if (rs->RowCount() == 0)
        return;
    for (int id : SelectionIds(rs->Row(0).value(0)))
        setChecked(id, checked);
}

QString TPublish::Selection() const
{
    QList<QList<QPair<int, bool>>> columns;
    for (const QListWidget *list : m_columns) {
        QList<QPair<int, bool>> column;
        for (int i = 0; i < list->count(); ++i)
            column.append({itemId(list->item(i)), list->item(i)->checkState() == Qt::Checked});
        columns << column;
    }
    return CollectSelection(columns);
}

int TPublish::selectedJobList() const
{
    const QListWidgetItem *item = m_standaard->currentItem();
    return item && m_standaard->currentRow() >= 0 ? itemId(item) : -1;
}

// The first job list in name order is the station's standard selection: it
// can be neither changed nor deleted here.
int TPublish::changeableJobList() const
{
    return m_standaard->currentRow() > 0 ? selectedJobList() : -1;
}

void TPublish::OpslaanClick()
{
    QString name;
    if (!platform::dialogs().inputQuery(QStringLiteral("Opslaan joblist"), QStringLiteral("Naam van de joblist"), name))
        return;
    core::Execute(InsertJobListSql(name, Selection(), core::state().currentTeamId));
    LoadJobLists();
}

void TPublish::WijzigenClick()
{
    const int id = changeableJobList();
    if (id < 0)
        return;
    QString name = nameOf(m_standaard->currentItem()->data(kEntryRole).toString());
    if (!platform::dialogs().inputQuery(QStringLiteral("Joblist wijzigen"), QStringLiteral("Naam van de joblist"),
                                        name))
        return;
    core::Execute(UpdateJobListSql(name, Selection(), id));
    LoadJobLists();
}

void TPublish::VerwijderenClick()
{
    const int id = changeableJobList();
    if (id < 0)
        return;
    if (platform::dialogs().messageBox(platform::BoxType::Confirmation, QStringLiteral("Joblist verwijderen?"),
                                       platform::BoxButtons::OkCancel) != platform::ModalResult::Ok)
        return;
    core::Execute(DeleteJobListSql(id));
    LoadJobLists();
}

void TPublish::showPage(int index)
{
    m_switching = true;
    m_page = index;
    m_pages->setCurrentIndex(index);
    m_switching = false;
}

// "Doe dat": to "Voortgang", the selection to the server, the busy
// animation. Progress lines may arrive while the command is answered.
void TPublish::Button2Click()
{
    showPage(1);
    const QString selection = Selection();
    StartRun(m_progress);
    showProgress();
    if (!core::SendCommand(PublishCommand(selection)))
        RunRefused(m_progress);
    showProgress();
}

// "Voorbeeld": the same selection as a dry run; the server answers with the
// files it would send, each with its difference to what it last sent.
void TPublish::Button5Click()
{
    m_preview.clear();
    m_previewList->clear();
    core::TServerLink *link = core::state().server;
    if (!link)
        return;
    link->setHandler(QStringLiteral("voorbeeld"), [this](const QString &a) { m_preview.apply(a); });
    const bool ok = core::SendCommand(PreviewCommand(Selection()));
    link->setHandler(QStringLiteral("voorbeeld"), {});
    for (const PreviewFile &f : m_preview.files()) {
        auto *item = new QListWidgetItem(nameOf(PreviewEntry(f)), m_previewList);
        item->setData(kEntryRole, PreviewEntry(f));
        if (!f.error.isEmpty())
            item->setForeground(Qt::red);
    }
    if (!ok && m_preview.files().isEmpty())
        platform::showWarning(QStringLiteral("De server kan nu geen voorbeeld maken."));
    else if (m_preview.files().isEmpty())
        new QListWidgetItem(QStringLiteral("(geen doelbestanden voor deze rubrieken)"), m_previewList);
}

void TPublish::voorbeeldDblClick()
{
    const QListWidgetItem *item = m_previewList->currentItem();
    if (!item)
        return;
    const int id = itemId(item);
    for (const PreviewFile &f : m_preview.files())
        if (f.id == id)
            core::registry().open(core::ViewTextRequest{QStringLiteral("Voorbeeld: ") + f.name, PreviewMarkup(f)});
}

void TPublish::Button1Click()
{
    m_progress.finished = true;
    close();
}

void TPublish::HandleProgress(const QString &argument)
{
    ApplyProgress(m_progress, argument, core::Now());
    showProgress();
}

void TPublish::showProgress()
{
    const TPublishProgress &p = m_progress;
    while (m_files->count() > p.files.size())
        delete m_files->takeItem(m_files->count() - 1);
    for (int i = 0; i < p.files.size(); ++i) {
        if (i < m_files->count())
            m_files->item(i)->setText(p.files[i]);
        else
            m_files->addItem(p.files[i]);
    }
    m_bar1->setRange(0, qMax(0, p.bar1Max));
    m_bar1->setValue(qMin(p.bar1, qMax(0, p.bar1Max)));
    m_bar3->setRange(0, qMax(0, p.bar3Max));
    m_bar3->setValue(qMin(p.bar3, qMax(0, p.bar3Max)));
    for (int i = m_log->count(); i < p.log.size(); ++i)
        m_log->addItem(p.log[i]);
    if (m_log->count() > 0)
        m_log->setCurrentRow(m_log->count() - 1);
    if (p.clockRunning && !m_clockTimer->isActive()) {
        m_clock->setText(ElapsedText(p.started, core::Now()));
        m_clockTimer->start();
    } else if (!p.clockRunning && m_clockTimer->isActive()) {
        m_clockTimer->stop();
        m_clock->setText(ElapsedText(p.started, core::Now()));
    }
    const QString animation = p.done ? QStringLiteral("ANIKLAAR") : QStringLiteral("ANIBEZIG");
    const bool playing = p.busy || p.done;
    if (m_animation->property("animation").toString() != animation || m_animation->property("playing") != playing) {
        m_animation->setProperty("animation", animation);
        m_animation->setProperty("playing", playing);
        m_frame = 0;
        m_animation->setPixmap(animationFrame(p.done, 0));
        if (playing)
            m_animationTimer->start();
        else
            m_animationTimer->stop();
    }
    if (p.done)
        m_button3->setText(QStringLiteral("Sluiten"));
}

void TPublish::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
    if (m_progress.finished) {
        // Discarded: no more progress, and the next opening builds anew.
        if (core::TServerLink *link = core::state().server)
            link->setHandler(QStringLiteral("publish"), {});
        s_window = nullptr;
        deleteLater();
    }
}

void OpenPublish()
{
    TPublish *window = TPublish::current();
    if (!window)
        window = new TPublish;
    window->exec();
}

}  // namespace output
