#include "admin/ExportFrame.h"

#include "admin/AdminSql.h"
#include "core/Database.h"
#include "core/Guarded.h"
#include "db/Postgres.h"
#include "platform/Dialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace admin {

namespace {

// Selects the entry of box whose id is id; no match keeps the selection.
void selectId(QComboBox *box, const QString &id)
{
    for (int i = 0; i < box->count(); ++i)
        if (QString::number(EntryId(box->itemText(i))) == id) {
            box->setCurrentIndex(i);
            return;
        }
}

void selectFirstIfNone(QComboBox *box)
{
    if (box->currentIndex() < 0 && box->count() > 0)
        box->setCurrentIndex(0);
}

// Refills box, keeping the entry with the same id selected where it still is
// (by id: a renamed entry stays chosen).
void refill(QComboBox *box, const QStringList &entries)
{
    const std::optional<int> current = SelectedId(box);
    SetEntries(box, entries);
    const QSignalBlocker quiet(box);
    int at = -1;
    for (int i = 0; current && i < entries.size() && at < 0; ++i)
        if (EntryId(entries[i]) == *current)
            at = i;
    box->setCurrentIndex(at);
}

}  // namespace

QString ExportStartDefinition()
{
    return QStringLiteral("edit:naam:Scripttitel:\"\":edit:opener:Opener script:\"\"");
}

