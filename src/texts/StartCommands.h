#pragma once
// The start commands of a template (tbltemplate.initial), run when a version
// is made without a basis: "name=value;" pairs that set the headline, add to
// the text, ask the editor, warn, or move the defaults of the new clock.
//
// DESIGN
// Reading and running are apart: ParseStartCommands gives the commands in
// order, RunStartCommands applies them to a TStartResult the caller only
// takes over when every command ran. A value that does not read as the
// number or time its command needs raises platform::ConversionError, which
// ends the creation before anything is inserted; the window keeps showing
// the version it showed.

#include "texts/Clocks.h"

#include <QList>
#include <QString>

#include <functional>

namespace texts {

struct StartCommand {
    QString name;  // trimmed and lowercased; empty for a command without "="
    QString value;  // with every "$agendakop$" (any case) replaced by the topic title

    bool operator==(const StartCommand &) const = default;
};

// Reads initial character by character: "=" ends a name (a further "=" makes
// what was read since the name the new name), ";" ends a command, anything
// after the last ";" is ignored.
QList<StartCommand> ParseStartCommands(const QString &initial, const QString &topicTitle);

struct TStartResult {
    QString headline;  // the new version's kop
    QString body;  // its stored text
    ClockDefaults defaults;  // the frame's clock defaults, moved by the commands
};

struct TStartHooks {
    QDate today;
    std::function<void(const QString &text)> warning;  // information box
    std::function<bool(const QString &prompt, QString &answer)> ask;  // TInvoer "Invoer"
};

// Applies commands to result in order; unknown names are ignored.
void RunStartCommands(const QList<StartCommand> &commands, TStartResult &result, const TStartHooks &hooks);

// An answer of "requestbody"/"requestkop": lowercased, trimmed, first letter
// upper case.
QString CapitalisedAnswer(const QString &answer);

}  // namespace texts
