#pragma once
// The two controls of the texts folder that the film and promo windows use:
// the combo box that drops down on typing (the cinema field) and the text
// editor (a programme's long description). The subsystem folders do not
// include each other, so app/ supplies both at start-up; without them the
// windows fall back to plain Qt controls that keep the text as it is stored.

#include <QString>

#include <functional>

class QComboBox;
class QWidget;

namespace extras {

// An editor of text in the stored form ("<br>" and "<hrt>" line ends).
struct StoredTextEditor {
    QWidget *widget = nullptr;
    std::function<QString()> storedText;
    std::function<void(const QString &)> setStoredText;
};

struct TextWidgets {
    // A box of "id name" items that shows the names and drops down on typing.
    std::function<QComboBox *(QWidget *parent)> comboBox;
    std::function<StoredTextEditor(QWidget *parent)> textEditor;
};

void setTextWidgets(TextWidgets widgets);

// Made by what was supplied, or by the fallback.
QComboBox *MakeCinemaBox(QWidget *parent);
StoredTextEditor MakeTextEditor(QWidget *parent);

}  // namespace extras
