#pragma once
// The promo week plan without widgets: 24 hours by 7 days of promo ids with
// the names shown, the moment string they are stored as, and the drag object
// that carries a programme onto a cell.
//
// DESIGN
// The moment string holds the 168 cell ids hour by hour (hour 0 Monday ...
// hour 0 Sunday, hour 1 Monday ...), each a decimal number followed by the
// character 255; an empty cell is "0". Reading is forgiving, so one bad
// value never keeps the desk from its plan: a string with fewer values leaves
// the remaining cells empty, a value that is no id empties its cell and is
// reported, values beyond the 168th are dropped. Writing always produces all
// 168 values, so a short stored plan is repaired by the next store.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QMimeData;

namespace extras {

inline constexpr int PromoHours = 24;
inline constexpr int PromoDays = 7;  // 1 Monday ... 7 Sunday
inline constexpr int PromoCells = PromoHours * PromoDays;

// What a drag carries: from the programme list (row -1) or from a cell;
// row and day are set to the target on drop.
struct TPromoDrag {
    int row = -1;  // hour 0 ... 23
    int day = 0;  // 1 ... 7; 0 for the programme list
    int id = 0;  // tblpromo.id
    QString name;  // tblpromo.naam
};

// The drag's MIME type, named after its class so that only a TPromoDrag is accepted.
inline const QString PromoDragMime = QStringLiteral("application/x-quillon-TPromoDrag");
QMimeData *PromoDragMimeData(const TPromoDrag &drag);
std::optional<TPromoDrag> PromoDragFromMime(const QMimeData *mime);

// The label of an hour row: "%2d:00 - %2d:59".
QString HourLabel(int hour);

// Cell ids in moment order, as read from a stored string.
struct MomentValues {
    std::array<int, PromoCells> ids{};  // 0 = empty
    QStringList problems;  // one line per value that could not be read
};
MomentValues ReadMoment(const QString &moment);
// ids written as a moment string: every id, then the character 255.
QString WriteMoment(const std::array<int, PromoCells> &ids);

class PromoGrid {
public:
    // A cell; hour 0..23, day 1..7. Outside the grid: id 0, no name.
    int id(int hour, int day) const;
    QString name(int hour, int day) const;
    static bool contains(int hour, int day);

    // Sets a cell; false (and nothing changes) outside the grid.
    bool set(int hour, int day, int id, const QString &name);
    bool clear(int hour, int day) { return set(hour, day, 0, QString()); }

    // The drop of drag on a cell: the cell takes its id and name and the drag
    // its target. False (nothing changes) outside the 168 cells.
    bool drop(TPromoDrag &drag, int hour, int day);

    // Every cell from ids in moment order, each named from names (an id
    // without a name shows none). The problems of reading the string.
    QStringList load(const QString &moment, const QHash<int, QString> &names);
    QString moment() const;
    // Every cell's name anew from names (after the programme list changed).
    void setNames(const QHash<int, QString> &names);

    // Empties every cell holding id; how many there were.
    int clearId(int id);
    // "hour/day" of every cell holding id, in moment order.
    QStringList cellsHolding(int id) const;

private:
    static int index(int hour, int day) { return hour * PromoDays + day - 1; }

    std::array<int, PromoCells> m_ids{};
    std::array<QString, PromoCells> m_names{};
};

}  // namespace extras
