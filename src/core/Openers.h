#pragma once
// What passes between a window of one subsystem and the subsystem that opens
// it: one request struct per window, naming its result type.
//
// DESIGN
// The registry (Registry.h) keeps one opener per request type, so the
// compiler checks both directions: a caller cannot pass a contact id where a
// book id is meant, and an opener cannot answer with the wrong result. An
// opener creates its window, shows it modally (unless said otherwise), frees
// it and returns what the caller reads afterwards. Modal results are the
// numbers of platform::ModalResult: 1 OK, 2 Cancel, 6 Yes. Windows without
// an answer return std::monostate; the registry still tells the caller
// whether an opener ran. Every field has a default, so callers name only
// what they set ({.choose = true}).

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

namespace core {

// ---- address book (TAdresBoekForm) ----------------------------------------

struct AddressChoice {
    int modalResult = 0;  // 1 "Sluiten / &Opslaan", 2 "&Afbreken", 6 "&Kiezen"
    int contactId = -1;  // the contact shown when the window closed; -1 none
};

struct AddressBookRequest {
    using Result = AddressChoice;
    int bookId = -1;  // -1: the contact's own book, else the first book
    int contactId = -1;  // the contact to show; -1 none
    bool choose = false;  // shows "&Kiezen"
};

// ---- archive search (TArchiefForm) ----------------------------------------

struct ArchiveChoice {
    int modalResult = 0;  // 6 "&Kiezen", 2 "&Sluiten"
    QList<int> textIds{};  // chosen text ids in selection order
    QString plainText{};  // the text shown last: headline, an empty line, text
};

struct ArchiveRequest {
    using Result = ArchiveChoice;
    bool choose = false;  // shows "&Kiezen"
};

// ---- the shared text view window (TViewForm) ------------------------------

// Shown without waiting and brought to the front.
struct ViewTextRequest {
    using Result = std::monostate;
    QString caption{};
    QString markup{};  // THighlightView markup
};

// ---- the agenda item dialog (TAgendaForm) ---------------------------------

struct AgendaItemResult {
    int modalResult = 0;  // 1 stored after "&Opslaan"; 2 otherwise ("&Afbreken" answered Yes still stores)
    int agendaId = -1;  // the id stored (a new item's new id); -1 when nothing was stored
};

// The opener loads agendaId, applies what is set below in the order of the
// fields, shows the dialog and, on "&Opslaan", runs beforeSave (once) and
// saves: the row, its link statements and the "agenda new" or "agenda
// update" broadcast; a save the database refuses shows the dialog again. The
// caller holds the lock "agenda_" + id where one is needed.
struct AgendaItemRequest {
    using Result = AgendaItemResult;
    int agendaId = -1;  // the item to load; -1 a new item
    bool makeNew = false;  // after loading: saving inserts a copy (a follow-up)
    QString subjectPrefix{};  // put in front of the loaded subject ("followup: ")
    std::optional<QDate> date{};  // the presets, each only when set
    std::optional<QString> onderwerp{};
    std::optional<QString> opmerkingen{};
    std::optional<QString> bron{};
    int repeatId = -1;  // the tblagendaherhaal row the insert takes up; -1 none
    int followUpId = -1;  // the earlier item this one follows up (shown in Edit3); -1 none
    QList<QPair<int, QString>> archiveLinks{};  // text id and kop: shown, and linked by the save
    std::function<void()> beforeSave{};  // the caller's own statements, after OK and before the save
};

// ---- the versions window of a topic (TVersieForm) -------------------------

struct VersionsResult {
    bool hasVersions = false;  // false: the topic had none and none was made; the window was not shown
    int modalResult = 0;  // 1 "&Opslaan", 2 closed otherwise; 0 when not shown
};

// The caller holds the topic's lock ("todo_" + id and the like).
struct VersionsRequest {
    using Result = VersionsResult;
    int agendaId = -1;  // the topic
    int preferredVersionId = -1;  // the version to select; -1 the first
};

// ---- the topic evaluation (TEvalForm) ---------------------------------------

struct EvaluationResult {
    int modalResult = 0;  // 1 every topic evaluated ("Evaluatie voltooid"), 2 "Sluiten"
};

// Today's topics of the current team; decisions are stored one at a time.
struct EvaluationRequest {
    using Result = EvaluationResult;
};

// ---- the source import dialog (TBronImportDialog) -------------------------

struct SourceImportResult {
    int modalResult = 0;  // 1 "&Kiezen", 2 "&Afbreken"
    QString text{};  // the chosen item's text (the bulletin-board mail shown, for a board)
};

struct SourceImportRequest {
    using Result = SourceImportResult;
};

// ---- windows of the main menu, without arguments --------------------------

struct SettingsRequest {  // settings dialog, after its password check
    using Result = std::monostate;
};

struct SqlWindowRequest {  // SQL window
    using Result = std::monostate;
};

struct FilmTimesRequest {  // film-times dialog; the caller holds the lock "tijden"
    using Result = std::monostate;
};

struct PromoRequest {  // promo window
    using Result = std::monostate;
};

}  // namespace core
