#include "texts/StartCommands.h"

#include "platform/Errors.h"
#include "texts/StoredText.h"

namespace texts {

namespace {

int readDays(const QString &value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (!ok)
        throw platform::ConversionError(QStringLiteral("'%1' is geen geldig geheel getal").arg(value));
    return n;
}

}  // namespace

QList<StartCommand> ParseStartCommands(const QString &initial, const QString &topicTitle)
{
    QList<StartCommand> commands;
    QString name, collected;
    for (const QChar c : initial) {
        if (c == QLatin1Char('=')) {
            name = collected;
            collected.clear();
        } else if (c == QLatin1Char(';')) {
            QString value = collected;
            value.replace(QStringLiteral("$agendakop$"), topicTitle, Qt::CaseInsensitive);
            commands << StartCommand{name.trimmed().toLower(), value};
            name.clear();
            collected.clear();
        } else {
            collected += c;
        }
    }
    return commands;
}

QString CapitalisedAnswer(const QString &answer)
{
    QString s = answer.toLower().trimmed();
    if (!s.isEmpty())
        s[0] = s.at(0).toUpper();
    return s;
}

void RunStartCommands(const QList<StartCommand> &commands, TStartResult &r, const TStartHooks &hooks)
{
    for (const StartCommand &c : commands) {
        const QString &n = c.name;
        if (n == QLatin1String("warning")) {
            if (hooks.warning)
                hooks.warning(c.value);
        } else if (n == QLatin1String("startdate")) {
            r.defaults.startDate = hooks.today.addDays(readDays(c.value));
        } else if (n == QLatin1String("enddate")) {
            r.defaults.endDate = hooks.today.addDays(readDays(c.value));
        } else if (n == QLatin1String("starttime")) {
            r.defaults.startTime = ReadTime(c.value);
        } else if (n == QLatin1String("endtime")) {
            r.defaults.endTime = ReadTime(c.value);
        } else if (n == QLatin1String("intime")) {
            r.defaults.inTime = ReadTime(c.value);
        } else if (n == QLatin1String("outtime")) {
            r.defaults.outTime = ReadTime(c.value);
        } else if (n == QLatin1String("setkop")) {
            r.headline = c.value;
        } else if (n == QLatin1String("addbody")) {
            r.body += c.value;
        } else if (n == QLatin1String("requestbody") || n == QLatin1String("requestkop")) {
            QString answer;
            if (!hooks.ask || !hooks.ask(c.value, answer))
                continue;
            answer = CapitalisedAnswer(answer);
            if (n == QLatin1String("requestkop"))
                r.headline = answer;
            else  // typed text: a "<" in it is a character, not a tag
                r.body = answer.replace(QLatin1Char('<'), LessThanTag.toString());
        }
    }
}

}  // namespace texts
