#pragma once
// Fonts of the text editor.
//
// Wrapping decides how a text looks on air and how many pages it counts, so
// a font must measure the same wherever the text is written. Texts are
// written in Arial; where a family such as Arial is not installed, a
// metric-compatible family (same advance widths: Liberation, Croscore) stands
// in for it. Advances are whole pixels (full hinting) and no kerning is
// applied, so the width of a run is the sum of its characters' widths, as the
// classic platform measured it, and what is painted lines up exactly with
// what was measured.

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QStringView>

#include <array>
#include <memory>

namespace texts {

// The families that stand in for a family that is not installed, best first.
QStringList metricCompatibleFamilies(const QString &family);

// requested with its family resolved as above, full hinting and no kerning.
QFont editorFont(const QFont &requested);

// Character advances of one font, cached: what TBuffer wraps with
// (TextMetrics::additive).
class FontWidths {
public:
    explicit FontWidths(const QFont &font);
    int advance(QChar c) const;
    int textHeight() const { return m_metrics.height(); }  // text height of "h"
    int ascent() const { return m_metrics.ascent(); }

private:
    QFontMetrics m_metrics;
    // Measured when first asked (-1 before): see TextMetrics for why not all
    // at once.
    mutable std::array<int, 256> m_latin1{};
    mutable QHash<char16_t, int> m_other;
};

// The advances of font, measured once per process and shared by every editor
// in that font: a window with an editor is opened for every text.
std::shared_ptr<const FontWidths> sharedFontWidths(const QFont &font);

}  // namespace texts
