#include "extras/PromoEditDialog.h"

#include "core/Global.h"
#include "db/Postgres.h"
#include "extras/PromoSql.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace extras {

TPromoEditDialog::TPromoEditDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_title(new QLineEdit(this)),
      m_short(new QLineEdit(this)), m_close(new QPushButton(QStringLiteral("&Sluiten"), this))
{
    setObjectName(QStringLiteral("PromoEditDialog"));
    setWindowTitle(QStringLiteral("Programma informatie wijzigen"));
    setFixedSize(615, 473);
    m_title->setObjectName(QStringLiteral("titel"));
    m_short->setObjectName(QStringLiteral("kort"));
    auto *group = new QGroupBox(QStringLiteral("Lange omschrijving"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_long = MakeTextEditor(group);
    m_long.widget->setObjectName(QStringLiteral("lang"));
    m_close->setObjectName(QStringLiteral("Button1"));
    m_close->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Titel van het programma"), this), 0, 0);
    fields->addWidget(m_title, 1, 0);
    fields->addWidget(new QLabel(QStringLiteral("Korte omschrijving"), this), 2, 0);
    fields->addWidget(m_short, 3, 0);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_long.widget);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);
}

bool TPromoEditDialog::Load(int id)
{
    m_id = -1;
    const auto rs = core::Query(LoadPromoSql(id));
    if (rs->RowCount() == 0)
        return false;
    m_id = id;
    m_title->setText(rs->ValueByName(0, QStringLiteral("naam")));
    m_short->setText(rs->ValueByName(0, QStringLiteral("kort")));
    m_long.setStoredText(rs->ValueByName(0, QStringLiteral("lang")));
    return true;
}

void TPromoEditDialog::Store()
{
    if (m_id >= 0)
        core::Execute(UpdatePromoSql(m_id, m_title->text(), m_short->text(), m_long.storedText()));
}

void TPromoEditDialog::done(int result)
{
    Store();
    QDialog::done(result);
}

}  // namespace extras
