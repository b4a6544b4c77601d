#include "platform/IniFile.h"

#include "platform/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace platform {

namespace {

QString decode(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

QString unquote(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

bool isComment(const QString &trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

}  // namespace

// One pass over the lines. A broken section header ends the current section,
// so the keys under it are reported instead of being filed under the section
// before it.
IniFile IniFile::parse(const QByteArray &contents)
{
    IniFile ini;
    IniSection *current = nullptr;
    bool inBrokenSection = false;
    const QStringList lines = decode(contents).split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        auto problem = [&](const QString &reason) { ini.m_problems.append({int(n + 1), line, reason}); };
        if (trimmed.isEmpty() || isComment(trimmed))
            continue;
        if (trimmed.startsWith(u'[')) {
            const qsizetype close = trimmed.indexOf(u']');
            const QString name = close < 0 ? QString() : trimmed.mid(1, close - 1).trimmed();
            const QString rest = close < 0 ? QString() : trimmed.mid(close + 1).trimmed();
            if (close < 0 || name.isEmpty() || !(rest.isEmpty() || isComment(rest))) {
                problem(QStringLiteral("ongeldige sectiekop"));
                current = nullptr;
                inBrokenSection = true;
                continue;
            }
            inBrokenSection = false;
            current = nullptr;
            for (IniSection &s : ini.m_sections)
                if (s.name.compare(name, Qt::CaseInsensitive) == 0)
                    current = &s;
            if (!current) {
                ini.m_sections.append({name, {}});
                current = &ini.m_sections.last();
            }
            continue;
        }
        const qsizetype eq = trimmed.indexOf(u'=');
        if (eq < 0) {
            problem(QStringLiteral("regel zonder '='"));
            continue;
        }
        const QString key = trimmed.left(eq).trimmed();
        if (key.isEmpty()) {
            problem(QStringLiteral("sleutel ontbreekt"));
            continue;
        }
        if (!current) {
            problem(inBrokenSection ? QStringLiteral("sleutel onder een ongeldige sectiekop")
                                    : QStringLiteral("sleutel buiten een sectie"));
            continue;
        }
        current->entries.append({key, unquote(trimmed.mid(eq + 1).trimmed())});
    }
    return ini;
}

IniFile IniFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        IniFile missing;
        missing.m_exists = false;
        return missing;
    }
    return parse(file.readAll());
}

const IniSection *IniFile::find(const QString &section) const
{
    const QString name = section.trimmed();
    for (const IniSection &s : m_sections)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const IniSection &s : m_sections)
        names.append(s.name);
    return names;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    for (const IniEntry &e : entries(section))
        names.append(e.key);
    return names;
}

QList<IniEntry> IniFile::entries(const QString &section) const
{
    const IniSection *s = find(section);
    return s ? s->entries : QList<IniEntry>();
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    if (const IniSection *s = find(section))
        for (const IniEntry &e : s->entries)
            if (e.key.compare(key.trimmed(), Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

QString IniFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    if (const IniSection *s = find(section))
        for (const IniEntry &e : s->entries)
            if (e.key.compare(key.trimmed(), Qt::CaseInsensitive) == 0)
                return e.value;
    return defaultValue;
}

QString iniFilePath()
{
    const QString overridden = qEnvironmentVariable("QUILLON_INI");
    if (!overridden.isEmpty())
        return overridden;
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir(dir).filePath(QStringLiteral("zidad.ini"));
}

QString IniReadString(const QString &section, const QString &key)
{
    return IniFile::load(iniFilePath()).value(section, key);
}

int IniReadInt(const QString &section, const QString &key)
{
    const QString text = IniReadString(section, key);
    if (const auto value = parseInteger(text))
        return *value;
    throw ConversionError(QStringLiteral("'%1' is geen geldig geheel getal ([%2] %3 in %4)")
                              .arg(text, section, key, QDir::toNativeSeparators(iniFilePath())));
}

std::optional<int> IniTryReadInt(const QString &section, const QString &key)
{
    return parseInteger(IniReadString(section, key));
}

std::optional<int> parseInteger(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(u'$') || t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const QString digits = t.mid(t.startsWith(u'$') ? 1 : 2);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        bool ok = false;
        const uint value = digits.toUInt(&ok, 16);
        if (!ok || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return std::nullopt;
        return int(value);  // "$FFFFFFFF" is -1, as 32-bit numbers always read
    }
    qsizetype i = (t.startsWith(u'+') || t.startsWith(u'-')) ? 1 : 0;
    if (i == t.size())
        return std::nullopt;
    for (; i < t.size(); ++i)
        if (t.at(i) < u'0' || t.at(i) > u'9')
            return std::nullopt;
    bool ok = false;
    const int value = t.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace platform
