#include "core/Locks.h"

#include "core/CoreSql.h"
#include "core/Global.h"
#include "core/ServerLink.h"
#include "db/Postgres.h"
#include "platform/Dialogs.h"

namespace core {

const QString kNoServerForLock =
    QStringLiteral("Er is nu geen verbinding met de server, dus dit kan nog niet worden geopend.\n"
                   "Probeer het opnieuw zodra de verbinding hersteld is.");

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
    if (granted)
        return true;
    // Without the server nobody holds it: say what is wrong instead.
    if (state().server && !state().server->isOpen())
        platform::showInformation(kNoServerForLock);
    else
        platform::showInformation(LockRefusalText(refusalMessage, state().lastLockHolder));
    return false;
}

namespace {

// A lock name as the editor knows what it guards.
QString lockedThing(const QString &name)
{
    const QString id = name.section(QLatin1Char('_'), 1);
    if (name.startsWith(QLatin1String("agenda_")))
        return QStringLiteral("agendapunt ") + id;
    if (name.startsWith(QLatin1String("todo_")))
        return QStringLiteral("onderwerp ") + id + QStringLiteral(" van de productielijst");
    if (name.startsWith(QLatin1String("naw_")))
        return QStringLiteral("adres ") + id;
    if (name == QLatin1String("tijden"))
        return QStringLiteral("de filmtijden");
    return name;
}

}  // namespace

QString LostLocksMessage(const QStringList &lost)
{
    QString text = QStringLiteral("De verbinding met de server is hersteld, maar terwijl die weg was heeft een ander "
                                  "geopend wat jij open had:\n");
    for (QString entry : lost) {
        entry.remove(0, 5);  // "lock "
        const QString name = entry.section(QLatin1Char(' '), 0, 0);
        const QString holder = entry.section(QLatin1Char(' '), 1).trimmed();
        text += QStringLiteral("\n- ") + lockedThing(name);
        if (!holder.isEmpty())
            text += QStringLiteral(" (nu geopend door ") + holder + QLatin1Char(')');
    }
    return text + QStringLiteral("\n\nWat je daar nu opslaat, kan zijn of haar werk overschrijven: overleg eerst.");
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