TExportFrame::TExportFrame(QWidget *parent)
    : QFrame(parent), temp(EntryList(QStringLiteral("temp"), this)), files(EntryList(QStringLiteral("files"), this)),
      filename(new QLineEdit(this)), localfilename(new QLineEdit(this)), remotefilename(new QLineEdit(this)),
      m_template(new TEntryComboBox(this)), rub(new TEntryComboBox(this)),
      meenemen(EntryList(QStringLiteral("meenemen"), this)),
      nietmeenemen(EntryList(QStringLiteral("nietmeenemen"), this))
{
    setObjectName(QStringLiteral("TExportFrame"));
    filename->setObjectName(QStringLiteral("filename"));
    localfilename->setObjectName(QStringLiteral("localfilename"));
    remotefilename->setObjectName(QStringLiteral("remotefilename"));
    // Shown greyed: the remote name is kept as stored, never typed here.
    remotefilename->setEnabled(false);
    m_template->setObjectName(QStringLiteral("template"));
    // The groups share the width by their stretch, not by the lists' wishes.
    for (QListWidget *list : {temp, files, meenemen, nietmeenemen}) {
        list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
        list->setMinimumWidth(100);
    }
    rub->setObjectName(QStringLiteral("rub"));
    // The file's fields stay wide enough to read what they hold.
    for (QWidget *w : std::initializer_list<QWidget *>{filename, localfilename, remotefilename, m_template, rub})
        w->setMinimumWidth(150);

    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Export instellingen"), this);
    outer->addWidget(group);
    auto *row = new QHBoxLayout(group);

    auto *templates = new QGroupBox(QStringLiteral("Export templates"), group);
    auto *tLayout = new QVBoxLayout(templates);
    tLayout->addWidget(temp, 1);
    auto *tButtons = new QHBoxLayout;
    auto *tAdd = Button(QStringLiteral("Button1"), QStringLiteral("+"), templates);
    auto *tEdit = Button(QStringLiteral("Button2"), QStringLiteral("..."), templates);
    auto *tRemove = Button(QStringLiteral("Button3"), QStringLiteral("-"), templates);
    // One-sign buttons need no button's usual width; the lists need it more.
    const auto compact = [](QPushButton *b) {
        b->setMinimumWidth(40);
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    };
    for (QPushButton *b : {tAdd, tEdit, tRemove}) {
        compact(b);
        tButtons->addWidget(b);
    }
    tLayout->addLayout(tButtons);
    row->addWidget(templates, 1);

    auto *fileGroup = new QGroupBox(QStringLiteral("Doelbestanden"), group);
    auto *fLayout = new QHBoxLayout(fileGroup);
    auto *fList = new QVBoxLayout;
    fList->addWidget(files, 1);
    auto *fButtons = new QHBoxLayout;
    auto *fAdd = Button(QStringLiteral("Button4"), QStringLiteral("+"), fileGroup);
    auto *fRemove = Button(QStringLiteral("Button6"), QStringLiteral("-"), fileGroup);
    for (QPushButton *b : {fAdd, fRemove}) {
        compact(b);
        fButtons->addWidget(b);
    }
    fList->addLayout(fButtons);
    fLayout->addLayout(fList, 1);
    auto *details = new QVBoxLayout;
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Naam"), filename);
    form->addRow(QStringLiteral("Local filename"), localfilename);
    form->addRow(QStringLiteral("Remote filename"), remotefilename);
    form->addRow(QStringLiteral("Export template"), m_template);
    form->addRow(QStringLiteral("Rubriek"), rub);
    details->addLayout(form);
    auto *scroll = new QScrollArea(fileGroup);
    scroll->setWidgetResizable(true);
    style = MakeSettingsPanel(scroll);
    style.widget->setObjectName(QStringLiteral("style"));
    scroll->setWidget(style.widget);
    details->addWidget(scroll, 1);
    auto *save = Button(QStringLiteral("Button7"), QStringLiteral("Opslaan"), fileGroup);
    details->addWidget(save);
    fLayout->addLayout(details, 2);
    row->addWidget(fileGroup, 4);

    auto *along = new QGroupBox(QStringLiteral("Altijd mee exporteren"), group);
    auto *aLayout = new QHBoxLayout(along);
    aLayout->addWidget(meenemen, 1);
    auto *aButtons = new QVBoxLayout;
    auto *take = Button(QStringLiteral("Button5"), QStringLiteral("<"), along);
    auto *leave = Button(QStringLiteral("Button8"), QStringLiteral(">"), along);
    aButtons->addStretch(1);
    aButtons->addWidget(take);
    aButtons->addWidget(leave);
    aButtons->addStretch(1);
    aLayout->addLayout(aButtons);
    aLayout->addWidget(nietmeenemen, 1);
    for (QPushButton *b : {take, leave})
        b->setFixedWidth(32);
    // File names are compared here side by side: room for a whole name each.
    for (QListWidget *list : {meenemen, nietmeenemen})
        list->setMinimumWidth(150);
    row->addWidget(along, 3);

    const auto wire = [this](QPushButton *b, void (TExportFrame::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { core::Guarded([&] { (this->*handler)(); }); });
    };
    wire(tAdd, &TExportFrame::Button1Click);
    wire(tEdit, &TExportFrame::Button2Click);
    wire(tRemove, &TExportFrame::Button3Click);
    wire(fAdd, &TExportFrame::Button4Click);
    wire(save, &TExportFrame::Button7Click);
    wire(take, &TExportFrame::Button5Click);
    wire(leave, &TExportFrame::Button8Click);
    connect(files, &QListWidget::itemSelectionChanged, this, [this] { core::Guarded([this] { filesClick(); }); });
    connect(m_template, &QComboBox::activated, this, [this] { core::Guarded([this] { templateChange(); }); });

    style.setTemplate(ExportStartDefinition());
    Load();
    selectFirstIfNone(m_template);
    selectFirstIfNone(rub);
    loadAlong();
}

void TExportFrame::Load()
{
    const QStringList templateEntries = QueryEntries(ExportTemplateListSql());
    SetEntries(temp, templateEntries);
    refill(m_template, templateEntries);
    const int fileRow = files->currentRow();
    SetEntries(files, QueryEntries(TargetFileListSql()));
    SelectRow(files, m_fileId >= 0 ? fileRow : -1);
    refill(rub, QueryEntries(WorkingRubricsSql()));
}

void TExportFrame::filesClick()
{
    const auto id = SelectedId(files);
    if (!id)
        return;
    m_fileId = *id;
    const auto rs = core::Query(TargetFileSql(m_fileId));
    if (rs->RowCount() == 0)
        return;
    const QStringList row = rs->Row(0);
    filename->setText(row.value(1));
    localfilename->setText(row.value(2));
    remotefilename->setText(row.value(3));
    selectId(m_template, row.value(4));
    selectId(rub, row.value(5));
    templateChange();
    style.setValues(row.value(6));
    loadAlong();
}

