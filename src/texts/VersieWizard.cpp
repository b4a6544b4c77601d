#include "texts/VersieWizard.h"

#include "core/Global.h"
#include "db/Postgres.h"
#include "texts/VersieSql.h"
#include "views/HighlightView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace texts {

namespace {

// A basis line: the headline at the left, the template name in bold at the right.
class BasisDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const VersionLine line = ParseVersionLine(index.data().toString());
        const bool selected = option.state & QStyle::State_Selected;
        p->save();
        p->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
        p->setPen(selected ? option.palette.color(QPalette::HighlightedText) : option.palette.color(QPalette::Text));
        QFont bold = option.font;
        bold.setBold(true);
        const int nameWidth = QFontMetrics(bold).horizontalAdvance(line.naam);
        const QRect r = option.rect;
        p->setFont(option.font);
        p->drawText(QRect(r.left() + 1, r.top(), r.width() - nameWidth - 12, r.height()),
                    Qt::AlignLeft | Qt::AlignVCenter, line.kop);
        p->setFont(bold);
        p->drawText(QRect(r.right() - 5 - nameWidth, r.top(), nameWidth + 1, r.height()),
                    Qt::AlignLeft | Qt::AlignVCenter, line.naam);
        p->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return {option.rect.width(), 16};
    }
};

QWidget *page(const QString &name, const QString &markup, QWidget *content, QWidget *extra = nullptr)
{
    auto *w = new QWidget;
    w->setObjectName(name);
    auto *text = new views::THighlightView(w);
    text->setText(markup);
    text->setMinimumHeight(90);
    auto *layout = new QVBoxLayout(w);
    layout->addWidget(text);
    if (extra)
        layout->addWidget(extra);
    layout->addWidget(content, 1);
    return w;
}

QList<QStringList> rows(const QString &sql)
{
    QList<QStringList> out;
    auto rs = core::Query(sql);
    for (int i = 0; i < rs->RowCount(); ++i)
        out << rs->Row(i);
    return out;
}

}  // namespace

TVersieWizard::TVersieWizard(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("VersieWizard"));
    setWindowTitle(QStringLiteral("Versie tovenaar"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->tabBar()->setEnabled(false);  // only the buttons move between pages

    m_doelen = new QGroupBox(QStringLiteral("Doel overzicht"));
    m_doelen->setObjectName(QStringLiteral("doelen"));
    m_doelButtons = new QButtonGroup(this);
    new QGridLayout(m_doelen);
    m_mogelijkheden = new QGroupBox(QStringLiteral("Mogelijkheden overzicht"));
    m_mogelijkheden->setObjectName(QStringLiteral("mogelijkheden"));
    m_mogelijkButtons = new QButtonGroup(this);
    new QGridLayout(m_mogelijkheden);
    m_basisList = new QListWidget;
    m_basisList->setObjectName(QStringLiteral("basis"));
    m_basisList->setItemDelegate(new BasisDelegate(m_basisList));
    m_basisList->setUniformItemSizes(true);
    m_geenBasis = new QCheckBox(QStringLiteral("Geen basis"));
    m_geenBasis->setObjectName(QStringLiteral("CheckBox1"));

    m_doelSheet = page(QStringLiteral("doelsheet"),
                       QStringLiteral("Kies nu voor welk <bold>doel<normal> je de tekst wil gaan schrijven.\n\n"
                                      "Het doel heeft invloed op de mogelijkheden die je krijgt en op welke manier "
                                      "de tekst gepubliceerd zal worden."),
                       m_doelen);
    m_mogelijkSheet = page(QStringLiteral("mogelijk"),
                           QStringLiteral("Het door jou gekozen <bold>doel<normal> bestaat uit verschillende "
                                          "mogelijkheden.\n\nKies nu welke mogelijkheid je gaat gebruiken."),
                           m_mogelijkheden);
    m_basisSheet = page(QStringLiteral("basissheet"),
                        QStringLiteral("Een <bold>versie<normal> wordt standaard op basis van een reeds bestaande "
                                       "versie gemaakt.\nKies hier waarop je de nieuwe versie wil baseren.\n\n"
                                       "<red>Automatische klokjes worden <bold>ALLEEN BIJ GEEN BASIS<normal> "
                                       "meegenomen!<black>\n\nSelecteer <blue>geen basis<black> om een lege versie "
                                       "te beginnen."),
                        m_basisList, m_geenBasis);
    m_pages->addTab(m_doelSheet, QStringLiteral("Doel"));
    m_pages->addTab(m_mogelijkSheet, QStringLiteral("Mogelijkheden"));
    m_pages->addTab(m_basisSheet, QStringLiteral("Basis"));
    m_pages->setTabVisible(Mogelijk, false);

    m_finish = new QPushButton(QStringLiteral("Voltooien"), this);
    m_next = new QPushButton(QStringLiteral("Volgende"), this);
    m_back = new QPushButton(QStringLiteral("Terug"), this);
    m_cancel = new QPushButton(QStringLiteral("Afbreken"), this);
    m_finish->setObjectName(QStringLiteral("Button1"));
    m_next->setObjectName(QStringLiteral("Button2"));
    m_back->setObjectName(QStringLiteral("Button3"));
    m_cancel->setObjectName(QStringLiteral("Button4"));
    for (QPushButton *b : {m_finish, m_next, m_back})
        b->setEnabled(false);
    connect(m_finish, &QPushButton::clicked, this, &TVersieWizard::VoltooienClick);
    connect(m_next, &QPushButton::clicked, this, &TVersieWizard::VolgendeClick);
    connect(m_back, &QPushButton::clicked, this, &TVersieWizard::TerugClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_doelButtons, &QButtonGroup::idClicked, this, &TVersieWizard::doelenClick);
    connect(m_mogelijkButtons, &QButtonGroup::idClicked, this, &TVersieWizard::mogelijkhedenClick);
    connect(m_basisList, &QListWidget::itemSelectionChanged, this, &TVersieWizard::basisClick);
    connect(m_geenBasis, &QCheckBox::toggled, this, &TVersieWizard::basisClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {m_back, m_next, m_finish, m_cancel})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);
    resize(560, 420);
}

