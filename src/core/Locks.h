#pragma once
// Named locks with a refusal the user can read, and the user-name
// substitution of texts. Both block on the server or the database.

#include <QString>

namespace core {

// The refusal message with every "$lockedby$" (any letter case) replaced by holder.
QString LockRefusalText(const QString &message, const QString &holder);

// Asks the server for the lock "lock " + name. Granted: true, nothing shown.
// Refused (or the server unreachable): the refusal message, with the holder
// named by the server's "lockedby" line, in an information box, and false.
// The caller sends "unlock " + name afterwards, and only when granted.
bool RequestLock(const QString &lockName, const QString &refusalMessage);

// text with every "$username$" (exact case) replaced by the login name of
// userId in lower case, or "onbekend" when there is no such user.
QString SubstituteUserName(int userId, const QString &text);

}  // namespace core
