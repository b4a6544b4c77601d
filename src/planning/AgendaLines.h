#pragma once
// The text lines of the agenda views and the repetition model, without widgets.
//
// DESIGN
// The list boxes keep the system's line formats as their item texts, so an
// action reads the id and kind back from the line itself:
//   agenda line   id, kind, datum, tijd and kort joined by single spaces
//                 ("12 normal 20310309 10:30 Raad beslist"); kind "normal" is
//                 a tblagenda row, "herhaal" a tblagendaherhaal row not yet
//                 taken up for the work date
//   address line  tblnaw.id, a space, naam, U+00FF, woonplaats, U+00FF, telefoon
//   archive line  tblteksten.id, a space, kop
// Lines are cut from the front with TakeWhile/TakeUntil, as every list of the
// client is, so a title may hold spaces and even the separator words.

#include <QChar>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace db {
class TPostgresRowView;
}  // namespace db

namespace planning {

inline const QString KindNormal = QStringLiteral("normal");  // a one-off item, tblagenda
inline const QString KindRepeat = QStringLiteral("herhaal");  // a repeating item, tblagendaherhaal
inline constexpr QChar FieldSeparator = QChar(0xFF);  // "character 255"

struct AgendaLine {
    QString id;  // the row id as text, compared as text
    QString kind;  // KindNormal or KindRepeat (anything else is treated as repeating)
    QString datum;  // "yyyymmdd"
    QString tijd;  // "hh:nn"
    QString kort;  // the title, to the end of the line
    bool isNormal() const { return kind == KindNormal; }
};

// Cuts a line apart: the id is the run of minus sign and digits, then after
// one separator each the kind (letters), the datum (minus sign and digits),
// the time (digits and colon) and the rest of the line as the title. A
// malformed line gives empty fields where its runs are missing; it never fails.
AgendaLine ParseAgendaLine(const QString &line);

// The line of a result row whose columns are id, kind, kort, datum, tijd
// (the column order of the agenda queries): id kind datum tijd kort.
QString AgendaLineText(const QStringList &row);
// The same line from a row as it arrives, built in one allocation (a reload
// makes thousands).
QString AgendaLineText(const db::TPostgresRowView &row);

// Just the id of a line (the first run of minus sign and digits).
QString LineId(const QString &line);

// The address line of a row id, naam, woonplaats, telefoon.
QString AddressLineText(const QStringList &row);

struct AddressLine {
    QString id;
    QString naam;
    QString woonplaats;
    QStringList further;  // telefoon and whatever follows, drawn joined by " / "
};
AddressLine ParseAddressLine(const QString &line);

// The archive line of a row id, kop.
QString ArchiveLineText(const QStringList &row);

// An archive line without its id and the blanks after it: the headline.
QString ArchiveLineHeadline(const QString &line);

// The repetition model: dagen holds one character per weekday from Sunday
// (position 1) to Saturday (position 7); an "x" there makes the repeating
// item appear on that weekday. A shorter pattern simply has no "x" for the
// missing days.
bool RepeatsOn(const QString &dagen, const QDate &date);

// The time typed into the item editor's "09:99" field as it is stored,
// "hh:nn" (a one-digit hour gets its zero); nullopt for anything that is not
// a whole time of day, such as "25:61", "7:" or an emptied field.
std::optional<QString> AgendaTimeFromInput(const QString &typed);

}  // namespace planning
