#include "extras/TextWidgets.h"

#include <QComboBox>
#include <QPlainTextEdit>

namespace extras {

namespace {

TextWidgets &installed()
{
    static TextWidgets widgets;
    return widgets;
}

}  // namespace

void setTextWidgets(TextWidgets widgets)
{
    installed() = std::move(widgets);
}

QComboBox *MakeCinemaBox(QWidget *parent)
{
    if (installed().comboBox)
        return installed().comboBox(parent);
    return new QComboBox(parent);
}

StoredTextEditor MakeTextEditor(QWidget *parent)
{
    if (installed().textEditor)
        return installed().textEditor(parent);
    // The stored form is shown as it is, so it goes back unchanged.
    auto *edit = new QPlainTextEdit(parent);
    return {edit, [edit] { return edit->toPlainText(); }, [edit](const QString &text) { edit->setPlainText(text); }};
}

}  // namespace extras
