#include "core/DragObject.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

namespace core {

QString FormatDragIds(const QList<int> &ids)
{
    QString out;
    for (int id : ids)
        out += QString::number(id) + QLatin1Char(' ');
    return out;
}

std::optional<QList<int>> ParseDragIds(const QString &ids, QString *error)
{
    QList<int> out;
    qsizetype pos = 0;
    while (pos < ids.size()) {
        const qsizetype space = ids.indexOf(QLatin1Char(' '), pos);
        const QString word = ids.mid(pos, space < 0 ? -1 : space - pos);
        bool ok = false;
        const int id = word.toInt(&ok);
        // toInt accepts "+5" and leading blanks; an id is digits with an optional minus only.
        const bool plain = !word.isEmpty() && (word.at(0) == QLatin1Char('-') || word.at(0).isDigit());
        if (space < 0 || !ok || !plain) {
            if (error)
                *error = QStringLiteral("Ongeldige tekstnummers in de sleepactie: \"%1\"").arg(ids.left(80));
            return std::nullopt;
        }
        out << id;
        pos = space + 1;
    }
    return out;
}

QMimeData *DragObjectMimeData(const TGlobalDragObject &object)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << object.Target << object.Ids << object.Source;
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(DragObjectMimeType), bytes);
    return mime;
}

std::optional<TGlobalDragObject> DragObjectFromMime(const QMimeData *mime)
{
    const QString type = QString::fromLatin1(DragObjectMimeType);
    if (!mime || !mime->hasFormat(type))
        return std::nullopt;
    QDataStream in(mime->data(type));
    TGlobalDragObject object;
    in >> object.Target >> object.Ids >> object.Source;
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return object;
}

}  // namespace core
