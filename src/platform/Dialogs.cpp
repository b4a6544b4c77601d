#include "platform/Dialogs.h"
#include "platform/Invoer.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

namespace platform {

namespace {
Dialogs *g_installed = nullptr;

Dialogs &defaultDialogs()
{
    static QtDialogs qt;
    return qt;
}

QWidget *activeParent()
{
    return QApplication::activeWindow();
}
}  // namespace

Dialogs &dialogs()
{
    return g_installed ? *g_installed : defaultDialogs();
}

Dialogs *setDialogs(Dialogs *d)
{
    Dialogs *previous = g_installed;
    g_installed = d;
    return previous;
}

QString boxCaption(BoxType type)
{
    switch (type) {
    case BoxType::Error: return QStringLiteral("Fout");
    case BoxType::Warning: return QStringLiteral("Waarschuwing");
    case BoxType::Information: return QStringLiteral("Informatie");
    case BoxType::Confirmation: return QStringLiteral("Bevestigen");
    }
    return {};
}

QStringList buttonTexts(BoxButtons buttons)
{
    switch (buttons) {
    case BoxButtons::Ok: return {QStringLiteral("OK")};
    case BoxButtons::OkCancel: return {QStringLiteral("OK"), QStringLiteral("Annuleren")};
    case BoxButtons::YesNo: return {QStringLiteral("&Ja"), QStringLiteral("&Nee")};
    case BoxButtons::YesNoCancel: return {QStringLiteral("&Ja"), QStringLiteral("&Nee"), QStringLiteral("Annuleren")};
    }
    return {};
}

void showError(const QString &text)
{
    dialogs().messageBox(BoxType::Error, text, BoxButtons::Ok);
}

void showWarning(const QString &text)
{
    dialogs().messageBox(BoxType::Warning, text, BoxButtons::Ok);
}

void showInformation(const QString &text)
{
    dialogs().messageBox(BoxType::Information, text, BoxButtons::Ok);
}

bool confirm(const QString &text)
{
    return dialogs().messageBox(BoxType::Confirmation, text, BoxButtons::YesNo) == ModalResult::Yes;
}

ModalResult QtDialogs::messageBox(BoxType type, const QString &text, BoxButtons buttons)
{
    QMessageBox box(activeParent());
    box.setWindowTitle(boxCaption(type));
    box.setText(text);
    switch (type) {
    case BoxType::Error: box.setIcon(QMessageBox::Critical); break;
    case BoxType::Warning: box.setIcon(QMessageBox::Warning); break;
    case BoxType::Information: box.setIcon(QMessageBox::Information); break;
    case BoxType::Confirmation: box.setIcon(QMessageBox::Question); break;
    }
    const QStringList texts = buttonTexts(buttons);
    QList<QPair<QPushButton *, ModalResult>> map;
    auto add = [&](const QString &caption, QMessageBox::ButtonRole role, ModalResult result) {
        map.append({box.addButton(caption, role), result});
    };
    switch (buttons) {
    case BoxButtons::Ok: add(texts[0], QMessageBox::AcceptRole, ModalResult::Ok); break;
    case BoxButtons::OkCancel:
        add(texts[0], QMessageBox::AcceptRole, ModalResult::Ok);
        add(texts[1], QMessageBox::RejectRole, ModalResult::Cancel);
        break;
    case BoxButtons::YesNo:
        add(texts[0], QMessageBox::YesRole, ModalResult::Yes);
        add(texts[1], QMessageBox::NoRole, ModalResult::No);
        break;
    case BoxButtons::YesNoCancel:
        add(texts[0], QMessageBox::YesRole, ModalResult::Yes);
        add(texts[1], QMessageBox::NoRole, ModalResult::No);
        add(texts[2], QMessageBox::RejectRole, ModalResult::Cancel);
        break;
    }
    box.exec();
    for (const auto &[button, result] : map)
        if (box.clickedButton() == button)
            return result;
    return ModalResult::Cancel;
}

bool QtDialogs::inputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength)
{
    TInvoer dialog(activeParent());
    return dialog.ask(caption, prompt, value, maxLength);
}

bool QtDialogs::chooseColor(QColor &color)
{
    const QColor chosen = QColorDialog::getColor(color, activeParent());
    if (!chosen.isValid())
        return false;
    color = chosen;
    return true;
}

QString QtDialogs::openFileName(const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(activeParent(), caption, dir, filter);
}

QString QtDialogs::saveFileName(const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getSaveFileName(activeParent(), caption, dir, filter);
}

bool QtDialogs::printDialog(QPrinter &printer)
{
    QPrintDialog dialog(&printer, activeParent());
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace platform
