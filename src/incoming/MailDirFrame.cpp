#include "incoming/MailDirFrame.h"

#include "core/Dates.h"
#include "core/Helpers.h"
#include "incoming/Mail.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QResizeEvent>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace incoming {

namespace {
constexpr int kPathRole = Qt::UserRole;  // the full path: the third sub-item of the row
constexpr int kStampRole = Qt::UserRole + 1;  // the file time, by which the list is ordered
}  // namespace

QString MailRowCaption(const QDateTime &stamp)
{
    return core::FormatDateTime(QStringLiteral("ddd d mmm yy hh:nn"), stamp);
}

bool MailListed(const QDateTime &t, const QDate &today, bool allMail)
{
    if (allMail)
        return true;
    const QDateTime t0(today, QTime(0, 0));
    return t >= t0.addDays(-1) && t <= t0.addDays(1);
}

// ---- TPreloadThread -------------------------------------------------------

TPreloadThread::TPreloadThread(QString folder, QSet<QString> known, bool allMail, QDate today, quint64 generation,
                               QObject *parent)
    : QThread(parent), m_folder(std::move(folder)), m_known(std::move(known)), m_allMail(allMail), m_today(today),
      m_generation(generation)
{}

void TPreloadThread::run()
{
    QDirIterator it(m_folder, {QStringLiteral("*.cnb")}, QDir::Files);
    while (it.hasNext() && !m_stop) {
        const QString path = it.next();
        if (m_known.contains(path))
            continue;
        const QFileInfo info = it.fileInfo();
        const QDateTime t = info.lastModified();
        if (!MailListed(t, m_today, m_allMail))
            continue;
        TMail mail;
        if (!mail.load(path, true))
            continue;
        emit rowFound({path, t, mail.sender(), mail.header(QStringLiteral("subject")), mail.isRead(), m_generation});
    }
}

// ---- TMailFrame -----------------------------------------------------------

TMailFrame::TMailFrame(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("mail"));
    m_web = new QTextBrowser(this);
    m_web->setObjectName(QStringLiteral("web"));
    m_web->setOpenLinks(false);
    m_web->setOpenExternalLinks(false);
    // Lines break between words only: the header labels' column is 70 pixels
    // wide, and a label that does not fit widens it instead of breaking inside
    // the word ("Onderwer p:").
    m_web->setWordWrapMode(QTextOption::WordWrap);
    m_web->document()->setDefaultStyleSheet(QStringLiteral("td { padding-right: 6px }"));  // label apart from value
    connect(m_web, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) { webBeforeNavigate2(url); });
    m_view = new QListView(this);
    m_view->setObjectName(QStringLiteral("view"));
    auto *model = new QFileSystemModel(m_view);
    QDir().mkpath(AttachmentFolder());
    model->setRootPath(AttachmentFolder());
    m_view->setModel(model);
    m_view->setRootIndex(model->index(AttachmentFolder()));
    m_view->setMaximumHeight(60);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);  // the empty popup menu
    connect(m_view, &QListView::doubleClicked, this,
            [model](const QModelIndex &index) { platform::shellOpen(model->filePath(index)); });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_web, 1);
    layout->addWidget(m_view);
}

TMailFrame::~TMailFrame() = default;

QString TMailFrame::AttachmentFolder()
{
    return QDir(platform::TempDirectory()).filePath(QStringLiteral("marbeltmail"));
}

QString TMailFrame::LinkTarget(const QUrl &url)
{
    const QString address = url.toString();
    if (address.startsWith(QLatin1String("open:"), Qt::CaseInsensitive))
        return core::PercentDecode(address.mid(5));
    return address;
}

void TMailFrame::webBeforeNavigate2(const QUrl &url)
{
    const QString address = url.toString();
    if (address.startsWith(QLatin1String("http:"), Qt::CaseInsensitive) ||
        address.startsWith(QLatin1String("https:"), Qt::CaseInsensitive) ||
        address.startsWith(QLatin1String("open:"), Qt::CaseInsensitive) ||
        address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        platform::shellOpen(LinkTarget(url));
}

void TMailFrame::Clear()
{
    m_mail.reset();
    m_subject.clear();
    m_plain.clear();
    m_read = false;
    m_web->setHtml(QString());
}

void TMailFrame::ShowMessage(const QString &path)
{
    m_mail.reset();  // its attachments go before the next message's arrive
    m_mail = std::make_unique<TMail>(AttachmentFolder());
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        platform::showError(QStringLiteral("Error: ") + f.errorString());
        return;
    }
    m_mail->parse(f.readAll());
    QStringList errors;
    const QString page = m_mail->renderPage(&m_subject, &m_plain, &errors);
    m_read = m_mail->isRead();
    for (const QString &e : errors)
        platform::showError(e);
    const QString temp = QDir(platform::TempDirectory()).filePath(QStringLiteral("temp.htm"));
    QFile out(temp);
    if (out.open(QIODevice::WriteOnly))
        out.write(page.toUtf8());
    out.close();
    m_web->setSearchPaths({AttachmentFolder()});
    m_web->setHtml(page);
}

// ---- TMailDirFrame --------------------------------------------------------

