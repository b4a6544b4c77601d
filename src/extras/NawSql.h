#pragma once
// The statements and server commands of the address book, composed as text
// exactly as the desk's database and server expect them. No widgets and no
// connections: the address book calls these and the tests compare the text.
//
// DESIGN
// The search text goes into "like '%...%'" patterns, so besides the quoting of
// SqlEscape its "%", "_" and "\" are escaped for LIKE (backslash is LIKE's
// escape character): a typed "%" finds a "%" instead of every contact. The
// LIKE escapes are written first, the string quoting over them.

#include "extras/NawSearch.h"

#include <QString>

namespace extras {

QString PlacesSql();  // the names of tblwoonplaats for the place box
QString BooksSql();  // id and name of every book, by name
QString ContactCountSql(int book);
QString BookTypeSql(int book);
QString ContactSql(int id);  // "select *": read with NawContactFromRow
QString ContactBookSql(int id);  // the book a contact is in
QString DeleteContactSql(int id);

// text escaped for the inside of a LIKE pattern in a quoted literal.
QString LikeEscape(const QString &text);

// The search of book for text (lowered here): the person-book statement when
// the infix field is shown, the other one otherwise.
QString NawSearchStatement(int book, const QString &text, bool personBook);

// The update of contact id and the insert into book, every text escaped.
QString NawUpdateStatement(const NawContact &c, int id);
QString NawInsertStatement(const NawContact &c, int book);

// Server commands.
QString ContactLockName(int id);  // "naw_" + id, for RequestLock
QString UnlockContactCommand(int id);

}  // namespace extras
