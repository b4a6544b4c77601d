#include "admin/RedactiesFrame.h"

#include "admin/AdminSql.h"
#include "admin/AdminWidgets.h"
#include "core/Database.h"
#include "core/Guarded.h"
#include "platform/Dialogs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

namespace {

QGroupBox *listGroup(const QString &title, QListWidget *list, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(group);
    list->setParent(group);
    layout->addWidget(list);
    return group;
}

}  // namespace

TRedactiesFrame::TRedactiesFrame(QWidget *parent)
    : QFrame(parent), ListBox1(EntryList(QStringLiteral("ListBox1"), this)),
      prog(EntryList(QStringLiteral("prog"), this)), toe(EntryList(QStringLiteral("toe"), this)),
      pubtoe(EntryList(QStringLiteral("pubtoe"), this))
{
    setObjectName(QStringLiteral("TRedactiesFrame"));
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Redacties"), this);
    outer->addWidget(group);
    auto *grid = new QGridLayout(group);

    auto *teamButtons = new QHBoxLayout;
    QPushButton *buttons[7];
    const char *texts[] = {"Nieuw", "Verwijderen", "Wijzigen", "Toekennen", "Eruit", "Toekennen", "Eruit"};
    for (int i = 0; i < 7; ++i)
        buttons[i] = Button(QStringLiteral("Button%1").arg(i + 1), QString::fromLatin1(texts[i]), group);
    for (int i : {0, 2, 1})
        teamButtons->addWidget(buttons[i]);
    auto *left = new QVBoxLayout;
    left->addWidget(ListBox1, 1);
    left->addLayout(teamButtons);
    grid->addLayout(left, 0, 0, 2, 1);
    grid->addWidget(listGroup(QStringLiteral("Alle programma's"), prog, group), 0, 1, 2, 1);

    auto *toeGroup = listGroup(QStringLiteral("Toegekende programma's"), toe, group);
    auto *toeButtons = new QHBoxLayout;
    toeButtons->addWidget(buttons[3]);
    toeButtons->addWidget(buttons[4]);
    static_cast<QVBoxLayout *>(toeGroup->layout())->addLayout(toeButtons);
    auto *pubGroup = listGroup(QStringLiteral("Bij publiceren"), pubtoe, group);
    auto *pubButtons = new QHBoxLayout;
    pubButtons->addWidget(buttons[5]);
    pubButtons->addWidget(buttons[6]);
    static_cast<QVBoxLayout *>(pubGroup->layout())->addLayout(pubButtons);
    grid->addWidget(toeGroup, 0, 2);
    grid->addWidget(pubGroup, 1, 2);

    void (TRedactiesFrame::*handlers[])() = {&TRedactiesFrame::Button1Click, &TRedactiesFrame::Button2Click,
                                             &TRedactiesFrame::Button3Click, &TRedactiesFrame::Button4Click,
                                             &TRedactiesFrame::Button5Click, &TRedactiesFrame::Button6Click,
                                             &TRedactiesFrame::Button7Click};
    for (int i = 0; i < 7; ++i) {
        const auto handler = handlers[i];
        connect(buttons[i], &QPushButton::clicked, this,
                [this, handler] { core::Guarded([&] { (this->*handler)(); }); });
    }
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { core::Guarded([this] { ListBox1Click(); }); });
    Load();
}

void TRedactiesFrame::Load()
{
    const int index = std::max(0, ListBox1->currentRow());
    SetEntries(ListBox1, QueryEntries(TeamListSql()));
    SelectRow(ListBox1, index);
    ListBox1Click();
}

void TRedactiesFrame::ListBox1Click()
{
    const auto team = SelectedId(ListBox1);
    m_teamId = team.value_or(-1);
    SetEntries(prog, QueryEntries(ProgrammeListSql()));
    SetEntries(toe, team ? QueryEntries(TeamProgrammesSql(*team)) : QStringList());
    SetEntries(pubtoe, team ? QueryEntries(TeamPublishProgrammesSql(*team)) : QStringList());
}

void TRedactiesFrame::run(const QString &sql)
{
    core::Execute(sql);
    Load();
}

void TRedactiesFrame::Button1Click()
{
    QString name;
    if (platform::dialogs().inputQuery(QStringLiteral("Redactie toevoegen"), QStringLiteral("Naam van de redactie"),
                                       name))
        run(InsertTeamSql(name));
}

void TRedactiesFrame::Button2Click()
{
    const auto team = SelectedId(ListBox1);
    if (!team)
        return;
    if (platform::dialogs().messageBox(platform::BoxType::Confirmation, QStringLiteral("Redactie verwijderen?"),
                                       platform::BoxButtons::OkCancel) != platform::ModalResult::Ok)
        return;
    if (!platform::confirm(QStringLiteral("Weet u dit heel zeker?\nDe volledige agenda zal ook verwijderd worden!")))
        return;
    core::TTransaction transaction;
    for (const QString &sql : DeleteTeamSql(*team))
        transaction.Execute(sql);
    transaction.Commit();
    Load();
}

void TRedactiesFrame::Button3Click()
{
    const auto team = SelectedId(ListBox1);
    if (!team)
        return;
    QString name = EntryName(ListBox1->currentItem()->text());
    if (platform::dialogs().inputQuery(QStringLiteral("Redactie wijzigen"), QStringLiteral("Naam van de redactie"),
                                       name))
        core::Execute(RenameTeamSql(*team, name));
    Load();
}

void TRedactiesFrame::Button4Click()
{
    const auto programme = SelectedId(prog);
    if (programme && m_teamId >= 0)
        run(AssignProgrammeSql(m_teamId, *programme));
}

void TRedactiesFrame::Button5Click()
{
    const auto programme = SelectedId(toe);
    if (programme && m_teamId >= 0)
        run(RemoveProgrammeSql(m_teamId, *programme));
}

void TRedactiesFrame::Button6Click()
{
    const auto programme = SelectedId(prog);
    if (programme && m_teamId >= 0)
        run(AssignPublishSql(m_teamId, *programme));
}

void TRedactiesFrame::Button7Click()
{
    const auto programme = SelectedId(pubtoe);
    if (programme && m_teamId >= 0)
        run(RemovePublishSql(m_teamId, *programme));
}

}  // namespace admin
