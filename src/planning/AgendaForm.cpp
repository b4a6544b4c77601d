#include "planning/AgendaForm.h"

#include "planning/AgendaPuntFrame.h"
#include "platform/Dialogs.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace planning {

TAgendaForm::TAgendaForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AgendaForm"));
    setWindowTitle(QStringLiteral("Agendapunt"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_frame = new TAgendaPuntFrame(this);
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    m_save = new QPushButton(QStringLiteral("&Opslaan"), panel);
    m_save->setObjectName(QStringLiteral("Button2"));
    m_cancel = new QPushButton(QStringLiteral("&Afbreken"), panel);
    m_cancel->setObjectName(QStringLiteral("Button1"));
    m_cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout(panel);
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame, 1);
    layout->addWidget(panel);
    resize(520, 460);
    connect(m_save, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &TAgendaForm::Button1Click);
}

void TAgendaForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr)
        move(owner->geometry().center() - rect().center());
    m_save->setDefault(true);
    m_frame->onderwerp()->setFocus();
}

bool TAgendaForm::HostMessage(int msg, qintptr, qintptr lParam) {
    if (msg != WM_OPEN_FOLLOWUP)
        return false;
    TAgendaForm nested(this);
    nested.AgendaPuntFrame1()->Load(static_cast<int>(lParam));
    bool saved = false;
    while (!saved && nested.exec() == QDialog::Accepted)
        saved = nested.AgendaPuntFrame1()->Save();
    return true;
}

void TAgendaForm::Button1Click() {
    switch (platform::dialogs().messageBox(platform::BoxType::Confirmation, QStringLiteral("Wijzigingen opslaan?"),
                                           platform::BoxButtons::YesNoCancel)) {
    case platform::ModalResult::Yes:
        if (m_frame->Save())  // refused: stay, with what was typed
            done(QDialog::Rejected);
        break;
    case platform::ModalResult::No:
        done(QDialog::Rejected);
        break;
    default:
        break;  // stay in the dialog
    }
}

void TAgendaForm::reject() { Button1Click(); }

}  // namespace planning
