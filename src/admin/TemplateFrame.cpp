#include "admin/TemplateFrame.h"

#include "admin/AdminSql.h"
#include "admin/AdminWidgets.h"
#include "core/Database.h"
#include "core/Guarded.h"
#include "db/Postgres.h"
#include "platform/Dialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

namespace {

// Refills box keeping its selected position (0 when none).
void keep(QComboBox *box, const QStringList &entries)
{
    const int index = std::max(0, box->currentIndex());
    SetEntries(box, entries);
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(box->count() > 0 ? std::min(index, box->count() - 1) : -1);
}

bool ask(const QString &caption, const QString &prompt, QString &value)
{
    return platform::dialogs().inputQuery(caption, prompt, value);
}

}  // namespace

TTemplateFrame::TTemplateFrame(QWidget *parent)
    : QFrame(parent), redtmp(EntryList(QStringLiteral("redtmp"), this)),
      templates(EntryList(QStringLiteral("templates"), this)), rubtmp(EntryList(QStringLiteral("rubtmp"), this)),
      redacties(new TEntryComboBox(this)), ouder(new TEntryComboBox(this)), programmas(new TEntryComboBox(this)),
      rubrieken(new TEntryComboBox(this))
{
    setObjectName(QStringLiteral("TTemplateFrame"));
    redacties->setObjectName(QStringLiteral("redacties"));
    ouder->setObjectName(QStringLiteral("ouder"));
    programmas->setObjectName(QStringLiteral("programmas"));
    rubrieken->setObjectName(QStringLiteral("rubrieken"));

    auto *row = new QHBoxLayout(this);
    auto *team = new QGroupBox(QStringLiteral("Redactie"), this);
    auto *teamLayout = new QVBoxLayout(team);
    teamLayout->addWidget(redacties);
    teamLayout->addWidget(redtmp, 1);
    row->addWidget(team, 1);

    const auto arrows = [this, row](QPushButton *a, QPushButton *b) {
        auto *column = new QVBoxLayout;
        column->addStretch(1);
        column->addWidget(a);
        column->addWidget(b);
        column->addStretch(1);
        row->addLayout(column);
    };
    auto *toTeam = Button(QStringLiteral("Button2"), QStringLiteral("<"), this);
    auto *fromTeam = Button(QStringLiteral("Button3"), QStringLiteral(">"), this);
    arrows(toTeam, fromTeam);

    auto *tmpl = new QGroupBox(QStringLiteral("Template"), this);
    auto *tmplLayout = new QVBoxLayout(tmpl);
    tmplLayout->addWidget(templates, 1);
    auto *tmplButtons = new QHBoxLayout;
    auto *add = Button(QStringLiteral("Button9"), QStringLiteral("+"), tmpl);
    auto *edit = Button(QStringLiteral("templateedit"), QStringLiteral("..."), tmpl);
    auto *remove = Button(QStringLiteral("Button11"), QStringLiteral("-"), tmpl);
    auto *copy = Button(QStringLiteral("Button10"), QStringLiteral("++"), tmpl);
    for (QPushButton *b : {add, edit, remove, copy})
        tmplButtons->addWidget(b);
    tmplLayout->addLayout(tmplButtons);
    auto *parentGroup = new QGroupBox(QStringLiteral("Ouder"), tmpl);
    (new QVBoxLayout(parentGroup))->addWidget(ouder);
    tmplLayout->addWidget(parentGroup);
    row->addWidget(tmpl, 1);

    auto *toRubric = Button(QStringLiteral("Button5"), QStringLiteral(">"), this);
    auto *fromRubric = Button(QStringLiteral("Button4"), QStringLiteral("<"), this);
    arrows(toRubric, fromRubric);

    auto *programme = new QGroupBox(QStringLiteral("Programma"), this);
    auto *progLayout = new QVBoxLayout(programme);
    progLayout->addWidget(programmas);
    progLayout->addWidget(new QLabel(QStringLiteral("Rubriek"), programme));
    progLayout->addWidget(rubrieken);
    progLayout->addWidget(rubtmp, 1);
    row->addWidget(programme, 1);

    const auto wire = [this](QPushButton *b, void (TTemplateFrame::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { core::Guarded([&] { (this->*handler)(); }); });
    };
    wire(toTeam, &TTemplateFrame::Button2Click);
    wire(fromTeam, &TTemplateFrame::Button3Click);
    wire(toRubric, &TTemplateFrame::Button5Click);
    wire(fromRubric, &TTemplateFrame::Button4Click);
    wire(add, &TTemplateFrame::Button9Click);
    wire(edit, &TTemplateFrame::templateeditClick);
    wire(remove, &TTemplateFrame::Button11Click);
    wire(copy, &TTemplateFrame::Button10Click);
    connect(templates, &QListWidget::itemSelectionChanged, this,
            [this] { core::Guarded([this] { templatesClick(); }); });
    connect(ouder, &QComboBox::activated, this, [this] { core::Guarded([this] { ouderChange(); }); });
    connect(redacties, &QComboBox::activated, this, [this] { core::Guarded([this] { redactiesChange(); }); });
    connect(programmas, &QComboBox::activated, this, [this] { core::Guarded([this] { programmasChange(); }); });
    connect(rubrieken, &QComboBox::activated, this, [this] { core::Guarded([this] { rubriekenChange(); }); });
}

void TTemplateFrame::LoadTemplates()
{
    const int index = std::max(0, templates->currentRow());
    const QStringList all = QueryEntries(TemplateListSql());
    SetEntries(templates, all);
    SetEntries(ouder, QStringList{QStringLiteral("-1 Geen ouder")} + all);
    {
        const QSignalBlocker quiet(ouder);
        ouder->setCurrentIndex(0);
    }
    SelectRow(templates, index);
    keep(redacties, QueryEntries(TeamListSql()));
    keep(programmas, QueryEntries(ProgrammeListSql()));
    templatesClick();
    redactiesChange();
    programmasChange();
}