void TExportFrame::templateChange()
{
    const auto id = SelectedId(m_template);
    if (!id)
        return;
    const auto rs = core::Query(ExportTemplateSettingsSql(*id));
    if (rs->RowCount() > 0)
        style.setTemplate(rs->Row(0).value(0));
}

void TExportFrame::loadAlong()
{
    SetEntries(meenemen, QueryEntries(AlongFilesSql(m_fileId)));
    SetEntries(nietmeenemen, QueryEntries(NotAlongFilesSql(m_fileId)));
}

void TExportFrame::Button1Click()
{
    QString naam, settings;
    if (!platform::dialogs().inputQuery(QStringLiteral("Export invoegen"),
                                        QStringLiteral("Naam van de exporttemplate (met extensie)"), naam) ||
        !platform::dialogs().inputQuery(QStringLiteral("Export invoegen"),
                                        QStringLiteral("Instellingen voor parameters"), settings))
        return;
    core::Execute(InsertExportTemplateSql(naam, settings));
    Load();
}

void TExportFrame::Button2Click()
{
    const auto id = SelectedId(temp);
    if (!id)
        return;
    const auto rs = core::Query(ExportTemplateSettingsSql(*id));
    if (rs->RowCount() == 0)
        return;
    QString naam = EntryName(temp->currentItem()->text()), settings = rs->Row(0).value(0);
    if (!platform::dialogs().inputQuery(QStringLiteral("Export template wijzigen"),
                                        QStringLiteral("Naam van de exporttemplate (met extensie)"), naam) ||
        !platform::dialogs().inputQuery(QStringLiteral("Export template wijzigen"),
                                        QStringLiteral("Instellingen voor parameters"), settings))
        return;
    core::Execute(UpdateExportTemplateSql(*id, naam, settings));
    Load();
}

void TExportFrame::Button3Click()
{
    const auto id = SelectedId(temp);
    if (!id || !platform::confirm(QStringLiteral("Export template verwijderen?\neventueel gekoppelde doelbestanden "
                                                 "worden NIET verwijderd, controleer deze handmatig")))
        return;
    core::Execute(DeleteExportTemplateSql(*id));
    Load();
}

void TExportFrame::Button4Click()
{
    m_fileId = -1;
    {
        const QSignalBlocker quiet(files);
        files->setCurrentRow(-1);
    }
    filename->clear();
    localfilename->clear();
    remotefilename->clear();
    if (m_template->count() > 0) {
        const QSignalBlocker quiet(m_template);
        m_template->setCurrentIndex(0);
    }
    loadAlong();
    filename->setFocus();
}

void TExportFrame::Button7Click()
{
    const auto templateId = SelectedId(m_template);
    const auto rubricId = SelectedId(rub);
    if (!templateId || !rubricId) {
        platform::showWarning(QStringLiteral("Een doelbestand hoort bij een exporttemplate en een rubriek; maak die "
                                             "eerst aan. Er is niets opgeslagen."));
        return;
    }
    const QString values = style.values();
    if (m_fileId < 0)
        core::Execute(InsertTargetFileSql(filename->text(), localfilename->text(), remotefilename->text(), values,
                                          *templateId, *rubricId));
    else
        core::Execute(UpdateTargetFileSql(m_fileId, filename->text(), localfilename->text(), remotefilename->text(),
                                          values, *templateId, *rubricId));
    Load();
    Button4Click();
}

bool TExportFrame::fileStored()
{
    if (m_fileId >= 0)
        return true;
    platform::showWarning(QStringLiteral("Sla het doelbestand eerst op."));
    return false;
}

void TExportFrame::Button5Click()
{
    const auto also = SelectedId(nietmeenemen);
    if (!also || !fileStored())
        return;
    core::Execute(TakeAlongSql(m_fileId, *also));
    loadAlong();
}

void TExportFrame::Button8Click()
{
    const auto also = SelectedId(meenemen);
    if (!also || !fileStored())
        return;
    core::Execute(LeaveBehindSql(m_fileId, *also));
    loadAlong();
}

}  // namespace admin
