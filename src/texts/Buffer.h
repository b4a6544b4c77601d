#pragma once
// TBuffer: the text of a TPersonalEdit, its display lines, caret and
// selection, without any widget.
//
// DESIGN
// The text is plain characters; a hard return is CR and LF never occurs.
// Display lines come from wrapLine() at the column width (`MarginWidth`),
// measured by the TextMetrics the owner supplies: the editor measures with
// its font, tests with exact fake widths. Positions are 1-based like the
// editor's Caret: position p stands before character p, so they run from 1 to
// length + 1.
//
// Layout. m_starts[k] is the position where display line k starts and
// m_starts[m_count] where the line after the last would start; entry 0 is
// always 1. At most MaxLines lines are laid out; text beyond them stays in
// the buffer and in the stored form but is neither shown nor counted. The
// layout is computed when first needed after the text, the metrics or the
// column width changed, so a page count is always that of the current text. After an edit it is redone from two lines above
// the edited line (a line's break can depend on the first character of the
// line after next) and stops where a new line start meets an old one in the
// unchanged tail; from there on the old lines only move by the length
// difference. A keystroke therefore rewraps two or three lines, not the rest
// of the text.
//
// Invariants: 1 <= caret <= length + 1; the selection anchor is -1 or, like
// the selection end, a valid position; m_starts[0..m_count] is increasing
// except for the empty line after a final CR, which starts where the text
// ends.

#include <QString>
#include <QStringView>

#include <array>
#include <functional>
#include <type_traits>
#include <vector>

namespace texts {

// Width in pixels of a run of characters.
using TextWidth = std::function<int(QStringView)>;
// Width in pixels of one character.
using CharWidth = std::function<int(QChar)>;

// How text is measured: by the width of whole runs (any font behaviour,
// kerning included) or, when widths add up, by each character's advance,
// which lets wrapping keep running sums instead of measuring each run anew.
// Both give the same lines for the same widths. An advance must depend on
// the character alone: those of Latin-1 are asked once, when first needed,
// and kept in a table, since wrapping asks for every character of the text.
// Asking all 256 up front would cost a font lookup for characters no text
// holds (a control character has no glyph in any font, so every fallback
// font is loaded to find that out), on the way to the first window.
class TextMetrics {
public:
    TextMetrics();  // every character 1 pixel wide
    template <typename F>
    requires std::is_invocable_r_v<int, F, QStringView> TextMetrics(F runWidth) : m_run(std::move(runWidth)) {}
    static TextMetrics additive(CharWidth advance);

    bool isAdditive() const { return bool(m_advance); }
    int width(QStringView chars) const;
    int advance(QChar c) const  // additive metrics only
    {
        if (c.unicode() >= m_latin1.size())
            return m_advance(c);
        int &w = m_latin1[c.unicode()];
        if (w < 0)
            w = m_advance(c);
        return w;
    }

private:
    TextWidth m_run;
    CharWidth m_advance;
    mutable std::array<int, 256> m_latin1{};  // -1: not asked yet
};

// Where one display line ends.
struct LineBreak {
    qsizetype next = 0;  // 0-based index where the following line starts
    bool hardReturn = false;  // the line ended with (and consumed) a CR
};

// Wraps one display line of text starting at 0-based index `start` (less than
// text.size()) to the column width `margin`. Every line takes at least one
// character. The rule:
//  - a CR ends the line (it belongs to it);
//  - a space or hyphen closes the current word; when the line so far with
//    the word and its separator is wider than the column, the line ends
//    before the word (spaces and hyphens stay with the word they follow);
//  - when the current word alone grows wider than the column it moves to the
//    next line, and a word wider than a whole line is broken where it stops
//    fitting;
//  - at a CR and at the end of the text the last word is tested as at a
//    separator.
// Where this would leave a line empty: a run of spaces that does not fit is
// kept at the end of the line (it takes no room on screen); a hyphen that
// does not fit goes to the next line; a single character wider than the
// column stands alone on its line.
LineBreak wrapLine(QStringView text, qsizetype start, int margin, const TextMetrics &metrics);

class TBuffer {
public:
    static constexpr int MaxLines = 1024;

    explicit TBuffer(texts::TextMetrics metrics = {});

    // Changing how text is measured or the column width invalidates the layout.
    void setTextMetrics(texts::TextMetrics metrics);
    int textWidth(QStringView chars) const { return m_metrics.width(chars); }
    int MarginWidth() const { return m_margin; }
    void setMarginWidth(int pixels);

    // The whole text. setText() takes plain text (LF dropped), puts the caret
    // after it and removes the selection; the layout is redone when next needed.
    const QString &text() const { return m_text; }
    int length() const { return int(m_text.size()); }
    void setText(QStringView plain);

