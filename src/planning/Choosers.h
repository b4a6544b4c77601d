#pragma once
// How the agenda item editor reaches the address book and the archive, which
// live in other subsystems: through the registry's openers, which return
// nothing, so a reply object passed as the last argument receives the result
// as properties ("modalResult", and "contactId" or "chosenIds").
//
//   "addressbook"  args {book id, contact id, choose, reply}
//   "archive"      args {choose, reply}
// An opener that is not registered gives result 0: nothing was chosen.

#include <QVariantList>

namespace planning::choosers {

struct Choice {
    int modalResult = 0;  // 6 when closed with "&Kiezen"
    QVariantList chosen;  // the contact id, or the chosen text ids in selection order
};

// The address book in choosing mode, on the first book.
Choice ChooseAddress();

// The address book on contact id, in its own book; the modal result (1 when
// closed with "Sluiten / &Opslaan").
int EditAddress(int id);

// The archive search in choosing mode.
Choice ChooseArchive();

}  // namespace planning::choosers
