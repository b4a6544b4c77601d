#include "texts/EditorFont.h"

#include <QFontDatabase>

namespace texts {

QStringList metricCompatibleFamilies(const QString &family)
{
    const QString f = family.toLower();
    if (f == u"arial" || f == u"helvetica")
        return {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")};
    if (f == u"times new roman" || f == u"times")
        return {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos")};
    if (f == u"courier new" || f == u"courier")
        return {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")};
    if (f == u"arial narrow")
        return {QStringLiteral("Liberation Sans Narrow")};
    return {};
}

QFont editorFont(const QFont &requested)
{
    QFont font = requested;
    const QString family = requested.family();
    if (!QFontDatabase::hasFamily(family)) {
        QStringList families{family};
        families += metricCompatibleFamilies(family);
        font.setFamilies(families);
    }
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}

FontWidths::FontWidths(const QFont &font) : m_metrics(font)
{
    m_latin1.fill(-1);
}

std::shared_ptr<const FontWidths> sharedFontWidths(const QFont &font)
{
    // A handful of fonts in practice; bounded all the same.
    static QHash<QString, std::shared_ptr<const FontWidths>> cache;
    const QString key = font.key() + QLatin1Char('|') + font.families().join(QLatin1Char(',')) + QLatin1Char('|') +
                        QString::number(int(font.hintingPreference())) +
                        (font.kerning() ? QLatin1String("|k") : QLatin1String("|-"));
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    if (cache.size() >= 64)
        cache.clear();
    auto widths = std::make_shared<const FontWidths>(font);
    cache.insert(key, widths);
    return widths;
}

int FontWidths::advance(QChar c) const
{
    const char16_t u = c.unicode();
    if (u < 256) {
        if (m_latin1[u] < 0)
            m_latin1[u] = m_metrics.horizontalAdvance(c);
        return m_latin1[u];
    }
    auto it = m_other.constFind(u);
    if (it == m_other.constEnd())
        it = m_other.insert(u, m_metrics.horizontalAdvance(c));
    return *it;
}

}  // namespace texts
