#include "extras/AdresBoekForm.h"

#include "core/Global.h"
#include "core/Registry.h"
#include "db/Postgres.h"
#include "extras/NawFrame.h"
#include "extras/NawSql.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace extras {

TAdresBoekForm::TAdresBoekForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_frame(new TNawFrame(this)),
      m_cancel(new QPushButton(QStringLiteral("&Afbreken"), this)),
      m_store(new QPushButton(QStringLiteral("Sluiten / &Opslaan"), this)),
      m_choose(new QPushButton(QStringLiteral("&Kiezen"), this))
{
    setObjectName(QStringLiteral("AdresBoekForm"));
    setWindowTitle(QStringLiteral("Adresboek"));
    setFixedSize(493, 500);
    m_frame->setObjectName(QStringLiteral("NawFrame1"));
    m_cancel->setObjectName(QStringLiteral("Button1"));
    m_store->setObjectName(QStringLiteral("Button2"));
    m_choose->setObjectName(QStringLiteral("kiesbutton"));
    m_choose->setVisible(false);
    for (QPushButton *b : {m_cancel, m_store, m_choose})
        b->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &TAdresBoekForm::Button1Click);
    connect(m_store, &QPushButton::clicked, this, &TAdresBoekForm::Button2Click);
    connect(m_choose, &QPushButton::clicked, this, &TAdresBoekForm::kiesbuttonClick);
    connect(m_frame, &TNawFrame::modeChanged, m_choose, [this](bool editing) { m_choose->setEnabled(!editing); });

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 0, 6, 6);
    buttons->addWidget(m_choose);
    buttons->addStretch(1);
    buttons->addWidget(m_store);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_frame, 1);
    layout->addLayout(buttons);
}

void TAdresBoekForm::setChoosing(bool on)
{
    m_choose->setVisible(on);
}

void TAdresBoekForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_frame->Prepare();
}

void TAdresBoekForm::Button2Click()
{
    const bool wasEditing = m_frame->editing();
    m_frame->Store();
    if (wasEditing)
        m_frame->Prepare();
    else
        done(int(platform::ModalResult::Ok));
}

void TAdresBoekForm::Button1Click()
{
    if (!m_frame->editing()) {
        done(int(platform::ModalResult::Cancel));
        return;
    }
    m_frame->CancelEdit();
    m_frame->Prepare();
}

void TAdresBoekForm::kiesbuttonClick()
{
    if (m_frame->editing() || m_frame->contact() < 0)
        return;
    done(int(platform::ModalResult::Yes));
}

void TAdresBoekForm::reject()
{
    m_frame->CancelEdit();
    done(int(platform::ModalResult::Cancel));
}

void TAdresBoekForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button1Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

core::AddressChoice OpenAddressBook(const core::AddressBookRequest &request)
{
    int book = request.bookId;
    // A contact looked at from elsewhere opens in its own book.
    if (book < 0 && request.contactId >= 0) {
        const auto rs = core::Query(ContactBookSql(request.contactId));
        if (rs->RowCount() > 0)
            book = rs->Row(0).value(0).toInt();
    }
    TAdresBoekForm form(QApplication::activeWindow());
    form.NawFrame1()->setBook(book);
    form.NawFrame1()->setContact(request.contactId);
    form.setChoosing(request.choose);
    core::AddressChoice choice;
    choice.modalResult = form.exec();
    choice.contactId = form.NawFrame1()->contact();
    return choice;
}

void RegisterAddressBookOpener(core::TRegistry &registry)
{
    registry.registerOpener<core::AddressBookRequest>(OpenAddressBook);
}

}  // namespace extras
