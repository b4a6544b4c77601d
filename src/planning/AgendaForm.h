#pragma once
// TAgendaForm: the modal dialog "Agendapunt" that hosts the agenda item
// editor. Callers create it, Load, may preset fields, exec() and Save on
// OK ("&Opslaan"); "&Afbreken" asks whether to save and always closes with
// Cancel, so a caller never saves twice.

#include "core/Openers.h"

#include <QDialog>
#include <QStringList>

#include <optional>

class QPushButton;

namespace core {
class TRegistry;
}

namespace planning {

class TAgendaPuntFrame;

class TAgendaForm : public QDialog {
    Q_OBJECT
public:
    // The message the editor's "..." button sends: lParam is the follow-up id.
    static constexpr int WM_OPEN_FOLLOWUP = 1025;

    explicit TAgendaForm(QWidget *parent = nullptr);

    TAgendaPuntFrame *AgendaPuntFrame1() const { return m_frame; }
    QPushButton *Button1() const { return m_cancel; }  // "&Afbreken"
    QPushButton *Button2() const { return m_save; }  // "&Opslaan"

    // Message 1025 opens the item lParam in a second dialog of its own (no
    // lock), saving it on OK. Returns true when the message was known.
    bool HostMessage(int msg, qintptr wParam, qintptr lParam);

    // "&Afbreken" and Escape: "Wijzigingen opslaan?" Yes saves and closes,
    // No closes, Cancel stays; both closes give Rejected. A new item left as
    // it was first shown (its presets included) closes without the question.
    void Button1Click();

    void reject() override;

    // True once "&Afbreken" answered Yes has saved the item.
    bool savedOnCancel() const { return m_savedOnCancel; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    TAgendaPuntFrame *m_frame;
    QPushButton *m_save;
    QPushButton *m_cancel;
    bool m_savedOnCancel = false;
    std::optional<QStringList> m_firstShown;  // the editor's state when first shown
};

// Opens the dialog for request over parent: creates it, loads, presets,
// shows it modally, saves on "&Opslaan" and frees it. A save the database
// refuses shows the dialog again. request.beforeSave runs once, at the first
// "&Opslaan". Throws platform::ConversionError from the load of a malformed row.
core::AgendaItemResult OpenAgendaItem(const core::AgendaItemRequest &request, QWidget *parent);

// Registers OpenAgendaItem, over the active window, as the opener of
// core::AgendaItemRequest.
void RegisterAgendaItemOpener(core::TRegistry &registry);

}  // namespace planning
