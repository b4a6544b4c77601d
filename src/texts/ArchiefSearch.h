#pragma once
// The archive search without widgets: splitting the search text into words,
// the search and read statements, the plain text of a found text and the
// markup the viewer shows.
//
// DESIGN
// A search word is a run of letters and digits of any script (combining
// marks go on with it), lower-cased by Unicode's rules; every other character
// (space, CR, LF, punctuation) separates words, so the splitting always uses
// up the whole text. The text is composed first (NFC), so an accent pasted as
// a mark of its own finds the stored letter. Digits belong to the word
// because what editors look up with them are names like "A28" or "2001", and
// cutting "A28" to "a" would match nearly every text. Words therefore never
// hold a quote, "%", "_" or a character special to a regular expression.
//
// The body is stored byte-ordered (COLLATE "C"), so lower(body) lowers A to
// Z only and the trigram index is built on that. An ASCII word is compared
// with LIKE as it always was; a word with other letters matches each of them
// in every case through a regular expression on the same lower(body), which
// the trigram index serves too. Neither depends on the database's locale.
//
// Texts dated 1999 to 2001 are read from that year's table (tblteksten_1999
// ... tblteksten_2001); texts of other years, older ones included, from
// tblteksten, where the search found them.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace texts {

// The search words of typed, in order, lower case (see above).
QStringList SplitSearchWords(const QString &typed);

// "select id,kop,datum from tblteksten where " + the conditions + " order by
// datum desc": one condition per word ("lower(body) like '%word%'", or
// "lower(body) ~ 'pattern'" for a word with letters that have other cases,
// above), then the range [from, until): the end date itself is not included.
QString ArchiveSearchStatement(const QStringList &words, const QDate &from, const QDate &until);

// The table a text dated datum ("yyyymmdd") is read from: "tblteksten_" +
// year for 1999 to 2001, the years that have a table, and "tblteksten" for
// every other year and for a datum whose first four characters are no year.
QString ArchiveTableFor(const QString &datum);

// "select body,kop,datum,tijd from " + ArchiveTableFor(datum) + " where id = " + id.
QString ArchiveReadStatement(int id, const QString &datum);

// What the clipboard and the importing windows get: kop, CR LF, CR LF and the
// body with "<br>" removed and "<hrt>" as CR LF (both case-sensitive), and the
// editor's escape for a typed "<" back as "<".
QString ArchivePlainText(const QString &kop, const QString &body);

// body with every occurrence of each word, in any case, replaced by
// "<bold><red>" + the word in capitals + "<black><normal>". One pass over the
// body: tags ("<" to ">") are copied untouched, so a word like "br" or "red"
// never lands inside a tag, and inserted markup is never matched again.
// Where several words match at one place the longest wins.
QString HighlightWords(const QString &body, const QStringList &words);

// The viewer's markup: kop, "\r\n<green>Van: <bold>", the date as "ddd dd mmm
// yyyy" (the raw datum when it is no date), "\r\n\r\n<black><normal>" and the
// highlighted body as stored, but with every "<hrt>" (any case) as CR LF, so
// paragraphs stay apart. A typed "<" (stored escaped) is shown as "<".
QString ArchiveViewMarkup(const QString &kop, const QString &datum, const QString &body, const QStringList &words);

// A result line: id, a space, kop, the character 255 and datum.
QString ArchiveResultLine(const QString &id, const QString &kop, const QString &datum);

// The parts of a result line; -1, empty texts for a line without an id.
struct ArchiveLine {
    int id = -1;
    QString kop;
    QString datum;
};
ArchiveLine ParseArchiveResultLine(const QString &line);

// The date of a result line as drawn: "ddd dd mmm yyyy", or datum as stored
// when it is no valid date.
QString ArchiveLineDate(const QString &datum);

}  // namespace texts
