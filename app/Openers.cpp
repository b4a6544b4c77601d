#include "Openers.h"

#include "admin/AdminWidgets.h"
#include "admin/InstelDialog.h"
#include "core/Global.h"
#include "core/Registry.h"
#include "extras/AdresBoekForm.h"
#include "extras/FilmLadderDialog.h"
#include "extras/Promo.h"
#include "extras/TextWidgets.h"
#include "output/CyclusFrame.h"
#include "incoming/BronImportDialog.h"
#include "incoming/BronnenFrame.h"
#include "planning/AgendaForm.h"
#include "planning/AgendaFrame.h"
#include "planning/AgendaPuntFrame.h"
#include "planning/EvalForm.h"
#include "planning/KlaarFrame.h"
#include "planning/TodoFrame.h"
#include "texts/ArchiefForm.h"
#include "texts/PersonalEdit.h"
#include "texts/PluginPanel.h"
#include "texts/StylePanel.h"
#include "texts/StyleComboBox.h"
#include "texts/VersieForm.h"
#include "views/ViewForm.h"

#include <QApplication>

namespace app {

void RegisterOpeners(views::TViewForm *viewForm)
{
    core::TRegistry &r = core::registry();
    r.registerOpener<core::ViewTextRequest>([viewForm](const core::ViewTextRequest &request) {
        if (viewForm)
            viewForm->ShowText(request.caption, request.markup);
        return std::monostate{};
    });
    r.registerFrame(core::FrameKind::Bronnen, [](QWidget *parent) { return new incoming::TBronnenFrame(parent); });
    incoming::RegisterSourceImportOpener(r);
    r.registerFrame(core::FrameKind::Agenda, [](QWidget *parent) { return new planning::TAgendaFrame(parent); });
    r.registerFrame(core::FrameKind::Todo, [](QWidget *parent) { return new planning::TTodoFrame(parent); });
    r.registerFrame(core::FrameKind::Klaar, [](QWidget *parent) { return new planning::TKlaarFrame(parent); });
    r.registerFrame(core::FrameKind::Cyclus, [](QWidget *parent) { return new output::TCyclusFrame(parent); });
    r.registerFrame(core::FrameKind::CyclusOnAir, [](QWidget *parent) {
        auto *frame = new output::TCyclusFrame(parent);
        frame->setOnAir(true);
        return frame;
    });
    planning::RegisterEvaluationOpener();
    texts::RegisterVersionsOpener();
    planning::RegisterAgendaItemOpener(r);
    extras::RegisterAddressBookOpener(r);
    extras::setTextWidgets({[](QWidget *parent) {
                                auto *box = new texts::TStyleComboBox(parent);
                                box->setOwnerDrawn(true);
                                return box;
                            },
                            [](QWidget *parent) {
                                auto *edit = new texts::TPersonalEdit(parent);
                                return extras::StoredTextEditor{
                                    edit, [edit] { return edit->StoredText(); },
                                    [edit](const QString &text) { edit->setStoredText(text); }};
                            }});
    extras::RegisterFilmTimesOpener(r);
    extras::RegisterPromoOpener(r);
    texts::RegisterArchiveOpener(r);
    // Plug-in panels get the server and the editor's log-in as they are at the
    // moment a panel is made, not at start-up.
    texts::TPluginPanel::setConnectionProvider([] {
        const core::TProgramState &s = core::state();
        return texts::PluginConnection{s.serverHost, s.serverPort, s.userName, s.autologinPassword};
    });
    admin::RegisterAdminOpeners(r);
    admin::setSettingsPanelFactory([](QWidget *parent) {
        auto *panel = new texts::TStylePanel(parent);
        return admin::SettingsPanel{panel, [panel](const QString &definition) { panel->setTemplate(definition); },
                                    [panel] { return panel->Values(); },
                                    [panel](const QString &values) { panel->setValues(values); }};
    });
    // The frames of the tabs and the windows of the menus register here as
    // their subsystems arrive.
}

}  // namespace app
