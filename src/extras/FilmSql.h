#pragma once
// The film times without widgets: the film week, the statements of the film
// times dialog, its list entries and the rules of the time fields.
//
// DESIGN
// A film week runs from Thursday to Wednesday, as the cinemas programme it.
// Statements are composed as text; titles, cinema names, the search text and
// the times pass through SqlEscape. The search text is a prefix inside a LIKE
// pattern, so its "%", "_" and "\" are escaped for LIKE as well: a typed "%"
// finds titles starting with "%" instead of every film.
//
// Time fields take only digits; a ":" is put in after the hour and Enter
// pads to "hh:nn". Times are not checked further (a lone 9 becomes 90:00):
// the listings are typed from the cinemas' own sheets and the desk corrects
// them by eye.

#include <QDate>
#include <QString>
#include <QStringList>

namespace extras {

// The first day of the current film week on day today: the Thursday on or
// before it on Friday and Saturday, the Thursday on or after it otherwise.
QDate FilmWeekStart(const QDate &today);

// ---- statements ---------------------------------------------------------

// Films whose title starts with search (lowered here, any letter case
// matches), joined with their cinema: "id", "title, cinema".
QString FilmListSql(const QString &search);
QString CinemaListSql();
QString ShowFilmSql(int film);
QString DayTimesSql(int film, const QDate &day);  // "select *": tijd is column 2

// Storing a film: its title and cinema, then per shown day the delete and
// one insert per time, in field order.
QString StoreFilmSql(int film, const QString &title, int cinema);
QString DeleteDayTimesSql(int film, const QDate &day);
QString InsertTimeSql(int film, const QDate &day, const QString &time);

QString InsertFilmSql(const QString &title, int cinema);
// The film's shows, then the film.
QStringList DeleteFilmSql(int film);

QString InsertCinemaSql(const QString &name);
QString UpdateCinemaSql(int cinema, const QString &name);
QString DeleteCinemaSql(int cinema);
// How many films play in the cinema (a cinema with films is not deleted).
QString CinemaFilmCountSql(int cinema);

// ---- texts ----------------------------------------------------------------

// List entries are the id, a space and the text shown.
QString FilmEntry(const QString &id, const QString &text);
int FilmEntryId(const QString &entry);  // -1 when the entry has no id
QString FilmEntryText(const QString &entry);

// "Filmtijden voor " + title, for a plain-text label without a buddy, where
// an "&" shows as itself (no mnemonic to escape).
QString FilmHeader(const QString &title);
// "De week van " + start as "ddd dd mmm yyyy".
QString WeekLabel(const QDate &start);
// A day row's date: "dddd dd mmm yyyy".
QString DayLabel(const QDate &day);

// ---- time fields ----------------------------------------------------------

// A day row's value: the non-blank fields, trimmed, joined with ",".
QString JoinTimes(const QStringList &fields);
// The fields for a value: one per comma-separated item, then one empty.
QStringList SplitTimes(const QString &value);

inline constexpr int TimeFieldLength = 5;  // "hh:nn"

// Whether key may be typed into a time field: digits and Backspace only.
bool TimeKeyAllowed(QChar key, bool backspace);
// The field's text before a digit is typed at its end: ":" appended when it
// holds exactly the two hour digits.
QString BeforeDigit(const QString &field);
// Enter on a non-blank field: padded to five characters, ":" at the third
// place and "0" elsewhere ("14" -> "14:00", "9" -> "90:00").
QString CompleteTime(const QString &field);

}  // namespace extras
