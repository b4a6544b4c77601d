// The definition, value and editor settings formats, as tables of cases.
#include "texts/TemplateStrings.h"

#include <QTest>

using namespace texts;

namespace {
// Entries as one line each, "kind|name|caption|default", so a table row can
// state the whole expected result.
QStringList dump(const QList<TemplateEntry> &entries)
{
    QStringList out;
    for (const TemplateEntry &e : entries)
        out.append(e.kind + u'|' + e.name + u'|' + e.caption + u'|' + e.defaultValue);
    return out;
}

QStringList dump(const QList<ValuePair> &pairs)
{
    QStringList out;
    for (const ValuePair &p : pairs)
        out.append(p.name + u'=' + p.value);
    return out;
}

QStringList dump(const QList<EditorSetting> &settings)
{
    QStringList out;
    for (const EditorSetting &s : settings)
        out.append(s.name + u'=' + s.value);
    return out;
}

const QString kFtp = QStringLiteral("edit:host:Hostname:\"\":edit:username:Username:\"\":edit:password:Password:\"\":"
                                    "edit:initialdir:Initial dir:\"\":");
}  // namespace

class TestTemplateStrings : public QObject {
    Q_OBJECT
private slots:
    void fields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("last field needs no separator") << "a:b" << QStringList{"a", "b"};
        QTest::newRow("trailing separator adds nothing") << "a:b:" << QStringList{"a", "b"};
        QTest::newRow("empty fields between separators") << "a::b" << QStringList{"a", "", "b"};
        QTest::newRow("quotes dropped, colon kept inside") << "\"x:y\":z" << QStringList{"x:y", "z"};
        QTest::newRow("empty quoted field") << "\"\":a" << QStringList{"", "a"};
        QTest::newRow("quoted and plain pieces alternate") << "ab\"c:d\"ef\"g\":h" << QStringList{"abc:defg", "h"};
        QTest::newRow("backslash keeps the next character") << "\"a\\\"b\\\\c\\:d\":e" << QStringList{"a\"b\\c:d", "e"};
        QTest::newRow("backslash outside quotes is ordinary") << "a\\b:c" << QStringList{"a\\b", "c"};
        QTest::newRow("unterminated quote ends with the text") << "a:\"b:c" << QStringList{"a", "b:c"};
        QTest::newRow("backslash as last character") << "\"ab\\" << QStringList{"ab"};
        QTest::newRow("spaces are kept") << " a : b " << QStringList{" a ", " b "};
    }
    void fields()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        QCOMPARE(comboItems(text), fields);  // every field, in order
    }

    void definitions_data()
    {
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("two edits") << "edit:host:Hostname:\"\":edit:username:Username:\"\":"
                                   << QStringList{"edit|host|Hostname|", "edit|username|Username|"};
        QTest::newRow("ftp module") << kFtp
                                    << QStringList{"edit|host|Hostname|", "edit|username|Username|",
                                                   "edit|password|Password|", "edit|initialdir|Initial dir|"};
        QTest::newRow("kind lowercased, name kept") << "EdIt:Host:Naam:x" << QStringList{"edit|Host|Naam|x"};
        QTest::newRow("info takes one field")
            << "info:Vul alles in:edit:a:A:\"\"" << QStringList{"info|Vul alles in||", "edit|a|A|"};
        QTest::newRow("info text may be quoted") << "info:\"Let op: kort\":" << QStringList{"info|Let op: kort||"};
        QTest::newRow("quoted combobox default is one field")
            << "combobox:kleur:Kleur:\"rood:groen:blauw\":edit:a:A:\"\""
            << QStringList{"combobox|kleur|Kleur|rood:groen:blauw", "edit|a|A|"};
        QTest::newRow("unquoted combobox default spills into the next entry")
            << "combobox:kleur:Kleur:rood:groen:blauw:" << QStringList{"combobox|kleur|Kleur|rood", "groen|blauw||"};
        QTest::newRow("entry cut short at the end") << "edit:a" << QStringList{"edit|a||"};
        QTest::newRow("plugin kind") << "plugin_Bijlage:bestand:Bestand:\"\""
                                     << QStringList{"plugin_bijlage|bestand|Bestand|"};
        QTest::newRow("merge without lookup merges nothing") << "merge:voet:edit:a:A:x" << QStringList{"edit|a|A|x"};
    }
    void definitions()
    {
        QFETCH(QString, definition);
        QFETCH(QStringList, entries);
        QCOMPARE(dump(parseDefinition(definition)), entries);
    }

    // Merged definitions go to the end of what is still unread, joined by
    // exactly one ':'.
    void merges_data()
    {
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("merge before an edit: the edit comes first")
            << "merge:voet:edit:kop:Kop:\"\"" << QStringList{"edit|kop|Kop|", "edit|voet|Voet|v"}
            << QStringList{"voet"};
        QTest::newRow("merge as last entry") << "edit:kop:Kop:\"\":merge:voet"
                                             << QStringList{"edit|kop|Kop|", "edit|voet|Voet|v"} << QStringList{"voet"};
        QTest::newRow("merge between entries comes after both")
            << "edit:a:A:\"\":merge:voet:edit:b:B:\"\"" << QStringList{"edit|a|A|", "edit|b|B|", "edit|voet|Voet|v"}
            << QStringList{"voet"};
        QTest::newRow("unknown template merges nothing")
            << "merge:onbekend:edit:kop:Kop:\"\"" << QStringList{"edit|kop|Kop|"} << QStringList{"onbekend"};
        QTest::newRow("nested merge is read after the outer rest")
            << "merge:nest:edit:kop:Kop:\"\"" << QStringList{"edit|kop|Kop|", "edit|binnen|Binnen|", "edit|voet|Voet|v"}
            << QStringList{"nest", "voet"};
        QTest::newRow("self merge stops")
            << "merge:zelf:edit:kop:Kop:k" << QStringList{"edit|kop|Kop|k", "edit|z|Z|"} << QStringList{"zelf"};
        QTest::newRow("cycle through two templates stops")
            << "merge:ping" << QStringList{"edit|ping|Ping|", "edit|pong|Pong|"} << QStringList{"ping", "pong"};
    }
    void merges()
    {
        QFETCH(QString, definition);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, asked);
        const QHash<QString, QString> templates{
            {"voet", "edit:voet:Voet:v"},
            {"nest", "edit:binnen:Binnen:\"\":merge:voet:"},
            {"zelf", "edit:z:Z:\"\":merge:zelf"},
            {"ping", "edit:ping:Ping:\"\":merge:pong"},
            {"pong", "edit:pong:Pong:\"\":merge:ping"},
        };
        QStringList seen;
        const auto lookup = [&](const QString &name) {
            seen.append(name);
            return templates.value(name);
        };
        QCOMPARE(dump(parseDefinition(definition, lookup)), entries);
        QCOMPARE(seen, asked);
    }

    void appendJoinsWithOneSeparator_data()
    {
        QTest::addColumn<QString>("rest");
        QTest::addColumn<QString>("joined");
        QTest::newRow("empty rest") << ""
                                    << "edit:m";
        QTest::newRow("rest ending in separator") << "edit:a:"
                                                  << "edit:a:edit:m";
        QTest::newRow("rest without separator") << "edit:a"
                                                << "edit:a:edit:m";
    }
    void appendJoinsWithOneSeparator()
    {
        QFETCH(QString, rest);
        QFETCH(QString, joined);
        FieldReader reader(QStringLiteral("merge:x:") + rest);
        reader.next();
        reader.next();
        reader.append(QStringLiteral("edit:m"));
        QCOMPARE(reader.rest(), joined);
    }

    void queryBox_data()
    {
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("maxLength");
        QTest::newRow("table only") << "tblkleur"
                                    << "tblkleur" << 255;
        QTest::newRow("length and table") << "40,tblkleur"
                                          << "tblkleur" << 40;
        QTest::newRow("length not a number is ignored") << "veertig,tblkleur"
                                                        << "tblkleur" << 255;
        QTest::newRow("zero length is ignored") << "0,tblkleur"
                                                << "tblkleur" << 255;
        QTest::newRow("empty") << ""
                               << "" << 255;
    }
    void queryBox()
    {
        QFETCH(QString, defaultValue);
        QFETCH(QString, table);
        QFETCH(int, maxLength);
        const QueryBoxSpec queryBox = parseQueryBox(defaultValue);
        QCOMPARE(queryBox.table, table);
        QCOMPARE(queryBox.maxLength, maxLength);
    }

    void listItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("id and name") << "12 Sport"
                                     << "12"
                                     << "Sport";
        QTest::newRow("several spaces") << "7   Weer en verkeer"
                                        << "7"
                                        << "Weer en verkeer";
        QTest::newRow("no id") << "Sport"
                               << ""
                               << "Sport";
        QTest::newRow("id only") << "42"
                                 << "42"
                                 << "";
        QTest::newRow("name starting with digits after the space") << "3 112 meldingen"
                                                                   << "3"
                                                                   << "112 meldingen";
    }
    void listItems()
    {
        QFETCH(QString, item);
        QFETCH(QString, id);
        QFETCH(QString, name);
        QCOMPARE(itemId(item), id);
        QCOMPARE(itemName(item), name);
    }

    void readValues_data()
    {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QStringList>("pairs");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("two pairs") << "host:\"\":username:\"\"" << QStringList{"host=", "username="};
        QTest::newRow("stored without escapes reads as before")
            << "host:\"ftp.example.nl\":initialdir:\"/web/teletekst\""
            << QStringList{"host=ftp.example.nl", "initialdir=/web/teletekst"};
        QTest::newRow("colon inside value") << "tijd:\"12:30:00\"" << QStringList{"tijd=12:30:00"};
        QTest::newRow("escaped quote and backslash")
            << "pad:\"C:\\\\temp\\\"x\\\"\"" << QStringList{"pad=C:\\temp\"x\""};
        QTest::newRow("name without value") << "host" << QStringList{"host="};
        QTest::newRow("memo line breaks") << "tekst:\"a\r\nb\"" << QStringList{"tekst=a\r\nb"};
    }
    void readValues()
    {
        QFETCH(QString, values);
        QFETCH(QStringList, pairs);
        QCOMPARE(dump(parseValues(values)), pairs);
    }

    void writeValues_data()
    {
        QTest::addColumn<QList<ValuePair>>("pairs");
        QTest::addColumn<QString>("values");
        QTest::newRow("none") << QList<ValuePair>{} << "";
        QTest::newRow("empty edits") << QList<ValuePair>{{"host", ""}, {"username", ""}} << "host:\"\":username:\"\"";
        QTest::newRow("plain values unchanged")
            << QList<ValuePair>{{"aan", "true"}, {"datum", "20261210"}} << "aan:\"true\":datum:\"20261210\"";
        QTest::newRow("quote and backslash escaped")
            << QList<ValuePair>{{"pad", "C:\\a \"b\""}} << "pad:\"C:\\\\a \\\"b\\\"\"";
        QTest::newRow("name with a colon is quoted") << QList<ValuePair>{{"a:b", "x"}} << "\"a:b\":\"x\"";
    }
    void writeValues()
    {
        QFETCH(QList<ValuePair>, pairs);
        QFETCH(QString, values);
        QCOMPARE(formatValues(pairs), values);
        QCOMPARE(parseValues(values), pairs);
    }

    // Whatever a control holds comes back unchanged.
    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("double quotes") << "zei \"ja\"";
        QTest::newRow("backslashes") << "\\\\server\\share\\";
        QTest::newRow("lone quote") << "\"";
        QTest::newRow("escape-like text") << "\\\"\\:";
        QTest::newRow("separators and quotes") << "a:\"b\":c";
        QTest::newRow("line breaks") << "regel 1\r\nregel 2";
        QTest::newRow("single quote") << "d'r";
    }
    void valuesRoundTrip()
    {
        QFETCH(QString, value);
        const QList<ValuePair> pairs{{"eerste", value}, {"tweede", "vast"}};
        QCOMPARE(parseValues(formatValues(pairs)), pairs);
    }

    void editorSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("settings");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("all names in use")
            << "usememo=no;font=Arial;size=12;width=-1;pagelength=9;"
            << QStringList{"usememo=no", "font=Arial", "size=12", "width=-1", "pagelength=9"};
        QTest::newRow("quoted value holds = and ;")
            << "font=\"Times; New=Roman\";size=3;" << QStringList{"font=Times; New=Roman", "size=3"};
        QTest::newRow("quotes dropped in the name too") << "\"fo\"nt=Arial;" << QStringList{"font=Arial"};
        QTest::newRow("escaped character is kept") << "font=\"a\\\"b\\\\c\";" << QStringList{"font=a\"b\\c"};
        QTest::newRow("backslash outside quotes is ordinary") << "font=a\\b;" << QStringList{"font=a\\b"};
        QTest::newRow("last pair without ; is not read") << "size=12;width=300" << QStringList{"size=12"};
        QTest::newRow("pair without = has no name") << "usememo;size=1;" << QStringList{"=usememo", "size=1"};
        QTest::newRow("second = starts the name again") << "a=b=c;" << QStringList{"b=c"};
        QTest::newRow("spaces are kept") << " size = 12 ;" << QStringList{" size = 12 "};
        QTest::newRow("unterminated quote swallows the rest") << "font=\"Arial;size=3;" << QStringList();
    }
    void editorSettings()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, settings);
        QCOMPARE(dump(parseEditorSettings(text)), settings);
    }
};

QTEST_APPLESS_MAIN(TestTemplateStrings)
#include "tst_templatestrings.moc"
