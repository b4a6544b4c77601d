#include "texts/TemplateStrings.h"

#include <QSet>

namespace texts {

namespace {
constexpr QChar kSeparator = u':';
constexpr QChar kQuote = u'"';
constexpr QChar kEscape = u'\\';

bool needsQuoting(const QString &name)
{
    return name.contains(kSeparator) || name.contains(kQuote) || name.contains(kEscape);
}
}  // namespace

FieldReader::FieldReader(const QString &text) : m_text(text) {}

QString FieldReader::next()
{
    QString field;
    bool quoted = false;
    while (m_pos < m_text.size()) {
        const QChar c = m_text.at(m_pos++);
        if (quoted) {
            if (c == kQuote)
                quoted = false;
            else if (c == kEscape) {
                if (m_pos < m_text.size())
                    field += m_text.at(m_pos++);
            } else
                field += c;
        } else if (c == kQuote)
            quoted = true;
        else if (c == kSeparator)
            break;
        else
            field += c;
    }
    return field;
}

void FieldReader::append(const QString &more)
{
    m_text.remove(0, m_pos);
    m_pos = 0;
    if (!m_text.isEmpty() && !m_text.endsWith(kSeparator))
        m_text += kSeparator;
    m_text += more;
}

QList<TemplateEntry> parseDefinition(const QString &definition, const MergeLookup &lookup)
{
    QList<TemplateEntry> entries;
    QSet<QString> merged;
    FieldReader reader(definition);
    while (!reader.atEnd()) {
        TemplateEntry e;
        e.kind = reader.next().toLower();
        e.name = reader.next();
        if (e.kind == QLatin1String("merge")) {
            if (lookup && !merged.contains(e.name)) {
                merged.insert(e.name);
                reader.append(lookup(e.name));
            }
            continue;
        }
        if (e.kind != QLatin1String("info")) {
            e.caption = reader.next();
            e.defaultValue = reader.next();
        }
        entries.append(e);
    }
    return entries;
}

QStringList comboItems(const QString &defaultValue)
{
    QStringList items;
    FieldReader reader(defaultValue);
    while (!reader.atEnd())
        items.append(reader.next());
    return items;
}

QueryBoxSpec parseQueryBox(const QString &defaultValue)
{
    QueryBoxSpec queryBox;
    const qsizetype comma = defaultValue.indexOf(u',');
    if (comma < 0) {
        queryBox.table = defaultValue;
        return queryBox;
    }
    bool ok = false;
    const int n = defaultValue.left(comma).trimmed().toInt(&ok);
    if (ok && n > 0)
        queryBox.maxLength = n;
    queryBox.table = defaultValue.mid(comma + 1);
    return queryBox;
}

QString itemId(const QString &item)
{
    qsizetype n = 0;
    while (n < item.size() && item.at(n).isDigit() && item.at(n).unicode() < 128)
        ++n;
    return item.left(n);
}

QString itemName(const QString &item)
{
    qsizetype n = itemId(item).size();
    while (n < item.size() && item.at(n) == u' ')
        ++n;
    return item.mid(n);
}

QList<ValuePair> parseValues(const QString &values)
{
    QList<ValuePair> pairs;
    FieldReader reader(values);
    while (!reader.atEnd()) {
        ValuePair p;
        p.name = reader.next();
        p.value = reader.next();
        pairs.append(p);
    }
    return pairs;
}

QString escapeQuoted(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == kQuote || c == kEscape)
            out += kEscape;
        out += c;
    }
    return out;
}

QString formatEscapedValues(const QList<ValuePair> &escapedPairs)
{
    QString out;
    for (const ValuePair &p : escapedPairs) {
        out += kSeparator;
        out += needsQuoting(p.name) ? kQuote + escapeQuoted(p.name) + kQuote : p.name;
        out += kSeparator;
        out += kQuote + p.value + kQuote;
    }
    return out.mid(1);
}

QString formatValues(const QList<ValuePair> &pairs)
{
    QList<ValuePair> escaped;
    escaped.reserve(pairs.size());
    for (const ValuePair &p : pairs)
        escaped.append({p.name, escapeQuoted(p.value)});
    return formatEscapedValues(escaped);
}

QList<EditorSetting> parseEditorSettings(const QString &text)
{
    QList<EditorSetting> settings;
    QString name;
    QString collected;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == kQuote)
                quoted = false;
            else if (c == kEscape) {
                if (i + 1 < text.size())
                    collected += text.at(++i);
            } else
                collected += c;
        } else if (c == kQuote)
            quoted = true;
        else if (c == u'=') {
            name = collected;
            collected.clear();
        } else if (c == u';') {
            settings.append({name, collected});
            name.clear();
            collected.clear();
        } else
            collected += c;
    }
    return settings;
}

}  // namespace texts
