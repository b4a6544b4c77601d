#include "admin/InstelDialog.h"

#include "admin/DoelenFrame.h"
#include "admin/ExportFrame.h"
#include "admin/PostgresForm.h"
#include "admin/ProgrammaFrame.h"
#include "admin/RedactiesFrame.h"
#include "admin/ServerFrame.h"
#include "admin/TableEditor.h"
#include "admin/TemplateFrame.h"
#include "admin/UserFrame.h"
#include "core/Global.h"
#include "core/Guarded.h"
#include "core/Helpers.h"
#include "platform/Dialogs.h"
#include "platform/PostgresPasswordDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace admin {

namespace {

struct NodeDef {
    const char *text;
    int code;
};

const NodeDef Nodes[] = {
    {"Doelen", PageDoelen},           {"Export", PageExport},       {"Programma's", PageProgrammas},
    {"Redacteuren", PageRedacteuren}, {"Redacties", PageRedacties}, {"Server", PageServer},
    {"Tabellen", PageTabellen},       {"Taken", PageTaken},         {"Templates", PageTemplates}};

}  // namespace

TInstelDialog::TInstelDialog(QWidget *parent)
    : QDialog(parent), TreeView1(new QTreeWidget(this)), Panel1(new QWidget(this)),
      m_empty(new QLabel(QStringLiteral("geen instellingen paneel gekozen"), Panel1))
{
    setObjectName(QStringLiteral("InstelDialog"));
    setWindowTitle(QStringLiteral("Instellingen hoofdscherm"));
    resize(1200, 680);  // the export page needs the width for its three columns

    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setRootIsDecorated(false);
    for (const NodeDef &def : Nodes) {
        auto *item = new QTreeWidgetItem(TreeView1, {QString::fromUtf8(def.text)});
        item->setData(0, Qt::UserRole, def.code);
    }
    TreeView1->sortItems(0, Qt::AscendingOrder);
    TreeView1->setMinimumWidth(130);  // every page name whole
    TreeView1->setMaximumWidth(180);

    Panel1->setObjectName(QStringLiteral("Panel1"));
    m_empty->setAlignment(Qt::AlignCenter);
    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(m_empty);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(TreeView1);
    layout->addWidget(Panel1, 1);

    m_changeTimer.setSingleShot(true);
    m_changeTimer.setInterval(200);
    connect(&m_changeTimer, &QTimer::timeout, this, &TInstelDialog::ShowSelected);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] {
        if (!m_reselecting)
            m_changeTimer.start();
    });

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QTreeWidgetItem *TInstelDialog::node(int code) const
{
    for (int i = 0; i < TreeView1->topLevelItemCount(); ++i)
        if (TreeView1->topLevelItem(i)->data(0, Qt::UserRole).toInt() == code)
            return TreeView1->topLevelItem(i);
    return nullptr;
}

void TInstelDialog::SelectNode(int code)
{
    TreeView1->setCurrentItem(node(code));
}

void TInstelDialog::ShowSelected()
{
    m_changeTimer.stop();
    QTreeWidgetItem *item = TreeView1->currentItem();
    if (!item)
        return;
    const int code = item->data(0, Qt::UserRole).toInt();
    core::Guarded([this, code] { showPage(code); });
    if (code == PageTabellen) {
        // Back to the node that was selected before, which shows its page
        // again; without one the panel stays empty.
        QTreeWidgetItem *previous = m_previous;
        m_reselecting = true;
        TreeView1->setCurrentItem(previous);
        m_reselecting = false;
        if (previous)
            ShowSelected();
        return;
    }
    m_previous = item;
}

void TInstelDialog::showPage(int code)
{
    delete m_page;
    m_page = nullptr;
    m_pageCode = -1;
    m_empty->setVisible(true);
    QWidget *page = nullptr;
    switch (code) {
    case PageRedacteuren: page = new TUserFrame(Panel1); break;
    case PageProgrammas: page = new TProgrammaFrame(Panel1); break;
    case PageRedacties: page = new TRedactiesFrame(Panel1); break;
    case PageTemplates: page = new TTemplateFrame(Panel1); break;
    case PageServer: page = new TServerFrame(Panel1); break;
    case PageDoelen: page = new TDoelenFrame(Panel1); break;
    case PageExport: page = new TExportFrame(Panel1); break;
    case PageTaken: page = new TTaakFrame(Panel1); break;
    case PageTabellen: openTableEditor(); return;
    default: return;
    }
    m_page = page;
    m_pageCode = code;
    m_empty->setVisible(false);
    Panel1->layout()->addWidget(page);
    page->show();
    // These two load once they are placed.
    if (auto *programmes = qobject_cast<TProgrammaFrame *>(page))
        programmes->Load();
    else if (auto *templates = qobject_cast<TTemplateFrame *>(page))
        templates->LoadTemplates();
}

void TInstelDialog::openTableEditor()
{
    TTableEditor editor(this);
    editor.exec();
}

void OpenSettings()
{
    platform::TPostgresPasswordDialog prompt(QApplication::activeWindow());
    bool open = false;
    if (prompt.exec() == QDialog::Accepted)
        open = core::SendCommand(QStringLiteral("checkpw ") + core::state().userName + QLatin1Char(' ') +
                                 core::PasswordAsStored(prompt.Password));
    if (!open) {
        platform::showError(QStringLiteral("Wachtwoord is fout, geen toegang!"));
        return;
    }
    TInstelDialog dialog(QApplication::activeWindow());
    dialog.exec();
}

void OpenSqlWindow()
{
    TPostgresForm form(QApplication::activeWindow());
    form.exec();
}

void RegisterAdminOpeners(core::TRegistry &registry)
{
    registry.registerOpener<core::SettingsRequest>([](const core::SettingsRequest &) {
        OpenSettings();
        return std::monostate{};
    });
    registry.registerOpener<core::SqlWindowRequest>([](const core::SqlWindowRequest &) {
        OpenSqlWindow();
        return std::monostate{};
    });
}

}  // namespace admin
