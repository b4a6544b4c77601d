#include "planning/AgendaForm.h"

#include "core/Registry.h"
#include "planning/AgendaPuntFrame.h"
#include "planning/AgendaSql.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace planning {

TAgendaForm::TAgendaForm(QWidget *parent) : QDialog(parent)
{
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

void TAgendaForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Taken once: a dialog shown again after a refused save holds typed text.
    if (!m_firstShown)
        m_firstShown = m_frame->shownState();
    if (QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr)
        move(owner->geometry().center() - rect().center());
    m_save->setDefault(true);
    m_frame->onderwerp()->setFocus();
}

bool TAgendaForm::HostMessage(int msg, qintptr, qintptr lParam)
{
    if (msg != WM_OPEN_FOLLOWUP)
        return false;
    OpenAgendaItem({.agendaId = static_cast<int>(lParam)}, this);
    return true;
}

void TAgendaForm::Button1Click()
{
    if (m_frame->itemId() < 0 && m_firstShown && m_frame->shownState() == *m_firstShown) {
        done(QDialog::Rejected);  // nothing typed: nothing to ask about
        return;
    }
    switch (platform::dialogs().messageBox(platform::BoxType::Confirmation, QStringLiteral("Wijzigingen opslaan?"),
                                           platform::BoxButtons::YesNoCancel)) {
    case platform::ModalResult::Yes:
        if (m_frame->Save()) {  // refused: stay, with what was typed
            m_savedOnCancel = true;
            done(QDialog::Rejected);
        }
        break;
    case platform::ModalResult::No: done(QDialog::Rejected); break;
    default: break;  // stay in the dialog
    }
}

void TAgendaForm::reject()
{
    Button1Click();
}

core::AgendaItemResult OpenAgendaItem(const core::AgendaItemRequest &request, QWidget *parent)
{
    TAgendaForm form(parent);
    TAgendaPuntFrame *f = form.AgendaPuntFrame1();
    f->Load(request.agendaId);
    if (request.makeNew)
        f->MakeNew();
    if (!request.subjectPrefix.isEmpty())
        f->onderwerp()->setText(request.subjectPrefix + f->onderwerp()->text());
    if (request.date)
        f->date()->setDate(*request.date);
    if (request.onderwerp)
        f->onderwerp()->setText(*request.onderwerp);
    if (request.opmerkingen)
        f->Opmerkingen()->setPlainText(*request.opmerkingen);
    if (request.bron)
        f->bron()->setText(*request.bron);
    if (request.repeatId != -1)
        f->SetRepeatId(request.repeatId);
    if (request.followUpId != -1)
        f->SetFollowUp(request.followUpId);
    for (const auto &[textId, kop] : request.archiveLinks) {
        f->AddPending(LinkArchiveSql(textId));
        f->AddArchiveLine(textId, kop);
    }
    // A save the database refused keeps the dialog, and what was typed, open.
    bool saved = false;
    bool first = true;
    while (!saved && form.exec() == QDialog::Accepted) {
        if (first && request.beforeSave)
            request.beforeSave();
        first = false;
        saved = f->Save();
    }
    core::AgendaItemResult result;
    result.modalResult = int(saved ? platform::ModalResult::Ok : platform::ModalResult::Cancel);
    if (saved || form.savedOnCancel())
        result.agendaId = f->itemId();
    return result;
}

void RegisterAgendaItemOpener(core::TRegistry &registry)
{
    registry.registerOpener<core::AgendaItemRequest>(
        [](const core::AgendaItemRequest &request) { return OpenAgendaItem(request, QApplication::activeWindow()); });
}

}  // namespace planning
