#include "admin/ProgrammaFrame.h"

#include "admin/AdminSql.h"
#include "admin/AdminWidgets.h"
#include "core/Database.h"
#include "core/Guarded.h"
#include "db/Postgres.h"
#include "platform/Dialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

TProgrammaFrame::TProgrammaFrame(QWidget *parent)
    : QFrame(parent), prog(EntryList(QStringLiteral("prog"), this)), rub(EntryList(QStringLiteral("rub"), this)),
      kop(EntryList(QStringLiteral("kop"), this))
{
    setObjectName(QStringLiteral("TProgrammaFrame"));
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Programmas"), this);
    outer->addWidget(group);
    auto *row = new QHBoxLayout(group);

    const char *texts[] = {"+", "...", "-", "+", "...", "-", "<", ">"};
    QPushButton *buttons[8];
    for (int i = 0; i < 8; ++i)
        buttons[i] = Button(QStringLiteral("Button%1").arg(i + 1), QString::fromLatin1(texts[i]), group);
    const auto listGroup = [group](const QString &title, QListWidget *list, QPushButton *const *groupButtons, int n) {
        auto *box = new QGroupBox(title, group);
        auto *layout = new QVBoxLayout(box);
        list->setParent(box);
        layout->addWidget(list, 1);
        auto *line = new QHBoxLayout;
        for (int i = 0; i < n; ++i)
            line->addWidget(groupButtons[i]);
        layout->addLayout(line);
        return box;
    };
    row->addWidget(listGroup(QStringLiteral("Programma's"), prog, buttons, 3));
    row->addWidget(listGroup(QStringLiteral("Koppelingen"), kop, nullptr, 0));
    auto *arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(buttons[6]);
    arrows->addWidget(buttons[7]);
    arrows->addStretch(1);
    row->addLayout(arrows);
    row->addWidget(listGroup(QStringLiteral("Rubrieken"), rub, buttons + 3, 3));

    void (TProgrammaFrame::*handlers[])() = {&TProgrammaFrame::Button1Click, &TProgrammaFrame::Button2Click,
                                             &TProgrammaFrame::Button3Click, &TProgrammaFrame::Button4Click,
                                             &TProgrammaFrame::Button5Click, &TProgrammaFrame::Button6Click,
                                             &TProgrammaFrame::Button7Click, &TProgrammaFrame::Button8Click};
    for (int i = 0; i < 8; ++i) {
        const auto handler = handlers[i];
        connect(buttons[i], &QPushButton::clicked, this,
                [this, handler] { core::Guarded([&] { (this->*handler)(); }); });
    }
    connect(prog, &QListWidget::itemSelectionChanged, this, [this] { core::Guarded([this] { progClick(); }); });
}

// Refills list, keeping the selected position (lowered to the last entry);
// no selection stays no selection.
void TProgrammaFrame::keep(QListWidget *list, const QStringList &entries)
{
    const int index = list->currentItem() && list->currentItem()->isSelected() ? list->currentRow() : -1;
    SetEntries(list, entries);
    SelectRow(list, index);
}

void TProgrammaFrame::Load()
{
    keep(prog, QueryEntries(ProgrammeListSql()));
    keep(rub, QueryEntries(WorkingRubricsSql()));
    progClick();
}

void TProgrammaFrame::progClick()
{
    const auto programme = SelectedId(prog);
    if (!programme)
        return;
    m_programmeId = *programme;
    SetEntries(kop, QueryEntries(ProgrammeLinksSql(m_programmeId)));
}

void TProgrammaFrame::Button1Click()
{
    QString name;
    if (!platform::dialogs().inputQuery(QStringLiteral("Programma invoegen"), QStringLiteral("Naam van het programma"),
                                        name))
        return;
    core::Execute(InsertProgrammeSql(name));
    Load();
}

void TProgrammaFrame::Button2Click()
{
    const auto programme = SelectedId(prog);
    if (!programme)
        return;
    QString name = EntryName(prog->currentItem()->text());
    if (!platform::dialogs().inputQuery(QStringLiteral("Programma wijzigen"), QStringLiteral("Naam van het programma"),
                                        name))
        return;
    core::Execute(RenameProgrammeSql(*programme, name));
    Load();
}

void TProgrammaFrame::Button3Click()
{
    const auto programme = SelectedId(prog);
    if (!programme || !platform::confirm(QStringLiteral("Programma verwijderen?")))
        return;
    core::Execute(DeleteProgrammeSql(*programme));
    Load();
}

void TProgrammaFrame::Button4Click()
{
    QString name;
    if (!platform::dialogs().inputQuery(QStringLiteral("Rubriek invoegen"), QStringLiteral("Naam van de rubriek"),
                                        name))
        return;
    const auto next = core::Query(NextRubricIdSql());
    if (!next->ok() || next->RowCount() == 0)
        return;
    core::TTransaction transaction;
    for (const QString &sql : InsertRubricSql(next->Row(0).value(0), name))
        transaction.Execute(sql);
    transaction.Commit();
    Load();
}

void TProgrammaFrame::Button5Click()
{
    const auto rubric = SelectedId(rub);
    if (!rubric)
        return;
    QString name = EntryName(rub->currentItem()->text());
    if (!platform::dialogs().inputQuery(QStringLiteral("Rubriek wijzigen"), QStringLiteral("Naam van de rubriek"),
                                        name))
        return;
    core::Execute(RenameRubricSql(*rubric, name));
    Load();
}

void TProgrammaFrame::Button6Click()
{
    const auto rubric = SelectedId(rub);
    if (!rubric)
        return;
    if (!platform::confirm(QStringLiteral("Rubriek verwijderen?")) ||
        !platform::confirm(QStringLiteral("Dit heeft ook invloed op de uitzending!\nPublicatie kan fout gaan, "
                                          "controleer export-scripts!\nDoorgaan?")) ||
        !platform::confirm(QStringLiteral("Weet u het heel zeker?")))
        return;
    for (const QString &sql : DeleteRubricSql(*rubric))
        core::Execute(sql);
    Load();
}

void TProgrammaFrame::Button7Click()
{
    const auto rubric = SelectedId(rub);
    if (!rubric)
        return;
    if (m_programmeId <= 0) {
        platform::showWarning(QStringLiteral("Kies eerst het programma waaraan de rubriek gekoppeld moet worden."));
        return;
    }
    core::Execute(LinkRubricSql(m_programmeId, *rubric));
    Load();
}

void TProgrammaFrame::Button8Click()
{
    const auto rubric = SelectedId(kop);
    if (!rubric)
        return;
    core::Execute(UnlinkRubricSql(m_programmeId, *rubric));
    Load();
}

}  // namespace admin
