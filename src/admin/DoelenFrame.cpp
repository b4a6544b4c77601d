#include "admin/DoelenFrame.h"

#include "admin/AdminSql.h"
#include "core/Database.h"
#include "core/Guarded.h"
#include "db/Postgres.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

QString ModuleDefinition(const QString &module)
{
    if (module == QLatin1String("Batch"))
        return QStringLiteral("edit:command:Commandline:\"\":");
    return QStringLiteral("edit:host:Hostname:\"\":edit:username:Username:\"\":edit:password:Password:\"\":edit:"
                          "initialdir:Initial dir:\"\":");
}

TDoelenFrame::TDoelenFrame(QWidget *parent)
    : QFrame(parent), doelen(EntryList(QStringLiteral("doelen"), this)), naam(new QLineEdit(this)),
      module(new QComboBox(this)), files(new TEntryComboBox(this)),
      naardoel(EntryList(QStringLiteral("naardoel"), this))
{
    setObjectName(QStringLiteral("TDoelenFrame"));
    naam->setObjectName(QStringLiteral("naam"));
    module->setObjectName(QStringLiteral("module"));
    module->addItems({QStringLiteral("Ftp"), QStringLiteral("Batch")});
    files->setObjectName(QStringLiteral("files"));

    auto *row = new QHBoxLayout(this);
    auto *targets = new QGroupBox(QStringLiteral("Doelen"), this);
    auto *targetsLayout = new QVBoxLayout(targets);
    targetsLayout->addWidget(doelen, 1);
    auto *targetButtons = new QHBoxLayout;
    auto *add = Button(QStringLiteral("Button1"), QStringLiteral("+"), targets);
    auto *remove = Button(QStringLiteral("Button3"), QStringLiteral("-"), targets);
    targetButtons->addWidget(add);
    targetButtons->addWidget(remove);
    targetsLayout->addLayout(targetButtons);
    row->addWidget(targets, 1);

    auto *right = new QVBoxLayout;
    auto *details = new QGroupBox(QStringLiteral("Details"), this);
    auto *form = new QFormLayout(details);
    form->addRow(QStringLiteral("Naam"), naam);
    form->addRow(QStringLiteral("Uploadmodule"), module);
    auto *settings = new QGroupBox(QStringLiteral("Instellingen"), details);
    style = MakeSettingsPanel(settings);
    style.widget->setObjectName(QStringLiteral("style"));
    (new QVBoxLayout(settings))->addWidget(style.widget);
    form->addRow(settings);
    auto *save = Button(QStringLiteral("Button4"), QStringLiteral("Opslaan"), details);
    form->addRow(save);
    right->addWidget(details);

    auto *fileGroup = new QGroupBox(QStringLiteral("Doelbestanden naar dit doel"), this);
    auto *fileLayout = new QVBoxLayout(fileGroup);
    auto *fileRow = new QHBoxLayout;
    auto *addFile = Button(QStringLiteral("Button5"), QStringLiteral("+"), fileGroup);
    auto *removeFile = Button(QStringLiteral("Button2"), QStringLiteral("-"), fileGroup);
    fileRow->addWidget(files, 1);
    fileRow->addWidget(addFile);
    fileRow->addWidget(removeFile);
    fileLayout->addLayout(fileRow);
    fileLayout->addWidget(naardoel, 1);
    right->addWidget(fileGroup, 1);
    row->addLayout(right, 2);

    const auto wire = [this](QPushButton *b, void (TDoelenFrame::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { core::Guarded([&] { (this->*handler)(); }); });
    };
    wire(add, &TDoelenFrame::Button1Click);
    wire(remove, &TDoelenFrame::Button3Click);
    wire(save, &TDoelenFrame::Button4Click);
    wire(addFile, &TDoelenFrame::Button5Click);
    wire(removeFile, &TDoelenFrame::Button2Click);
    connect(module, &QComboBox::activated, this, [this] { core::Guarded([this] { moduleChange(); }); });
    connect(doelen, &QListWidget::itemSelectionChanged, this, [this] { core::Guarded([this] { doelenClick(); }); });

    module->setCurrentIndex(0);
    moduleChange();
    Load();
}

void TDoelenFrame::Load()
{
    SetEntries(doelen, QueryEntries(TargetListSql()));
    SetEntries(files, QueryEntries(TargetFileListSql()));
}

void TDoelenFrame::moduleChange()
{
    style.setTemplate(QString());
    style.setTemplate(ModuleDefinition(module->currentText()));
}

void TDoelenFrame::doelenClick()
{
    const auto id = SelectedId(doelen);
    if (!id)
        return;
    m_targetId = *id;
    const auto rs = core::Query(TargetSql(m_targetId));
    if (rs->RowCount() == 0)
        return;
    const QStringList row = rs->Row(0);
    naam->setText(row.value(1));
    const int index = module->findText(row.value(2));
    if (index >= 0)
        module->setCurrentIndex(index);
    moduleChange();
    style.setValues(row.value(3));
    loadFiles();
}

void TDoelenFrame::loadFiles()
{
    SetEntries(naardoel, m_targetId > 0 ? QueryEntries(TargetFilesOfTargetSql(m_targetId)) : QStringList());
}

bool TDoelenFrame::targetChosen()
{
    if (m_targetId > 0)
        return true;
    platform::showWarning(m_targetId == 0 ? QStringLiteral("Kies eerst een doel, of maak een nieuw doel met \"+\".")
                                          : QStringLiteral("Sla het nieuwe doel eerst op."));
    return false;
}

void TDoelenFrame::Button1Click()
{
    m_targetId = -1;
    {
        const QSignalBlocker quiet(doelen);
        doelen->setCurrentRow(-1);
    }
    moduleChange();
    naam->clear();
    naam->setFocus();
    loadFiles();
}

void TDoelenFrame::Button4Click()
{
    if (m_targetId == 0 && !targetChosen())
        return;
    const QString values = style.values();
    if (m_targetId < 0)
        core::Execute(InsertTargetSql(naam->text(), module->currentText(), values));
    else
        core::Execute(UpdateTargetSql(m_targetId, naam->text(), module->currentText(), values));
    const int shown = m_targetId;
    Load();
    // The target stays shown after an update; after an insert the page stays
    // in new mode.
    if (shown > 0)
        for (int i = 0; i < doelen->count(); ++i)
            if (EntryId(doelen->item(i)->text()) == shown) {
                const QSignalBlocker quiet(doelen);
                doelen->setCurrentRow(i);
            }
}

void TDoelenFrame::Button3Click()
{
    if (!targetChosen())
        return;
    if (!platform::confirm(QStringLiteral("Doel verwijderen?\nalle gerelateerde export instellingen worden tevens "
                                          "verwijderd!\ndoorgaan?")))
        return;
    core::TTransaction transaction;
    for (const QString &sql : DeleteTargetSql(m_targetId))
        transaction.Execute(sql);
    transaction.Commit();
    Load();
    Button1Click();
}

void TDoelenFrame::Button5Click()
{
    const auto file = SelectedId(files);
    if (!file || !targetChosen())
        return;
    core::Execute(SendFileToTargetSql(*file, m_targetId));
    loadFiles();
}

void TDoelenFrame::Button2Click()
{
    const auto file = SelectedId(files);
    if (!file || !targetChosen())
        return;
    core::Execute(StopFileToTargetSql(*file, m_targetId));
    loadFiles();
}

}  // namespace admin
