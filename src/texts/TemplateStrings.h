#pragma once
// The three small text formats of the template-driven input panel, as plain
// functions without widgets:
//
//   definition string  kind:name:caption:default:...  the fields of a form
//   value string       name:"value":name:"value"      what the form holds
//   editor settings    name=value;name=value;         set-up of the text editor
//
// DESIGN. Definition and value strings share one field reader: a field runs to
// the next ':' outside double quotes; inside quotes a backslash makes the next
// character ordinary. The value writer escapes '"' and '\' inside its quotes
// so every value reads back unchanged, while strings written without those
// characters (everything stored so far) read exactly as they always did. The
// editor settings reader keeps an escaped character the same way.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace texts {

// Walks a definition or value string field by field. The unread rest can grow
// while reading ("merge" appends a template's definition to it).
class FieldReader {
public:
    explicit FieldReader(const QString &text = QString());

    bool atEnd() const { return m_pos >= m_text.size(); }

    // Reads the field at the current position and consumes the ':' that ends
    // it. Quotes are dropped; inside a quoted run ':' is ordinary and a
    // backslash is dropped while the character after it is kept. A quoted run
    // left open ends with the text; at the end an empty field is returned.
    QString next();

    // Appends more to the unread rest, joined by ':' unless the rest is empty
    // or already ends with ':'. Appended fields are read after all others.
    void append(const QString &more);

    QString rest() const { return m_text.mid(m_pos); }

private:
    QString m_text;
    qsizetype m_pos = 0;
};

// One entry of a definition, in the order the rows are built.
struct TemplateEntry {
    QString kind;  // lowercased: "edit", "memo", "info", "plugin_x", ...
    QString name;  // control name; for "info" the text shown
    QString caption;  // label text (empty for "info")
    QString defaultValue;  // kind-specific start value (empty for "info")

    bool operator==(const TemplateEntry &) const = default;
};

// Supplies the definition text of the template called name; empty when there
// is none.
using MergeLookup = std::function<QString(const QString &name)>;

// Reads a whole definition. "merge" entries are resolved through lookup (in
// reading order) and leave no entry of their own; without a lookup they merge
// nothing. Each template name is merged at most once per definition, so a
// template that merges itself, directly or through others, cannot loop.
QList<TemplateEntry> parseDefinition(const QString &definition, const MergeLookup &lookup = {});

// The items of a "combobox" default: its fields, so a quoted default can hold
// several. An empty default gives no items.
QStringList comboItems(const QString &defaultValue);

// A "querybox" default: "[n,]table". A length that is not a positive number
// leaves the limit at 255.
struct QueryBoxSpec {
    QString table;
    int maxLength = 255;
};
QueryBoxSpec parseQueryBox(const QString &defaultValue);

// List items of the form id + ' ' + name: the leading digits (the id), and
// the name shown (the text after the leading digits and the spaces after them).
QString itemId(const QString &item);
QString itemName(const QString &item);

// One name and its value of a value string.
struct ValuePair {
    QString name;
    QString value;

    bool operator==(const ValuePair &) const = default;
};

// Reads a value string as alternating name and value fields; a name left
// without a value gets the empty value.
QList<ValuePair> parseValues(const QString &values);

// Writes name:"value" pairs joined by ':'. Inside the quotes '"' and '\' are
// preceded by a backslash; a name holding ':', '"' or '\' is quoted the same
// way. Without such characters the text is what it always was.
QString formatValues(const QList<ValuePair> &pairs);

// The escaping formatValues applies inside the quotes of a value.
QString escapeQuoted(const QString &text);

// formatValues for values already escaped by the caller: each is written
// between the quotes as it is.
QString formatEscapedValues(const QList<ValuePair> &escapedPairs);

// One name=value pair of an editor settings text.
struct EditorSetting {
    QString name;
    QString value;

    bool operator==(const EditorSetting &) const = default;
};

// Reads an editor settings text. Outside quotes '=' ends the name and ';' ends
// the pair; a double quote opens a run to the next double quote in which both
// are ordinary and a backslash keeps the character after it. Only pairs ended
// by ';' count; a pair without '=' has an empty name; a second '=' makes what
// was read since the first one the name.
QList<EditorSetting> parseEditorSettings(const QString &text);

}  // namespace texts