    // The stored form (texts::appendStoredLine) of the whole text, wrapped
    // without the line limit; and setting it, as setText(readStoredText()).
    QString storedText() const;
    void setStoredText(QStringView stored);

    // Layout, computed on demand.
    bool laidOut() const { return m_laidOut; }
    int lineCount() const;
    // Start position of display line `line` (0 .. lineCount()); lineStart(lineCount())
    // is where a following line would start.
    int lineStart(int line) const;
    // The characters of a display line without its CR.
    QStringView lineText(int line) const;
    bool endsWithHardReturn(int line) const;
    // The line's last position, where End puts the caret: the position of its
    // CR or last character; on the last line of the text, length + 1.
    int lineEnd(int line) const;
    // The display line holding position pos (the last laid-out line for
    // positions beyond the layout; 0 for an empty text).
    int lineOf(int pos) const;
    // (lineCount - 1) div linesPerPage + 1, truncating toward zero; a page
    // length below 1 counts as 1.
    int pageCount(int linesPerPage) const;
    // Position on display line `line` for a pointer at x pixels: the line's
    // start plus the longest beginning of the line not wider than x, at most
    // lineEnd(line).
    int positionInLine(int line, int x) const;

    // Caret, clamped to 1 .. length + 1.
    int caret() const { return m_caret; }
    void setCaret(int pos);

    // The selection covers the positions from the smaller to (not including)
    // the larger of anchor and end; it is active whenever the anchor is set,
    // also when empty.
    int anchor() const { return m_anchor; }
    int selectionEnd() const { return m_selEnd; }
    bool selectionActive() const { return m_anchor != -1; }
    void setAnchor(int pos);
    void setSelectionEnd(int pos);
    void cancelSelection();
    int selectionFrom() const;  // smaller end (the caret when no selection)
    int selectionTo() const;  // larger end, exclusive
    QString selectedText() const;
    void selectAll();

    // Editing. Each returns whether the text changed.
    // Deletes the active selection (also an empty one, which only ends it);
    // the caret goes where it started.
    bool deleteSelection();
    // Types c: the selection is deleted; with autoCase a letter a to z
    // becomes a capital at the start of the text or when the last non-space
    // character before the caret is "!", ",", "." or "?" (a CR is no
    // sentence end); with spaceCheck a space after a space is refused.
    bool typeChar(QChar c, bool autoCase, bool spaceCheck);
    // Deletes the selection and inserts chars (LF dropped) at the caret,
    // which ends after them. No typing rules.
    bool insertText(QStringView chars);
    // As insertText, but inserts only as much of chars (LF dropped) as keeps
    // the whole text within MaxLines display lines; returns how many of its
    // characters were left out (0 when all of it fits). A text already
    // beyond the limit takes nothing.
    qsizetype insertTextWithinLimit(QStringView chars);
    // Whether part of the text lies beyond the last display line laid out.
    bool beyondLimit() const;
    bool backspace();  // the selection, else the character before the caret
    bool deleteForward();  // the selection, else the character at the caret
    // Replaces count characters from pos by with and keeps the layout
    // current; caret and selection are the caller's business.
    void replace(int pos, int count, QStringView with);

    // Caret movement; none of these touch the selection.
    void moveLeft();
    void moveRight();
    void moveUp();  // same column of the previous display line, at most its end
    void moveDown();
    void moveLineStart();
    void moveLineEnd();
    void moveTextStart() { setCaret(1); }
    void moveTextEnd() { setCaret(length() + 1); }
    void moveWordLeft();  // back over spaces, then over non-spaces
    void moveWordRight();  // forward over spaces, non-spaces and spaces
    void moveParagraphUp();  // to just after the previous CR (or 1); stays when already there
    void moveParagraphDown();  // to the next CR (or length + 1)

private:
    QChar at(int pos) const { return m_text[pos - 1]; }
    void ensureLayout() const;
    // Lays out from line k, whose start is in m_starts[k], to the end or the
    // limit. With `old` set, stops as soon as a line start meets a start of
    // the old layout at or after firstUnchangedOld and adopts the old tail.
    struct OldLayout {
        const std::vector<int> *starts;
        int count;
        int delta;  // new length - old length
        int firstUnchangedOld;  // first old position after the edit
    };
    void layoutFrom(int k, const OldLayout *old) const;
    void clampSelection();

    QString m_text;
    texts::TextMetrics m_metrics;
    int m_margin = 200;
    mutable std::vector<int> m_starts;  // MaxLines + 1 entries
    mutable std::vector<int> m_oldStarts;  // scratch copy for incremental layout
    mutable int m_count = 1;
    mutable bool m_laidOut = false;
    int m_caret = 1;
    int m_anchor = -1;
    int m_selEnd = -1;
};

}  // namespace texts
