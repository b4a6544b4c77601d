#include "texts/PopupChars.h"

#include "platform/CodePage.h"
#include "texts/PersonalEdit.h"
#include "texts/PopupComponent.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>

namespace texts {

TPopupChars::TPopupChars(QWidget *parent) : QMenu(parent)
{
    for (int code = FirstCode; code <= LastCode; ++code) {
        QAction *item = addAction(captionFor(code));
        item->setData(code);
    }
    connect(this, &QMenu::triggered, this, &TPopupChars::itemChosen);
}

QString TPopupChars::captionFor(int code)
{
    return QString(platform::oemToUnicode(static_cast<unsigned char>(code))) + QStringLiteral(" (") +
           QString::number(code) + QLatin1Char(')');
}

void TPopupChars::attach(QWidget *control)
{
    if (!control)
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        attachLineEdit(edit);
        return;
    }
    for (QLineEdit *edit : control->findChildren<QLineEdit *>()) {
        QWidget *owner = edit->parentWidget();
        if (qobject_cast<QComboBox *>(owner) || qobject_cast<QAbstractSpinBox *>(owner))
            continue;
        attachLineEdit(edit);
    }
}

void TPopupChars::attachLineEdit(QLineEdit *edit)
{
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this, &TPopupChars::lineEditMenuRequested,
            Qt::UniqueConnection);
}

QObject *TPopupChars::popupComponent() const
{
    return property(PopupComponentProperty).value<QObject *>();
}

void TPopupChars::popupFor(QWidget *component, const QPoint &globalPos)
{
    setProperty(PopupComponentProperty, QVariant::fromValue(static_cast<QObject *>(component)));
    popup(globalPos);
}

void TPopupChars::lineEditMenuRequested(const QPoint &pos)
{
    if (auto *edit = qobject_cast<QLineEdit *>(sender()))
        popupFor(edit, edit->mapToGlobal(pos));
}

void TPopupChars::itemChosen(QAction *action)
{
    bool ok = false;
    const int code = action->data().toInt(&ok);
    if (!ok || code < 0 || code > 255)
        return;
    const QChar c = platform::oemToUnicode(static_cast<unsigned char>(code));
    QObject *component = popupComponent();
    if (auto *edit = qobject_cast<QLineEdit *>(component))
        edit->insert(QString(c));
    else if (auto *editor = qobject_cast<TPersonalEdit *>(component))
        editor->typeChar(c);
}

}  // namespace texts
