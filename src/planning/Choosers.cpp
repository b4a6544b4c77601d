#include "planning/Choosers.h"

#include "core/Registry.h"

#include <QObject>
#include <QVariant>

namespace planning::choosers {

namespace {

// Runs the opener with reply appended to args and reads the result back.
Choice ask(const QString &opener, QVariantList args, const char *chosenProperty) {
    QObject reply;
    args << QVariant::fromValue(&reply);
    Choice c;
    if (!core::registry().open(opener, args))
        return c;
    c.modalResult = reply.property("modalResult").toInt();
    const QVariant chosen = reply.property(chosenProperty);
    c.chosen = chosen.typeId() == QMetaType::QVariantList ? chosen.toList() : QVariantList{chosen};
    return c;
}

}  // namespace

Choice ChooseAddress() { return ask(core::openers::AddressBook, {-1, -1, true}, "contactId"); }

int EditAddress(int id) { return ask(core::openers::AddressBook, {-1, id, false}, "contactId").modalResult; }

Choice ChooseArchive() { return ask(core::openers::Archive, {true}, "chosenIds"); }

}  // namespace planning::choosers