void TTemplateFrame::templatesClick()
{
    const auto id = SelectedId(templates);
    m_templateId = id.value_or(-1);
    if (!id)
        return;
    const auto rs = core::Query(TemplateParentSql(*id));
    if (rs->RowCount() == 0)
        return;
    const QString parent = rs->Row(0).value(0);
    for (int i = 0; i < ouder->count(); ++i)
        if (QString::number(EntryId(ouder->itemText(i))) == parent) {
            const QSignalBlocker quiet(ouder);
            ouder->setCurrentIndex(i);
            return;
        }
}

void TTemplateFrame::ouderChange()
{
    const auto parent = SelectedId(ouder);
    if (m_templateId < 0 || !parent)
        return;
    core::Execute(SetTemplateParentSql(m_templateId, *parent));
    LoadTemplates();
}

void TTemplateFrame::redactiesChange()
{
    const auto team = SelectedId(redacties);
    m_teamId = team.value_or(-1);
    SetEntries(redtmp, team ? QueryEntries(TeamTemplatesSql(*team)) : QStringList());
}

void TTemplateFrame::programmasChange()
{
    const auto programme = SelectedId(programmas);
    if (!programme)
        return;
    m_programmeId = *programme;
    keep(rubrieken, QueryEntries(ProgrammeRubricsSql(m_programmeId)));
    rubriekenChange();
}

void TTemplateFrame::rubriekenChange()
{
    const auto rubric = SelectedId(rubrieken);
    m_rubricId = rubric.value_or(-1);
    SetEntries(rubtmp, rubric ? QueryEntries(RubricTemplatesSql(*rubric)) : QStringList());
}

void TTemplateFrame::Button2Click()
{
    const auto id = SelectedId(templates);
    if (!id || m_teamId < 0)
        return;
    core::Execute(GiveTemplateToTeamSql(m_teamId, *id));
    LoadTemplates();
}

void TTemplateFrame::Button3Click()
{
    const auto id = SelectedId(redtmp);
    if (!id || m_teamId < 0)
        return;
    core::Execute(TakeTemplateFromTeamSql(m_teamId, *id));
    LoadTemplates();
}

void TTemplateFrame::Button5Click()
{
    const auto id = SelectedId(templates);
    if (!id || m_rubricId < 0)
        return;
    core::Execute(GiveTemplateToRubricSql(m_rubricId, *id));
    LoadTemplates();
}

void TTemplateFrame::Button4Click()
{
    const auto id = SelectedId(rubtmp);
    if (!id || m_rubricId < 0)
        return;
    core::Execute(TakeTemplateFromRubricSql(m_rubricId, *id));
    LoadTemplates();
}

void TTemplateFrame::Button9Click()
{
    QString naam, content, editor;
    if (!ask(QStringLiteral("Naam opgeven"), QStringLiteral("Naam template"), naam) ||
        !ask(QStringLiteral("Content opgeven"), QStringLiteral("Inhoud"), content) ||
        !ask(QStringLiteral("Editor opgeven"), QStringLiteral("Instelinngen editor"), editor))
        return;
    core::Execute(InsertTemplateSql(naam, content, editor));
    LoadTemplates();
}

void TTemplateFrame::templateeditClick()
{
    if (m_templateId < 0)
        return;
    const int id = m_templateId;
    const auto rs = core::Query(TemplateForEditSql(id));
    if (rs->RowCount() == 0)
        return;
    QString naam = rs->Row(0).value(0), content = rs->Row(0).value(1), editor = rs->Row(0).value(2),
            initial = rs->Row(0).value(3);
    if (!ask(QStringLiteral("Naam wijzigen"), QStringLiteral("Naam template"), naam) ||
        !ask(QStringLiteral("Content wijzigen"), QStringLiteral("Inhoud"), content) ||
        !ask(QStringLiteral("Editor wijzigen"), QStringLiteral("Instelinngen editor"), editor) ||
        !ask(QStringLiteral("Initial wijzigen"), QStringLiteral("Instelinngen initial"), initial))
        return;
    core::Execute(UpdateTemplateSql(id, naam, editor, content, initial));
    LoadTemplates();
}

void TTemplateFrame::Button10Click()
{
    if (m_templateId < 0)
        return;
    const auto rs = core::Query(TemplateForCopySql(m_templateId));
    if (rs->RowCount() == 0)
        return;
    QString naam = QStringLiteral("kopie van ") + rs->Row(0).value(0), content = rs->Row(0).value(1),
            editor = rs->Row(0).value(2);
    if (!ask(QStringLiteral("Naam wijzigen"), QStringLiteral("Naam template"), naam) ||
        !ask(QStringLiteral("Content wijzigen"), QStringLiteral("Inhoud"), content) ||
        !ask(QStringLiteral("Editor wijzigen"), QStringLiteral("Instelinngen editor"), editor))
        return;
    core::Execute(InsertTemplateSql(naam, content, editor));
    LoadTemplates();
}

void TTemplateFrame::Button11Click()
{
    if (m_templateId < 0)
        return;
    if (!platform::confirm(QStringLiteral("Template verwijderen?")) ||
        !platform::confirm(QStringLiteral("Weet u het zeker?")))
        return;
    for (const QString &sql : DeleteTemplateSql(m_templateId))
        core::Execute(sql);
    LoadTemplates();
}

}  // namespace admin
