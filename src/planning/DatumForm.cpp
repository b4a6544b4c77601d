#include "planning/DatumForm.h"

#include "core/Dates.h"

#include <QCalendarWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace planning {

TDatumForm::TDatumForm(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("DatumForm"));
    setWindowTitle(QStringLiteral("DatumForm"));
    m_dat = new QCalendarWidget(this);
    m_dat->setObjectName(QStringLiteral("dat"));
    m_dat->setLocale(QLocale(QLocale::Dutch, QLocale::Netherlands));
    m_dat->setFirstDayOfWeek(Qt::Monday);
    m_dat->setSelectedDate(core::Today());
    m_ok = new QPushButton(QStringLiteral("&Ok"), this);
    m_ok->setObjectName(QStringLiteral("Button1"));
    m_ok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_dat);
    layout->addWidget(m_ok, 0, Qt::AlignRight);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TDatumForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr)
        move(owner->geometry().center() - rect().center());
}

}  // namespace planning
