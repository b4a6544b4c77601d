#pragma once
// How the agenda item editor reaches the address book and the archive, which
// live in other subsystems: through the registry's openers, with a callback as
// the last argument because an opener returns nothing.
//
//   "addressbook.choose"  args {done}             the address book in choosing mode
//                                                 ("&Kiezen" shown); done(6, {address id})
//                                                 when closed with "&Kiezen"
//   "addressbook.edit"    args {address id, done} the address book positioned on the
//                                                 id; done(1, {}) when closed with OK
//   "archive.choose"      args {done}             the archive search in choosing mode;
//                                                 done(6, {text id, ...}) with the
//                                                 chosen ids in selection order
// Any other result means nothing was chosen; an opener that is not registered
// leaves the editor's button without effect.

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>

namespace planning::choosers {

using Done = std::function<void(int modalResult, const QVariantList &chosen)>;

inline const QString ChooseAddress = QStringLiteral("addressbook.choose");
inline const QString EditAddress = QStringLiteral("addressbook.edit");
inline const QString ChooseArchive = QStringLiteral("archive.choose");

inline QVariant wrap(Done done) { return QVariant::fromValue(std::move(done)); }
inline Done unwrap(const QVariant &v) { return v.value<Done>(); }

}  // namespace planning::choosers