void TVersieWizard::fillGroup(QGroupBox *group, QButtonGroup *buttons, const QList<QStringList> &rows, QList<int> &ids)
{
    for (QAbstractButton *b : buttons->buttons()) {
        buttons->removeButton(b);
        delete b;
    }
    ids.clear();
    auto *grid = static_cast<QGridLayout *>(group->layout());
    for (int i = 0; i < rows.size(); ++i) {
        auto *radio = new QRadioButton(rows.at(i).value(1), group);
        radio->setObjectName(QStringLiteral("item%1").arg(i));
        buttons->addButton(radio, i);
        grid->addWidget(radio, i / 2, i % 2);  // two columns
        ids << rows.at(i).value(0).toInt();
    }
}

void TVersieWizard::PrepareWizard()
{
    m_template = -1;
    fillGroup(m_doelen, m_doelButtons, rows(GoalsSql(core::state().currentTeamId)), m_goalIds);
    m_basisList->clear();
    for (const QStringList &row : rows(BasisVersionsSql(m_agendaId)))
        m_basisList->addItem(BasisLineText(row.value(0), row.value(1), row.value(2)));
    m_pages->setTabVisible(BasisPage, m_basisList->count() > 0);
    go(Doel);
}

void TVersieWizard::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_goal = -1;
    m_basis = -1;
    updateButtons();
}

bool TVersieWizard::present(Page page) const
{
    return m_pages->isTabVisible(page);
}

void TVersieWizard::go(Page page)
{
    m_pages->setCurrentIndex(page);
    updateButtons();
}

TVersieWizard::Page TVersieWizard::current() const
{
    return static_cast<Page>(m_pages->currentIndex());
}

void TVersieWizard::doelenClick(int index)
{
    if (index < 0 || index >= m_goalIds.size())
        return;
    m_goal = m_goalIds.at(index);
    m_template = -1;
    m_ready[Mogelijk] = false;
    fillGroup(m_mogelijkheden, m_mogelijkButtons, rows(PossibilitiesSql(m_goal)), m_possibilityIds);
    m_pages->setTabVisible(Mogelijk, !m_possibilityIds.isEmpty());
    m_ready[Doel] = true;
    m_pages->setCurrentIndex(Doel);  // hiding or showing a page must not move off the goals
    updateButtons();
}

void TVersieWizard::mogelijkhedenClick(int index)
{
    if (index < 0 || index >= m_possibilityIds.size())
        return;
    m_template = m_possibilityIds.at(index);
    m_ready[Mogelijk] = true;
    updateButtons();
}

void TVersieWizard::basisClick()
{
    QListWidgetItem *item = m_basisList->currentItem();
    const bool chosen = item && item->isSelected();
    m_basis = chosen ? ParseVersionLine(item->text()).id.toInt() : -1;
    m_ready[BasisPage] = chosen;
    if (m_geenBasis->isChecked()) {
        m_ready[BasisPage] = true;
        m_basis = -1;
    }
    m_basisList->setVisible(!m_geenBasis->isChecked());
    updateButtons();
}

void TVersieWizard::updateButtons()
{
    const bool mogelijk = present(Mogelijk), basis = present(BasisPage);
    switch (current()) {
    case Doel:
        m_back->setEnabled(false);
        m_next->setEnabled(m_ready[Doel] && (mogelijk || basis));
        m_finish->setEnabled(m_ready[Doel] && !mogelijk && !basis);
        break;
    case Mogelijk:
        m_back->setEnabled(true);
        m_next->setEnabled(m_ready[Mogelijk] && basis);
        m_finish->setEnabled(m_ready[Mogelijk] && !basis);
        break;
    case BasisPage:
        m_back->setEnabled(true);
        m_next->setEnabled(false);
        m_finish->setEnabled(m_ready[BasisPage] || m_geenBasis->isChecked());
        break;
    }
}

void TVersieWizard::VolgendeClick()
{
    if (current() == Doel)
        go(present(Mogelijk) ? Mogelijk : BasisPage);
    else if (current() == Mogelijk)
        go(BasisPage);
}

void TVersieWizard::TerugClick()
{
    if (current() == Mogelijk)
        go(Doel);
    else if (current() == BasisPage)
        go(present(Mogelijk) ? Mogelijk : Doel);
}

void TVersieWizard::VoltooienClick()
{
    if (m_template < 0)
        m_template = m_goal;
    accept();
}

}  // namespace texts
