#include "admin/ServerFrame.h"

#include "admin/AdminWidgets.h"
#include "core/Global.h"
#include "platform/Dialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

TServerFrame::TServerFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("TServerFrame"));
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Server besturen"), this);
    outer->addWidget(group);
    outer->addStretch(1);
    auto *inner = new QGroupBox(QStringLiteral("Server stoppen"), group);
    (new QVBoxLayout(group))->addWidget(inner);
    auto *stop = Button(QStringLiteral("Button1"), QStringLiteral("Server stoppen"), inner);
    auto *row = new QHBoxLayout(inner);
    row->addWidget(stop);
    row->addStretch(1);
    connect(stop, &QPushButton::clicked, this, &TServerFrame::Button1Click);
}

void TServerFrame::Button1Click()
{
    if (platform::confirm(QStringLiteral("Het uitschakelen van de server heeft tot gevolg dat alle clients,die nog "
                                         "zijn aangemeld hun gegevens kwijtraken!\nDoorgaan?")))
        core::SendCommand(QStringLiteral("shutdown"));
}

TTaakFrame::TTaakFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("TTaakFrame"));
    auto *outer = new QHBoxLayout(this);
    auto *jobs = new QGroupBox(QStringLiteral("Automatische taken"), this);
    auto *list = new QListWidget(jobs);
    list->setObjectName(QStringLiteral("ListBox1"));
    auto *jobsLayout = new QVBoxLayout(jobs);
    jobsLayout->addWidget(list);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button(QStringLiteral("Button1"), QStringLiteral("+"), jobs));
    buttons->addWidget(Button(QStringLiteral("Button2"), QStringLiteral("-"), jobs));
    buttons->addStretch(1);
    jobsLayout->addLayout(buttons);

    auto *job = new QGroupBox(QStringLiteral("Taak"), this);
    auto *form = new QFormLayout(job);
    const char *names[] = {"naam", "Edit1", "Edit2"};
    const char *labels[] = {"Omschrijving", "Moment", "Commandline"};
    for (int i = 0; i < 3; ++i) {
        auto *edit = new QLineEdit(job);
        edit->setObjectName(QString::fromLatin1(names[i]));
        form->addRow(QString::fromLatin1(labels[i]), edit);
    }
    outer->addWidget(jobs, 1);
    outer->addWidget(job, 2);
}

}  // namespace admin
