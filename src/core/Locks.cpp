#include "core/Locks.h"

#include "core/CoreSql.h"
#include "core/Global.h"
#include "db/Postgres.h"
#include "platform/Dialogs.h"

namespace core {

QString LockRefusalText(const QString &message, const QString &holder)
{
    QString text = message;
    return text.replace(QStringLiteral("$lockedby$"), holder, Qt::CaseInsensitive);
}

bool RequestLock(const QString &lockName, const QString &refusalMessage)
{
    // The holder of an earlier refusal must not show up in this one.
    state().lastLockHolder.clear();
    const bool granted = SendCommand(QStringLiteral("lock ") + lockName);
    if (!granted)
        platform::showInformation(LockRefusalText(refusalMessage, state().lastLockHolder));
    return granted;
}

QString SubstituteUserName(int userId, const QString &text)
{
    QString name = QStringLiteral("onbekend");
    auto rs = Query(LoginNameSql(userId));
    if (rs->RowCount() > 0 && !rs->Row(0).isEmpty())
        name = rs->Row(0).at(0).toLower().trimmed();
    QString result = text;
    return result.replace(QStringLiteral("$username$"), name, Qt::CaseSensitive);
}

}  // namespace core
