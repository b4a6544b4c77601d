#pragma once
// The address book without widgets: the kinds of book, the result entries,
// the phone field and a contact's stored fields. Its statements are in
// NawSql.h.

#include <QString>
#include <QStringList>

namespace extras {

// boektype of tbladresboek.
enum class BookKind {
    Persons,  // "1": first name, infix, name and birth date
    Organisations,  // "2": contact and organisation, no infix or birth date
    Other  // anything else: the fields stay as they were
};
BookKind BookKindFromType(const QString &boektype);

// The number of contacts up to which an empty search lists the whole book.
inline constexpr int WholeBookLimit = 200;
// 0 for a book of at most WholeBookLimit contacts, 2 above.
int MinimumSearchLength(int contacts);

// A result entry: id, a space, the display name, the character 255, the place.
QString NawEntry(const QString &id, const QString &name, const QString &place);
// The leading id of an entry; -1 when it has none.
int NawEntryId(const QString &entry);
// The display name and the place of an entry.
QString NawEntryName(const QString &entry);
QString NawEntryPlace(const QString &entry);

// The order of the numbers in tblnaw.telefoon and of the grid's rows.
inline const QStringList PhoneKinds = {QStringLiteral("Thuis"), QStringLiteral("Mobiel"), QStringLiteral("Fax"),
                                       QStringLiteral("Werk")};
// Four numbers, each trimmed and followed by the character 255 (missing ones empty).
QString JoinPhones(const QStringList &numbers);
// The four numbers of a stored field; missing ones empty, extra ones dropped.
QStringList SplitPhones(const QString &telefoon);

// The fields of a contact as they are stored.
struct NawContact {
    QString naam;
    QString voornaam;
    QString straat;
    QString postcode;
    QString woonplaats;
    QString gebdatum;  // "yyyymmdd" or empty
    QString email;
    QString url;
    QString memo;
    QString tussen;
    QString telefoon;  // JoinPhones form
};

// Reads "select * from tblnaw" by position (1 voornaam ... 10 telefoon, 16 tussen).
NawContact NawContactFromRow(const QStringList &row);

}  // namespace extras
