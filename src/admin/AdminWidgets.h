#pragma once
// What every page of the settings dialog is made of: lists and drop-downs
// of "id name" entries that show only the name, buttons named as the system
// names them, and the input panel for settings strings.
//
// DESIGN
// Entries keep the list format (the row id, a space, the name) as their
// text, so the id travels with the entry and tests read it back; a paint
// function draws the name one pixel in from the left. The input panel lives
// in the texts folder, which this folder may not include, so app/ supplies
// it at start-up (setSettingsPanelFactory); without it a plain text box
// holds the values string as it is stored.

#include <QComboBox>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QListWidget;
class QPushButton;

namespace admin {

// The text of an entry after its leading id (a run of digits and minus
// signs) and the one character after that.
QString EntryName(const QString &entry);
// The leading id of entry; raises platform::ConversionError when it has none.
int EntryId(const QString &entry);

// An owner-drawn list of entries.
QListWidget *EntryList(const QString &name, QWidget *parent);

// A drop-down of entries that shows names, in the popup and in the box.
class TEntryComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TEntryComboBox(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The entries of a two-column select (id, name) as "id name"; empty when the
// statement failed (its error was shown).
QStringList QueryEntries(const QString &sql);

// Refills list with entries; the selection is the caller's.
void SetEntries(QListWidget *list, const QStringList &entries);
void SetEntries(QComboBox *box, const QStringList &entries);

// The id of the selected entry, or nothing without a selection.
std::optional<int> SelectedId(const QListWidget *list);
std::optional<int> SelectedId(const QComboBox *box);

// Selects the row at index, limited to the last row; -1 (or an empty list)
// selects nothing.
void SelectRow(QListWidget *list, int index);

QPushButton *Button(const QString &name, const QString &text, QWidget *parent);

// The template-driven input panel as the pages use it.
struct SettingsPanel {
    QWidget *widget = nullptr;
    std::function<void(const QString &definition)> setTemplate;
    std::function<QString()> values;
    std::function<void(const QString &values)> setValues;
};
using SettingsPanelFactory = std::function<SettingsPanel(QWidget *parent)>;

void setSettingsPanelFactory(SettingsPanelFactory factory);
SettingsPanel MakeSettingsPanel(QWidget *parent);

}  // namespace admin
