#include "core/Global.h"

#include "core/ServerLink.h"
#include "db/Postgres.h"

namespace core {

TProgramState &state()
{
    static TProgramState instance;
    return instance;
}

QString PadRights(const QString &rights)
{
    return rights.leftJustified(16, QLatin1Char('-'));
}

void ApplyRights(TProgramState &s, const QString &rights)
{
    const QString r = PadRights(rights);
    s.finalEditorRight = r.at(0) == QLatin1Char('x');
    s.administrator = r.at(1) == QLatin1Char('x');
}

bool SendCommand(const QString &command)
{
    return state().server ? state().server->SendCommand(command) : false;
}

bool SendCommandEx(const QString &command, QString &result)
{
    return state().server ? state().server->SendCommandEx(command, result) : false;
}

void ShowStatusLine(const QString &text)
{
    if (state().main)
        state().main->ShowStatusLine(text);
}

void LogStatus(const QString &text)
{
    if (state().main)
        state().main->LogStatus(text);
}

void AddAnnouncement(const QString &sender, const QString &text)
{
    if (state().server)
        state().server->client().announce(sender, text);
}

}  // namespace core
