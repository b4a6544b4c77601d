#pragma once
// TGlobalDragObject: what a drag between the ready list and the rubric cycle
// carries. In core because the ready list starts such drags and the cycle
// takes them, and the two subsystems may not include each other.
//
// DESIGN
// Three texts as the desk has always passed them: Target ("rubriek" when the
// payload may land on a rubric), Ids (text ids, each followed by one space)
// and Source ("versiebox" from the ready list, "rubriek" from the cycle's own
// list). On the way through Qt the object rides in QMimeData under a type of
// its own; a drop of anything else (files, plain text from elsewhere) reads as
// no object at all. Ids are read strictly: a payload that does not consist of
// whole numbers each followed by a space is refused as a whole, so a drop
// never stores half of it or runs an id that is not a number.

#include <QList>
#include <QString>

#include <optional>

class QMimeData;

namespace core {

struct TGlobalDragObject {
    QString Target;  // "rubriek"
    QString Ids;  // "12 7 "
    QString Source;  // "versiebox" or "rubriek"
};

inline const QString DragTargetRubriek = QStringLiteral("rubriek");
inline const QString DragSourceVersiebox = QStringLiteral("versiebox");
inline const QString DragSourceRubriek = QStringLiteral("rubriek");
inline constexpr const char *DragObjectMimeType = "application/x-quillon-globaldragobject";

// Ids as a drag object carries them: every id followed by one space.
QString FormatDragIds(const QList<int> &ids);

// The ids of a drag object in order, or nullopt with why in *error when the
// text is not whole numbers each followed by exactly one space ("" gives none).
std::optional<QList<int>> ParseDragIds(const QString &ids, QString *error = nullptr);

// Packs the object for QDrag (the caller owns the result).
QMimeData *DragObjectMimeData(const TGlobalDragObject &object);
// The object a drop carries, or nullopt when it carries none.
std::optional<TGlobalDragObject> DragObjectFromMime(const QMimeData *mime);

}  // namespace core
