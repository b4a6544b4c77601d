#include "texts/VersieForm.h"

#include "core/Frame.h"
#include "core/Global.h"
#include "core/Openers.h"
#include "core/Registry.h"
#include "platform/Dialogs.h"
#include "texts/VersieFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace texts {

TVersieForm::TVersieForm(QWidget *parent)
    : QDialog(parent), m_frame(new TVersieFrame(this)), m_save(new QPushButton(QStringLiteral("&Opslaan"), this))
{
    setObjectName(QStringLiteral("VersieForm"));
    setWindowTitle(QStringLiteral("Versie"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_save->setObjectName(QStringLiteral("Button2"));
    m_save->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, [this] { done(int(platform::ModalResult::Ok)); });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_frame, 1);
    layout->addLayout(buttons);
    const QRect screen = (parent ? parent->screen() : QApplication::primaryScreen())->availableGeometry();
    resize(screen.width() - 50, screen.height() - 100);
    TVersieFrame::RestoreBackup();
}

TVersieForm::~TVersieForm()
{
    if (!m_keepBackup)
        TVersieFrame::DeleteBackup();
}

void TVersieForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    core::state().versionFormOpen = true;
    core::sendFrameMessage(m_frame, core::FRAME_ACTIVATE);
}

void TVersieForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    core::state().versionFormOpen = false;
    if (core::TMainOperations *main = core::state().main)
        main->RefreshViews();
}

void TVersieForm::closeEvent(QCloseEvent *event)
{
    // The title bar's close button: a close that saves, with Cancel.
    event->ignore();
    done(int(platform::ModalResult::Cancel));
}

void TVersieForm::done(int result)
{
    if (result == QDialog::Rejected)
        result = int(platform::ModalResult::Cancel);  // Escape closes as any other way does
    core::sendFrameMessage(m_frame, core::FRAME_SAVE);
    if (!m_frame->lastSaveOk()) {
        if (!platform::confirm(QStringLiteral("Sluiten zonder op te slaan?\nDe tekst blijft bewaard in de "
                                              "reserve-kopie en staat bij de volgende start op het klembord.")))
            return;
        m_keepBackup = true;
    }
    QDialog::done(result);
}

core::VersionsResult OpenVersionsWindow(const core::VersionsRequest &request)
{
    TVersieForm form(QApplication::activeWindow());
    TVersieFrame *f = form.versie();
    f->AgendaId = request.agendaId;
    f->PreferredVersionId = request.preferredVersionId;
    f->LoadVersions();
    core::VersionsResult result;
    result.hasVersions = f->HasVersions;
    if (f->HasVersions)
        result.modalResult = form.exec();
    return result;
}

void RegisterVersionsOpener()
{
    core::registry().registerOpener<core::VersionsRequest>(&OpenVersionsWindow);
}

}  // namespace texts
