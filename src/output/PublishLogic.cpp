#include "output/PublishLogic.h"

#include "core/Tokens.h"

namespace output {

QString CollectSelection(const QList<QList<QPair<int, bool>>> &columns)
{
    QString selection = QStringLiteral(" ");
    for (const auto &column : columns)
        for (const auto &[id, checked] : column) {
            const QString word = QString::number(id);
            if (checked && !selection.contains(QLatin1Char(' ') + word + QLatin1Char(' ')))
                selection += word + QLatin1Char(' ');
        }
    return selection;
}

QList<int> SelectionIds(const QString &selection)
{
    QList<int> ids;
    for (const QString &word : selection.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = word.toInt(&ok);
        if (ok)
            ids << id;
    }
    return ids;
}

namespace {

void setState(TPublishProgress &p, const QString &name, FileState state)
{
    for (QString &entry : p.files)
        if (EntryName(entry) == name)
            entry = QString::number(int(state)) + QLatin1Char(' ') + name;
}

int number(const QString &value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok ? n : 0;
}

}  // namespace

void ApplyProgress(TPublishProgress &p, const QString &argument, const QDateTime &now)
{
    QString rest = argument;
    const QString kind = core::TakeWhile(rest, core::Letters).toLower();
    const QString value = rest.mid(1);
    if (kind == QLatin1String("setbar")) {
        p.bar1Max = number(value);
        p.bar1 = 0;
        p.started = now;
        p.clockRunning = true;
    } else if (kind == QLatin1String("setbarup")) {
        p.bar3Max = number(value);
        p.bar3 = 0;
    } else if (kind == QLatin1String("doelfiles")) {
        p.log << QStringLiteral("<bold><blue>Bezig met maken van scripts<normal><black>...");
        p.files.clear();
        for (const QString &name : value.split(QLatin1Char('|')))
            if (!name.isEmpty())
                p.files << QStringLiteral("0 ") + name;
    } else if (kind == QLatin1String("log")) {
        p.log << value;
    } else if (kind == QLatin1String("export")) {
        setState(p, value, FileState::Building);
    } else if (kind == QLatin1String("exportdone")) {
        ++p.bar1;
        setState(p, value, FileState::Built);
    } else if (kind == QLatin1String("exportklaar")) {
        p.log << QStringLiteral("<bold><blue>Bezig met verzenden van scripts<normal><black>...");
    } else if (kind == QLatin1String("upload")) {
        setState(p, value, FileState::Sending);
    } else if (kind == QLatin1String("uploaddone")) {
        ++p.bar3;
        setState(p, value, FileState::Sent);
    } else if (kind == QLatin1String("error")) {
        ++p.bar3;
        setState(p, value, FileState::Failed);
    } else if (kind == QLatin1String("klaar")) {
        p.busy = false;
        p.done = true;
        p.log << QStringLiteral("<bold><green>Klaar met publiceren<normal><black>...");
        p.clockRunning = false;
        p.finished = true;
    }
}

void StartRun(TPublishProgress &p)
{
    p.busy = true;
    p.done = false;
}

void RunRefused(TPublishProgress &p)
{
    p.busy = false;
    p.clockRunning = false;
    p.finished = true;
    p.log << QStringLiteral("<bold><red>Publiceren mislukt: de server heeft de opdracht geweigerd<normal><black>");
}

FileState EntryState(const QString &entry)
{
    const int digit = entry.isEmpty() ? 0 : entry.at(0).digitValue();
    return digit >= 0 && digit <= 5 ? FileState(digit) : FileState::NotDone;
}

QString EntryName(const QString &entry)
{
    return entry.mid(2);
}

QString EntryText(const QString &entry)
{
    const QString name = EntryName(entry);
    switch (EntryState(entry)) {
    case FileState::NotDone: return name;
    case FileState::Building:
    case FileState::Sending: return name + QStringLiteral(" ...");
    case FileState::Built: return name + QStringLiteral(" ");
    case FileState::Sent: return name + QStringLiteral(" ok");
    case FileState::Failed: return name + QStringLiteral(" mislukt");
    }
    return name;
}

QString ElapsedText(const QDateTime &start, const QDateTime &now)
{
    const qint64 s = qMax<qint64>(0, start.secsTo(now));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void TPreview::apply(const QString &argument)
{
    QString rest = argument;
    const QString kind = core::TakeWhile(rest, core::Letters).toLower();
    rest.remove(0, 1);
    bool ok = false;
    const int id = core::TakeWhile(rest, core::Digits).toInt(&ok);
    if (!ok)
        return;
    rest.remove(0, 1);
    if (kind == QLatin1String("bestand")) {
        PreviewFile f;
        f.id = id;
        const QString how = core::TakeWhile(rest, core::Letters);
        f.delivered = how == QLatin1String("verschil");
        f.name = rest.mid(1);
        m_files << f;
        return;
    }
    for (PreviewFile &f : m_files) {
        if (f.id != id)
            continue;
        if (kind == QLatin1String("fout"))
            f.error = rest;
        else if (kind == QLatin1String("regel"))
            f.lines << (rest.isEmpty() ? QStringLiteral(" ") : rest);
        return;
    }
}

QString PreviewEntry(const PreviewFile &f)
{
    QString how;
    if (!f.error.isEmpty()) {
        how = QStringLiteral("kan niet gemaakt worden");
    } else if (!f.delivered) {
        how = QStringLiteral("nieuw");
    } else {
        int changed = 0;
        for (const QString &l : f.lines)
            changed += l.startsWith(QLatin1Char('+')) || l.startsWith(QLatin1Char('-'));
        how = changed ? QStringLiteral("%1 regels anders").arg(changed) : QStringLiteral("ongewijzigd");
    }
    return QString::number(f.id) + QLatin1Char(' ') + f.name + QStringLiteral(" (") + how + QLatin1Char(')');
}

QString PreviewMarkup(const PreviewFile &f)
{
    auto plain = [](QString s) {
        // The view reads "<" as a tag and "&" as an entity.
        return s.replace(QLatin1Char('&'), QStringLiteral("&amp;")).replace(QLatin1Char('<'), QStringLiteral("&#60;"));
    };
    QStringList out;
    out << QStringLiteral("<bold>") + plain(f.name) + QStringLiteral("<normal>");
    if (!f.error.isEmpty()) {
        out << QStringLiteral("<red>") + plain(f.error);
        return out.join(QLatin1Char('\n'));
    }
    out << (f.delivered ? QStringLiteral("Verschil met wat het laatst is verzonden:")
                        : QStringLiteral("Nog nooit verzonden; zo gaat het eruit:"));
    for (const QString &l : f.lines) {
        const QChar c = l.isEmpty() ? QLatin1Char(' ') : l.at(0);
        const QString body = plain(l.mid(1));
        if (c == QLatin1Char('+'))
            out << (f.delivered ? QStringLiteral("<green>+ ") : QStringLiteral("<black>")) + body;
        else if (c == QLatin1Char('-'))
            out << QStringLiteral("<red>- ") + body;
        else
            out << (f.delivered ? QStringLiteral("<black>  ") : QStringLiteral("<black>")) + body;
    }
    return out.join(QLatin1Char('\n'));
}

}  // namespace output
