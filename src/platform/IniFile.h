#pragma once
// Our own reader for `.\zidad.ini`. DESIGN: the file is parsed into sections
// and keys in file order (the settings dialog and the bulletin-board folders
// list them as written); lookups ignore letter case as the classic profile
// functions did. Lines that are neither a section header, a key=value pair, a
// comment (';' or '#') nor blank are skipped and recorded as problems with
// their line number, so one bad line never hides the rest of the file.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

struct IniEntry {
    QString key;  // as written, trimmed
    QString value;  // trimmed; one pair of enclosing quotes removed
};

struct IniSection {
    QString name;  // as written in the first header, trimmed
    QList<IniEntry> entries;  // file order; a repeated key keeps its first value for lookups
};

struct IniProblem {
    int line = 0;  // 1-based line number in the file
    QString text;  // the line as written
    QString reason;  // Dutch, for a log or a message box
};

class IniFile {
public:
    // Parses file contents (UTF-8, or Latin-1 when the bytes are not valid UTF-8,
    // as files written by older editors are).
    static IniFile parse(const QByteArray &contents);
    // Reads and parses a file; a missing or unreadable file gives an empty IniFile
    // with exists() false.
    static IniFile load(const QString &path);

    bool exists() const { return m_exists; }
    QStringList sections() const;  // file order, a repeated header once
    QStringList keys(const QString &section) const;  // file order
    QList<IniEntry> entries(const QString &section) const;
    bool contains(const QString &section, const QString &key) const;
    // The value of the first occurrence of key in section, or defaultValue.
    QString value(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    const QList<IniProblem> &problems() const { return m_problems; }

private:
    const IniSection *find(const QString &section) const;

    QList<IniSection> m_sections;
    QList<IniProblem> m_problems;
    bool m_exists = true;
};

// The settings file: $QUILLON_INI when set, else zidad.ini in the program's directory.
QString iniFilePath();

// Opens the settings file, reads one value (empty when missing) and closes it again,
// so an edited file takes effect without a restart.
QString IniReadString(const QString &section, const QString &key);

// As IniReadString, read as an integer (decimal, or hexadecimal after "$").
// Throws ConversionError for a missing or malformed value.
int IniReadInt(const QString &section, const QString &key);

// As IniReadInt, but nullopt instead of the error, for callers where a missing
// value has a sound meaning of its own.
std::optional<int> IniTryReadInt(const QString &section, const QString &key);

// Reads an integer the way the ini values and stored numbers are written:
// optional sign, decimal digits, or "$" and hexadecimal digits; surrounding
// blanks allowed. nullopt when the text is not such a number or overflows.
std::optional<int> parseInteger(const QString &text);

}  // namespace platform
