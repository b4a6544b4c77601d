#pragma once
// Named locks with a refusal the user can read, and the user-name
// substitution of texts. Both block on the server or the database.

#include <QString>
#include <QStringList>

namespace core {

// The refusal message with every "$lockedby$" (any letter case) replaced by holder.
QString LockRefusalText(const QString &message, const QString &holder);

// Shown by RequestLock while the server connection is gone.
extern const QString kNoServerForLock;

// Asks the server for the lock "lock " + name. Granted: true, nothing shown.
// Refused: the refusal message, with the holder named by the server's
// "lockedby" line, in an information box, and false. Without a server
// connection kNoServerForLock is shown instead, and false.
// The caller sends "unlock " + name afterwards, and only when granted.
bool RequestLock(const QString &lockName, const QString &refusalMessage);

// The warning after a lost connection came back, for the locks another
// editor took meanwhile (TServerLink::restoreSession: "lock name holder").
QString LostLocksMessage(const QStringList &lost);

// text with every "$username$" (exact case) replaced by the login name of
// userId in lower case, or "onbekend" when there is no such user.
QString SubstituteUserName(int userId, const QString &text);

}  // namespace core
