#include "extras/PromoGrid.h"

#include <QMimeData>

namespace extras {

namespace {

constexpr QChar Separator(0xFF);

}  // namespace

QMimeData *PromoDragMimeData(const TPromoDrag &drag)
{
    auto *mime = new QMimeData;
    const QString text = QString::number(drag.row) + Separator + QString::number(drag.day) + Separator +
                         QString::number(drag.id) + Separator + drag.name;
    mime->setData(PromoDragMime, text.toUtf8());
    return mime;
}

std::optional<TPromoDrag> PromoDragFromMime(const QMimeData *mime)
{
    if (!mime || !mime->hasFormat(PromoDragMime))
        return std::nullopt;
    const QStringList parts = QString::fromUtf8(mime->data(PromoDragMime)).split(Separator);
    if (parts.size() != 4)
        return std::nullopt;
    bool rowOk = false, dayOk = false, idOk = false;
    TPromoDrag drag{parts[0].toInt(&rowOk), parts[1].toInt(&dayOk), parts[2].toInt(&idOk), parts[3]};
    if (!rowOk || !dayOk || !idOk)
        return std::nullopt;
    return drag;
}

QString HourLabel(int hour)
{
    return QStringLiteral("%1:00 - %2:59").arg(hour, 2).arg(hour, 2);
}

MomentValues ReadMoment(const QString &moment)
{
    MomentValues values;
    QStringList parts = moment.split(Separator);
    // The separator closes each value; what follows the last one is a value
    // only when it is not empty.
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    for (int i = 0; i < parts.size() && i < PromoCells; ++i) {
        bool ok = false;
        const int id = parts.at(i).trimmed().toInt(&ok);
        if (ok && id >= 0) {
            values.ids[i] = id;
        } else {
            values.problems << QStringLiteral("Promo: waarde %1 (%2 uur, dag %3) is geen programma: \"%4\"")
                                   .arg(i + 1)
                                   .arg(i / PromoDays)
                                   .arg(i % PromoDays + 1)
                                   .arg(parts.at(i));
        }
    }
    return values;
}

QString WriteMoment(const std::array<int, PromoCells> &ids)
{
    QString out;
    out.reserve(PromoCells * 3);
    for (int id : ids)
        out += QString::number(id) + Separator;
    return out;
}

bool PromoGrid::contains(int hour, int day)
{
    return hour >= 0 && hour < PromoHours && day >= 1 && day <= PromoDays;
}

int PromoGrid::id(int hour, int day) const
{
    return contains(hour, day) ? m_ids[index(hour, day)] : 0;
}

QString PromoGrid::name(int hour, int day) const
{
    return contains(hour, day) ? m_names[index(hour, day)] : QString();
}

bool PromoGrid::set(int hour, int day, int id, const QString &name)
{
    if (!contains(hour, day))
        return false;
    m_ids[index(hour, day)] = id;
    m_names[index(hour, day)] = id == 0 ? QString() : name;
    return true;
}

bool PromoGrid::drop(TPromoDrag &drag, int hour, int day)
{
    if (!set(hour, day, drag.id, drag.name))
        return false;
    drag.row = hour;
    drag.day = day;
    return true;
}

QStringList PromoGrid::load(const QString &moment, const QHash<int, QString> &names)
{
    const MomentValues values = ReadMoment(moment);
    m_ids = values.ids;
    setNames(names);
    return values.problems;
}

void PromoGrid::setNames(const QHash<int, QString> &names)
{
    for (int i = 0; i < PromoCells; ++i)
        m_names[i] = names.value(m_ids[i]);
}

QString PromoGrid::moment() const
{
    return WriteMoment(m_ids);
}

int PromoGrid::clearId(int id)
{
    int cleared = 0;
    for (int i = 0; i < PromoCells; ++i) {
        if (m_ids[i] == id) {
            m_ids[i] = 0;
            m_names[i].clear();
            ++cleared;
        }
    }
    return cleared;
}

QStringList PromoGrid::cellsHolding(int id) const
{
    QStringList cells;
    for (int i = 0; i < PromoCells; ++i)
        if (m_ids[i] == id)
            cells << QStringLiteral("%1/%2").arg(i / PromoDays).arg(i % PromoDays + 1);
    return cells;
}

}  // namespace extras
