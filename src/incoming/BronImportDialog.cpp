#include "incoming/BronImportDialog.h"

#include "core/Guarded.h"
#include "core/Registry.h"
#include "incoming/BronnenFrame.h"
#include "incoming/MailDirFrame.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace incoming {

TBronImportDialog::TBronImportDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BronImportDialog"));
    setWindowTitle(QStringLiteral("Bron importeren"));
    resize(820, 560);
    m_frame = new TBronnenFrame(this);
    m_frame->setObjectName(QStringLiteral("BronnenFrame1"));
    auto *choose = new QPushButton(QStringLiteral("&Kiezen"), this);
    choose->setObjectName(QStringLiteral("Button1"));
    connect(choose, &QPushButton::clicked, this, &QDialog::accept);
    auto *cancel = new QPushButton(QStringLiteral("&Afbreken"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(choose);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame, 1);
    layout->addLayout(buttons);
}

void TBronImportDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    core::Guarded([&] { m_frame->brontypeboxClick(); });
}

void TBronImportDialog::hideEvent(QHideEvent *event)
{
    if (m_frame->brontypebox()->currentRow() == 1)
        m_frame->Memo1()->setPlainText(m_frame->fax()->mail()->plainText());
    QDialog::hideEvent(event);
}

QString TBronImportDialog::text() const
{
    return m_frame->Memo1()->toPlainText();
}

void RegisterSourceImportOpener(core::TRegistry &registry)
{
    registry.registerOpener<core::SourceImportRequest>([](const core::SourceImportRequest &) {
        TBronImportDialog dialog(QApplication::activeWindow());
        const int result = dialog.exec() == QDialog::Accepted ? 1 : 2;
        return core::SourceImportResult{result, dialog.text()};
    });
}

}  // namespace incoming
