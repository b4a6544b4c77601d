#include "texts/ArchiefForm.h"

#include "core/Frame.h"
#include "core/Registry.h"
#include "platform/Dialogs.h"
#include "texts/ArchiefFrame.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace texts {

TArchiefForm::TArchiefForm(QWidget *parent)
    : QDialog(parent), m_frame(new TArchiefFrame(this)), m_close(new QPushButton(QStringLiteral("&Sluiten"), this)),
      m_choose(new QPushButton(QStringLiteral("&Kiezen"), this))
{
    setObjectName(QStringLiteral("ArchiefForm"));
    setWindowTitle(QStringLiteral("Archief"));
    resize(820, 560);
    m_frame->setObjectName(QStringLiteral("ArchiefFrame1"));
    m_close->setObjectName(QStringLiteral("sluiten"));
    m_close->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, &TArchiefForm::reject);
    m_choose->setObjectName(QStringLiteral("kies"));
    m_choose->setAutoDefault(false);
    m_choose->setVisible(false);
    connect(m_choose, &QPushButton::clicked, this, &TArchiefForm::kiesClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_choose);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->addWidget(m_frame, 1);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(6, 0, 6, 0);
    row->addLayout(buttons);
    layout->addLayout(row);
}

void TArchiefForm::setChoosing(bool on)
{
    m_choose->setVisible(on);
}

QList<int> TArchiefForm::chosenIds() const
{
    return m_frame->chosenIds();
}

QString TArchiefForm::plainText() const
{
    return m_frame->plainText();
}

void TArchiefForm::reject()
{
    done(int(platform::ModalResult::Cancel));
}

void TArchiefForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    core::sendFrameMessage(m_frame, core::FRAME_ACTIVATE);
}

// The selection is collected synchronously, before the window closes.
void TArchiefForm::kiesClick()
{
    core::sendFrameMessage(m_frame, core::FRAME_COLLECT);
    done(int(platform::ModalResult::Yes));
}

core::ArchiveChoice OpenArchive(const core::ArchiveRequest &request)
{
    TArchiefForm form(QApplication::activeWindow());
    form.setChoosing(request.choose);
    core::ArchiveChoice choice;
    choice.modalResult = form.exec();
    choice.textIds = form.chosenIds();
    choice.plainText = form.plainText();
    return choice;
}

void RegisterArchiveOpener(core::TRegistry &registry)
{
    registry.registerOpener<core::ArchiveRequest>(OpenArchive);
}

}  // namespace texts
