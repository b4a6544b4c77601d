#pragma once
// The statements, server commands and line formats of the sources frame and
// the source search, composed as text without widgets.

#include <QString>
#include <QStringList>

namespace incoming {

// ---- sources frame --------------------------------------------------------

QString SourcesSql();  // "select id,naam from tblnet order by naam"
QString ItemsSql(int sourceId);  // the items of a source, newest first
QString ItemTextSql(int itemId);  // body and url of an item
QString ItemViewSql(int itemId);  // kop, datum, body, time of an item

// The item line of itembox: id, datum, time, kop separated by single spaces.
QString ItemLine(const QStringList &row);

// The job command that asks the server to import a source once.
QString RefreshCommand(int sourceId, const QString &sourceName);

// The server's word that the import RefreshCommand asked for has ended: for
// the argument of a "job" line, its text when it is the log line of that
// import's end ("Verversen van <name> klaar: ..." or "... mislukt: ..."),
// else empty.
QString RefreshEnd(const QString &jobArgument, const QString &sourceName);

// The markup the text view window shows for an item (kop, datum, body, time).
QString ItemViewMarkup(const QString &kop, const QString &datum, const QString &time, const QString &body);

// A bulletin-board name as listed: lower case with its first letter upper case.
QString BoardCaption(const QString &key);

// A link as it is opened: with "http://" in front unless it holds "http://"
// or "https://" already.
QString LinkTarget(const QString &label);

// What a "bronadd" argument adds to the list showing sourceId: the item line,
// or an empty text when it is for another source or kind.
QString BronaddLine(const QString &argument, int sourceId);

// The draw text of an item line: "dd mmm" of its datum, a space and the first
// five characters of its time (the date part left out when unreadable), and
// the title.
struct ItemDrawText {
    QString when;
    QString title;
};
ItemDrawText ItemDrawParts(const QString &line);

// ---- source search --------------------------------------------------------

// The searches of both tables with the escaped, lower-cased search text.
QString SearchNetSql(const QString &text);
QString SearchAnpSql(const QString &text);
// The hit of kind "internet" or "anp"; an empty text for another kind.
QString HitSql(const QString &kind, int id);

// The hit line: kind, id, datum and kop separated by single spaces.
QString HitLine(const QString &kind, const QString &id, const QString &datum, const QString &kop);
// Where a hit with datum goes in lines: before the first line whose datum is
// not later (so the newest date is on top and equal dates put the newest
// insert first).
int HitInsertPosition(const QStringList &lines, const QString &datum);

struct HitParts {
    QString kind, id, datum, kop;
};
HitParts ParseHit(const QString &line);

// The body with every occurrence of word (any case) replaced by the word in
// upper case, bold and red.
QString MarkWord(const QString &body, const QString &word);
// The view text of a hit.
QString HitMarkup(const QString &kop, const QString &datum, const QString &markedBody);

}  // namespace incoming
