#pragma once
// What a text layout needs to know about a font: the width of a piece of text
// in normal or bold style and the height of one row (the classic "height of
// 'h'"). Layouts take this interface instead of a QPainter so they are plain
// functions of the text, the metrics and the width, and tests can run them
// with exact, font-independent numbers.

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace platform {

class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual int width(const QString &text, bool bold) const = 0;
    virtual int rowHeight() const = 0;
};

// The metrics of a real font (for the screen or, with a paint device, a printer).
class FontMeasure : public TextMeasure {
public:
    explicit FontMeasure(const QFont &font, QPaintDevice *device = nullptr)
        : m_normal(normalFont(font), device), m_bold(boldFont(font), device)
    {}
    int width(const QString &text, bool bold) const override
    {
        return (bold ? m_bold : m_normal).horizontalAdvance(text);
    }
    int rowHeight() const override { return m_normal.height(); }

    static QFont normalFont(QFont f)
    {
        f.setBold(false);
        return f;
    }
    static QFont boldFont(QFont f)
    {
        f.setBold(true);
        return f;
    }

private:
    QFontMetrics m_normal;
    QFontMetrics m_bold;
};

}  // namespace platform