TMailDirFrame::TMailDirFrame(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fax"));
    qRegisterMetaType<incoming::MailRow>();
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setHeaderLabels({QStringLiteral("Datum"), QStringLiteral("Van"), QStringLiteral("Onderwerp")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->resizeSection(0, 120);
    m_list->header()->resizeSection(1, 160);
    m_panel = new QLabel(QStringLiteral("Prikbord, alle email van vandaag en gisteren wordt getoond."), this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setWordWrap(true);  // a narrow panel keeps room for the source column
    m_speed = new QToolButton(this);
    m_speed->setObjectName(QStringLiteral("SpeedButton1"));
    m_speed->setText(QStringLiteral("Lijst"));
    m_mail = new TMailFrame(this);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(750);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] { Timer1Timer(); });

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("lijstmenu"));
    m_twodays = m_menu->addAction(QStringLiteral("Vandaag en gisteren"));
    m_twodays->setObjectName(QStringLiteral("twodays"));
    m_twodays->setCheckable(true);
    m_twodays->setChecked(true);
    m_alldays = m_menu->addAction(QStringLiteral("Alle mail"));
    m_alldays->setObjectName(QStringLiteral("alldays"));
    m_alldays->setCheckable(true);
    m_menu->addSeparator();
    m_mark = m_menu->addAction(QStringLiteral("&Markeer als gelezen"));
    m_mark->setObjectName(QStringLiteral("Markeeralsgelezen1"));
    connect(m_twodays, &QAction::triggered, this, [this] { twodaysClick(); });
    connect(m_alldays, &QAction::triggered, this, [this] { alldaysClick(); });
    connect(m_mark, &QAction::triggered, this, [this] { Markeeralsgelezen1Click(); });
    connect(m_menu, &QMenu::aboutToShow, this, [this] { updateMenu(); });
    connect(m_speed, &QToolButton::clicked, this, [this] { m_menu->popup(m_speed->mapToGlobal(QPoint())); });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { m_timer->start(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { listDblClick(); });

    auto *top = new QHBoxLayout;
    top->addWidget(m_panel, 1);
    top->addWidget(m_speed);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(m_list);
    layout->addWidget(m_mail, 1);
}

TMailDirFrame::~TMailDirFrame()
{
    stopScan();
}

void TMailDirFrame::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_list->setFixedHeight(event->size().height() / 3);
}

void TMailDirFrame::stopScan()
{
    if (!m_scan)
        return;
    m_scan->stop();
    m_scan->wait();
    delete m_scan;
    m_scan = nullptr;
}

bool TMailDirFrame::waitForScan(int ms)
{
    if (m_scan && !m_scan->wait(ms))
        return false;
    QCoreApplication::sendPostedEvents(this);
    QCoreApplication::processEvents();
    return true;
}

void TMailDirFrame::OpenFolder(const QString &path)
{
    m_folder = path;
    m_timer->stop();
    m_mail->Clear();
    stopScan();
    m_list->clear();
    QSet<QString> known;  // the list is empty now; kept for a scan that resumes
    m_scan = new TPreloadThread(path, known, m_alldays->isChecked(), core::Today(), ++m_generation);
    // Queued: the row is added on this (the user-interface) thread.
    connect(
        m_scan, &TPreloadThread::rowFound, this, [this](const MailRow &row) { addRow(row); }, Qt::QueuedConnection);
    m_scan->start();
}

void TMailDirFrame::addRow(const MailRow &row)
{
    if (row.generation != m_generation)
        return;  // found by a scan of what the list showed before
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->data(0, kPathRole).toString() == row.path)
            return;
    auto *item = new QTreeWidgetItem({MailRowCaption(row.stamp), row.sender, row.subject});
    item->setData(0, kPathRole, row.path);
    item->setData(0, kStampRole, row.stamp.toMSecsSinceEpoch());
    if (row.read)
        item->setIcon(0, style()->standardIcon(QStyle::SP_DialogApplyButton));
    int at = 0;
    while (at < m_list->topLevelItemCount() &&
           m_list->topLevelItem(at)->data(0, kStampRole).toLongLong() >= row.stamp.toMSecsSinceEpoch())
        ++at;
    m_list->insertTopLevelItem(at, item);
}

QString TMailDirFrame::chosenPath() const
{
    const QTreeWidgetItem *item = m_list->currentItem();
    return item ? item->data(0, kPathRole).toString() : QString();
}

void TMailDirFrame::Timer1Timer()
{
    m_timer->stop();
    const QString path = chosenPath();
    if (path.isEmpty())
        return;
    core::ShowSearchNotice();
    platform::BusyCursor busy;
    m_mail->ShowMessage(path);
    core::HideSearchNotice();
}

void TMailDirFrame::listDblClick()
{
    if (!chosenPath().isEmpty())
        platform::shellOpen(QDir(platform::TempDirectory()).filePath(QStringLiteral("temp.htm")));
}

void TMailDirFrame::updateMenu()
{
    m_mark->setText(m_mail->shownIsRead() ? QStringLiteral("&Markeer als ongelezen")
                                          : QStringLiteral("&Markeer als gelezen"));
}

void TMailDirFrame::twodaysClick()
{
    m_twodays->setChecked(true);
    m_alldays->setChecked(false);
    m_panel->setText(QStringLiteral("mail van vandaag en gisteren wordt getoond"));
    OpenFolder(m_folder);
}

void TMailDirFrame::alldaysClick()
{
    m_alldays->setChecked(true);
    m_twodays->setChecked(false);
    m_panel->setText(QStringLiteral("alle mail wordt getoond"));
    OpenFolder(m_folder);
}

void TMailDirFrame::Markeeralsgelezen1Click()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    core::ShowSearchNotice();
    m_timer->stop();
    QString error;
    const bool ok = ToggleReadMark(item->data(0, kPathRole).toString(), &error);
    m_timer->start();
    core::HideSearchNotice();
    if (!ok) {
        platform::showError(QStringLiteral("Fout bij schrijven:\r\n") + error);
        return;
    }
    item->setIcon(0, item->icon(0).isNull() ? style()->standardIcon(QStyle::SP_DialogApplyButton) : QIcon());
}

}  // namespace incoming
