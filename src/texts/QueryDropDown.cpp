#include "texts/QueryDropDown.h"

#include "core/Global.h"
#include "db/Postgres.h"
#include "db/SqlEscape.h"
#include "platform/Dialogs.h"
#include "texts/StyleComboBox.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>

namespace texts {

namespace {
constexpr int kButtonWidth = 25;

QString idOf(const QString &item)
{
    return item.section(u' ', 0, 0);
}
}  // namespace

TQueryDropDown::TQueryDropDown(const QString &table, int maxLength, QWidget *parent)
    : QWidget(parent), m_table(table), m_maxLength(maxLength)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_combo = new TStyleComboBox(this);
    m_combo->setObjectName(QStringLiteral("ComboBox1"));
    m_combo->setOwnerDrawn(true);
    m_combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("Button1"));
    m_button->setText(QStringLiteral("..."));
    m_button->setFixedSize(kButtonWidth, m_combo->sizeHint().height());
    layout->addWidget(m_combo);
    layout->addWidget(m_button);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    connect(m_menu->addAction(QStringLiteral("&Toevoegen")), &QAction::triggered, this, &TQueryDropDown::AddItem);
    m_change = m_menu->addAction(QStringLiteral("&Wijzigen"));
    connect(m_change, &QAction::triggered, this, &TQueryDropDown::ChangeItem);
    m_delete = m_menu->addAction(QStringLiteral("&Verwijderen"));
    connect(m_delete, &QAction::triggered, this, &TQueryDropDown::DeleteItem);
    connect(m_button, &QToolButton::clicked, this, &TQueryDropDown::ButtonClick);

    Reload();
}

void TQueryDropDown::Reload()
{
    m_combo->clear();
    const auto rows = core::Query(QStringLiteral("select id,naam from ") + m_table + QStringLiteral(" order by naam"));
    QStringList items;
    for (int i = 0; i < rows->RowCount(); ++i) {
        const QStringList &row = rows->Row(i);
        items.append(row.value(0) + u' ' + row.value(1));
    }
    m_combo->addItems(items);
    m_combo->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

QString TQueryDropDown::SelectedId() const
{
    return m_combo->currentIndex() < 0 ? QString() : idOf(m_combo->currentText());
}

void TQueryDropDown::SelectId(const QString &id)
{
    int found = -1;
    for (int i = 0; i < m_combo->count(); ++i) {
        if (idOf(m_combo->itemText(i)) == id)
            found = i;
    }
    if (found >= 0)
        m_combo->setCurrentIndex(found);
}

// The menu opens at the button's top-left corner; changing and deleting need
// a selected name.
void TQueryDropDown::ButtonClick()
{
    const bool hasItems = m_combo->count() > 0;
    m_change->setEnabled(hasItems);
    m_delete->setEnabled(hasItems);
    m_menu->popup(m_button->mapToGlobal(QPoint(0, 0)));
}

bool TQueryDropDown::askName(const QString &caption, QString &name) const
{
    QString answer = name;
    if (!platform::dialogs().inputQuery(caption, QStringLiteral("Naam van het item"), answer, m_maxLength))
        return false;
    name = answer.left(m_maxLength);
    return true;
}

void TQueryDropDown::run(const QString &sql)
{
    core::Execute(sql);
    Reload();
}

void TQueryDropDown::AddItem()
{
    QString name;
    if (!askName(QStringLiteral("Nieuw item toevoegen"), name))
        return;
    run(QStringLiteral("insert into ") + m_table + QStringLiteral(" (naam) values ('") + SqlEscape(name) +
        QStringLiteral("')"));
}

void TQueryDropDown::ChangeItem()
{
    if (m_combo->count() == 0 || m_combo->currentIndex() < 0)
        return;
    const QString item = m_combo->currentText();
    const QString id = idOf(item);
    QString name = item.section(u' ', 1);
    if (!askName(QStringLiteral("Item wijzigen"), name))
        return;
    run(QStringLiteral("update ") + m_table + QStringLiteral(" set naam = '") + SqlEscape(name) +
        QStringLiteral("' where id = ") + id);
}

void TQueryDropDown::DeleteItem()
{
    if (m_combo->count() == 0 || m_combo->currentIndex() < 0)
        return;
    const QString id = idOf(m_combo->currentText());
    if (!platform::confirm(QStringLiteral("Item verwijderen?")))
        return;
    run(QStringLiteral("delete from ") + m_table + QStringLiteral(" where id = ") + id);
}

}  // namespace texts
