#include "texts/Buffer.h"

#include "texts/StoredText.h"

#include <QVarLengthArray>
#include <QtGlobal>

#include <algorithm>

namespace texts {

namespace {

bool isSeparator(QChar c)
{
    return c == u' ' || c == u'-';
}

// The line ends after index `last`; a CR right behind it is the line's own
// hard return rather than an empty line of its own.
LineBreak endAfter(QStringView text, qsizetype last)
{
    const qsizetype next = last + 1;
    if (next < text.size() && text[next] == HardReturn)
        return {next + 1, true};
    return {next, false};
}

}  // namespace

TextMetrics::TextMetrics() : m_advance([](QChar) { return 1; })
{
    m_latin1.fill(1);
}

TextMetrics TextMetrics::additive(CharWidth advance)
{
    TextMetrics m;
    m.m_advance = std::move(advance);
    m.m_latin1.fill(-1);
    return m;
}

int TextMetrics::width(QStringView chars) const
{
    if (!m_advance)
        return m_run(chars);
    int w = 0;
    for (QChar c : chars)
        w += advance(c);
    return w;
}

namespace {

// The two widths wrapping asks for, of text[start, i] (the line so far) and
// of text[from, i] (the pending word), as i runs forward.
class RunWidths {
public:
    RunWidths(QStringView text, qsizetype start, const TextMetrics &metrics)
        : m_text(text), m_start(start), m_metrics(metrics)
    {}
    int line(qsizetype i) { return m_metrics.width(m_text.sliced(m_start, i + 1 - m_start)); }
    int word(qsizetype from, qsizetype i) { return m_metrics.width(m_text.sliced(from, i + 1 - from)); }

private:
    QStringView m_text;
    qsizetype m_start;
    const TextMetrics &m_metrics;
};

// The same from running sums of advances: m_sums[k] is the width of the
// first k characters of the line.
class AdditiveWidths {
public:
    AdditiveWidths(QStringView text, qsizetype start, const TextMetrics &metrics)
        : m_text(text), m_start(start), m_metrics(metrics)
    {
        m_sums.append(0);
    }
    int line(qsizetype i) { return sumTo(i + 1); }
    int word(qsizetype from, qsizetype i) { return sumTo(i + 1) - sumTo(from); }

private:
    int sumTo(qsizetype end)
    {
        while (m_start + m_sums.size() - 1 < end)
            m_sums.append(m_sums.back() + m_metrics.advance(m_text[m_start + m_sums.size() - 1]));
        return m_sums[end - m_start];
    }

    QStringView m_text;
    qsizetype m_start;
    const TextMetrics &m_metrics;
    QVarLengthArray<int, 256> m_sums;
};

template <typename Widths>
LineBreak wrapWith(QStringView text, qsizetype start, int margin, Widths &widths)
{
    Q_ASSERT(start >= 0 && start < text.size());
    const qsizetype n = text.size();
    // The line so far is text[start, i); its finished part ends where the
    // pending word begins (wordBegin). wordStart is where the line breaks
    // when the word does not fit: it is only moved by a character that starts
    // a word, so for a separator that follows the finished part directly it
    // still points at the previous word, which then moves down together with
    // its spaces or hyphens.
    qsizetype wordBegin = start;
    qsizetype wordStart = start;
    for (qsizetype i = start; i < n; ++i) {
        const QChar c = text[i];
        if (c == HardReturn) {
            if (wordBegin < i && widths.line(i - 1) > margin)
                return {wordStart, false};
            return {i + 1, true};
        }
        if (isSeparator(c)) {
            if (widths.line(i) <= margin) {
                wordBegin = i + 1;
                continue;
            }
            if (wordStart > start)
                return {wordStart, false};
            // Breaking at the word would leave the line empty.
            if (c == u' ') {
                qsizetype last = i;
                while (last + 1 < n && text[last + 1] == u' ')
                    ++last;
                return endAfter(text, last);
            }
            return i > start ? LineBreak{i, false} : endAfter(text, i);
        }
        if (widths.word(wordBegin, i) > margin) {
            if (wordBegin > start)
                return {wordBegin, false};  // the word starts a line of its own
            return i > start ? LineBreak{i, false} : endAfter(text, i);
        }
        if (wordBegin == i)
            wordStart = i;
    }
    if (wordBegin < n && widths.line(n - 1) > margin)
        return {wordStart, false};
    return {n, false};
}

}  // namespace

LineBreak wrapLine(QStringView text, qsizetype start, int margin, const TextMetrics &metrics)
{
    if (metrics.isAdditive()) {
        AdditiveWidths widths(text, start, metrics);
        return wrapWith(text, start, margin, widths);
    }
    RunWidths widths(text, start, metrics);
    return wrapWith(text, start, margin, widths);
}

TBuffer::TBuffer(texts::TextMetrics metrics) : m_metrics(std::move(metrics)), m_starts(MaxLines + 1, 1) {}

void TBuffer::setTextMetrics(texts::TextMetrics metrics)
{
    m_metrics = std::move(metrics);
    m_laidOut = false;
}

void TBuffer::setMarginWidth(int pixels)
{
    if (pixels == m_margin)
        return;
    m_margin = pixels;
    m_laidOut = false;
}

void TBuffer::setText(QStringView plain)
{
    m_text = plain.toString();
    m_text.remove(u'\n');
    m_caret = length() + 1;
    m_anchor = m_selEnd = -1;
    m_laidOut = false;
}

QString TBuffer::storedText() const
{
    QString out;
    out.reserve(m_text.size() + m_text.size() / 8);
    const QStringView text(m_text);
    qsizetype s = 0;
    while (s < text.size()) {
        const texts::LineBreak b = texts::wrapLine(text, s, m_margin, m_metrics);
        const qsizetype chars = (b.hardReturn ? b.next - 1 : b.next) - s;
        texts::appendStoredLine(out, text.sliced(s, chars), b.hardReturn);
        s = b.next;
    }
    return out;
}

void TBuffer::setStoredText(QStringView stored)
{
    // As setText(readStoredText(stored)) without copying the text once more:
    // the stored form never yields a LF.
    m_text = texts::readStoredText(stored);
    m_caret = length() + 1;
    m_anchor = m_selEnd = -1;
    m_laidOut = false;
}

void TBuffer::ensureLayout() const
{
    if (m_laidOut)
        return;
    m_starts[0] = 1;
    layoutFrom(0, nullptr);
    m_laidOut = true;
}

void TBuffer::layoutFrom(int k, const OldLayout *old) const
{
    const QStringView text(m_text);
    const int len = length();
    int s = m_starts[k];
    int j = k;  // candidate index into the old starts
    while (k < MaxLines && s <= len) {
        s = int(texts::wrapLine(text, s - 1, m_margin, m_metrics).next) + 1;
        m_starts[++k] = s;
        if (!old || s > len || s - old->delta < old->firstUnchangedOld)
            continue;
        const std::vector<int> &o = *old->starts;
        const int oldPos = s - old->delta;
        while (j < old->count && o[j] < oldPos)
            ++j;
        if (j < old->count && o[j] == oldPos) {
            // From here on the text is the old tail, so are its lines.
            const int count = std::min(MaxLines, k + (old->count - j));
            for (int t = k; t <= count; ++t)
                m_starts[t] = o[j + t - k] + old->delta;
            k = count;
            s = m_starts[k];
            old = nullptr;  // what the old layout left out at the limit is laid out below
        }
    }
    const bool emptyLastLine = k > 0 && m_starts[k - 1] == len + 1;
    if (k < MaxLines && s == len + 1 && len > 0 && m_text.back() == HardReturn && !emptyLastLine) {
        m_starts[k + 1] = len + 1;  // the empty line after a final hard return
        ++k;
    }
    m_count = k;
}

int TBuffer::lineCount() const
{
    ensureLayout();
    return m_count;
}

int TBuffer::lineStart(int line) const
{
    ensureLayout();
    Q_ASSERT(line >= 0 && line <= m_count);
    return m_starts[line];
}

QStringView TBuffer::lineText(int line) const
{
    ensureLayout();
    Q_ASSERT(line >= 0 && line < m_count);
    const int s = m_starts[line];
    int e = m_starts[line + 1];
    if (e > s && m_text[e - 2] == HardReturn)
        --e;
    return QStringView(m_text).sliced(s - 1, e - s);
}

bool TBuffer::endsWithHardReturn(int line) const
{
    ensureLayout();
    const int s = m_starts[line];
    const int e = m_starts[line + 1];
    return e > s && m_text[e - 2] == HardReturn;
}

int TBuffer::lineEnd(int line) const
{
    ensureLayout();
    if (m_count == 0)
        return 1;
    const int next = m_starts[line + 1];
    const int len = length();
    if (next == len + 1 && !(next > m_starts[line] && m_text[len - 1] == HardReturn))
        return len + 1;
    return std::max(m_starts[line], next - 1);
}

int TBuffer::lineOf(int pos) const
{
    ensureLayout();
    if (m_count == 0)
        return 0;
    // The last line whose start is at or before pos.
    const auto first = m_starts.begin();
    const auto it = std::upper_bound(first, first + m_count, pos);
    return std::max(0, int(it - first) - 1);
}

int TBuffer::pageCount(int linesPerPage) const
{
    return (lineCount() - 1) / std::max(1, linesPerPage) + 1;
}

int TBuffer::positionInLine(int line, int x) const
{
    const QStringView chars = lineText(line);
    qsizetype n = 0;
    while (n < chars.size() && m_metrics.width(chars.first(n + 1)) <= x)
        ++n;
    return std::min(lineStart(line) + int(n), lineEnd(line));
}

void TBuffer::setCaret(int pos)
{
    m_caret = std::clamp(pos, 1, length() + 1);
}

void TBuffer::setAnchor(int pos)
{
    m_anchor = pos < 0 ? -1 : std::clamp(pos, 1, length() + 1);
}

void TBuffer::setSelectionEnd(int pos)
{
    m_selEnd = pos < 0 ? -1 : std::clamp(pos, 1, length() + 1);
}

void TBuffer::cancelSelection()
{
    m_anchor = -1;
}

int TBuffer::selectionFrom() const
{
    if (!selectionActive())
        return m_caret;
    return std::min(m_anchor, m_selEnd < 0 ? m_anchor : m_selEnd);
}

int TBuffer::selectionTo() const
{
    if (!selectionActive())
        return m_caret;
    return std::max(m_anchor, m_selEnd < 0 ? m_anchor : m_selEnd);
}

QString TBuffer::selectedText() const
{
    return m_text.mid(selectionFrom() - 1, selectionTo() - selectionFrom());
}

void TBuffer::selectAll()
{
    m_anchor = 1;
    m_selEnd = length() + 1;
    m_caret = length() + 1;
}

void TBuffer::clampSelection()
{
    if (m_anchor != -1)
        setAnchor(m_anchor);
    if (m_selEnd != -1)
        setSelectionEnd(m_selEnd);
    setCaret(m_caret);
}

bool TBuffer::deleteSelection()
{
    if (!selectionActive())
        return false;
    const int from = selectionFrom();
    const int to = selectionTo();
    m_anchor = m_selEnd = -1;
    m_caret = from;
    if (to == from)
        return false;
    replace(from, to - from, {});
    return true;
}

bool TBuffer::typeChar(QChar c, bool autoCase, bool spaceCheck)
{
    const bool deleted = deleteSelection();
    if (autoCase && c >= u'a' && c <= u'z') {
        int i = m_caret - 1;
        while (i > 1 && at(i) == u' ')
            --i;
        if (i < 1 || at(i) == u'!' || at(i) == u',' || at(i) == u'.' || at(i) == u'?')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    if (spaceCheck && c == u' ' && m_caret > 1 && at(m_caret - 1) == u' ')
        return deleted;
    replace(m_caret, 0, QStringView(&c, 1));
    ++m_caret;
    return true;
}

bool TBuffer::insertText(QStringView chars)
{
    const bool deleted = deleteSelection();
    QString clean = chars.toString();
    clean.remove(u'\n');
    if (clean.isEmpty())
        return deleted;
    replace(m_caret, 0, clean);
    m_caret += int(clean.size());
    return true;
}

bool TBuffer::beyondLimit() const
{
    ensureLayout();
    return m_count == MaxLines && m_starts[MaxLines] <= length();
}

qsizetype TBuffer::insertTextWithinLimit(QStringView chars)
{
    QString clean = chars.toString();
    clean.remove(u'\n');
    insertText(clean);
    if (!beyondLimit())
        return 0;
    // The most of it that fits, found by halving: each try lays out at most
    // MaxLines lines, however long the text offered. More characters never
    // give fewer lines, so what fits is a beginning of the text.
    const int pos = m_caret - int(clean.size());
    qsizetype fits = 0, tooLong = clean.size();  // fits <= answer < tooLong
    qsizetype now = clean.size();
    const auto tryLength = [&](qsizetype n) {
        replace(pos, int(now), QStringView(clean).first(n));
        now = n;
        return !beyondLimit();
    };
    while (tooLong - fits > 1) {
        const qsizetype mid = (fits + tooLong) / 2;
        if (tryLength(mid))
            fits = mid;
        else
            tooLong = mid;
    }
    tryLength(fits);  // nothing, when the text was beyond the limit already
    m_caret = pos + int(now);
    return clean.size() - now;
}

bool TBuffer::backspace()
{
    if (selectionActive())
        return deleteSelection();
    if (m_caret <= 1)
        return false;
    --m_caret;
    replace(m_caret, 1, {});
    return true;
}

bool TBuffer::deleteForward()
{
    if (selectionActive())
        return deleteSelection();
    if (m_caret > length())
        return false;
    replace(m_caret, 1, {});
    return true;
}

void TBuffer::replace(int pos, int count, QStringView with)
{
    Q_ASSERT(pos >= 1 && count >= 0 && pos + count <= length() + 1);
    if (count == 0 && with.isEmpty())
        return;
    const bool incremental = m_laidOut;
    int from = 0;
    if (incremental) {
        from = std::max(0, lineOf(pos) - 2);
        m_oldStarts = m_starts;
    }
    const int oldCount = m_count;
    QString clean = with.toString();
    clean.remove(u'\n');
    m_text.replace(pos - 1, count, clean);
    clampSelection();
    if (incremental) {
        const OldLayout old{&m_oldStarts, oldCount, int(clean.size()) - count, pos + count};
        layoutFrom(from, &old);
    }
}

void TBuffer::moveLeft()
{
    setCaret(m_caret - 1);
}

void TBuffer::moveRight()
{
    setCaret(m_caret + 1);
}

void TBuffer::moveUp()
{
    const int line = lineOf(m_caret);
    if (line == 0)
        return;
    const int column = m_caret - lineStart(line);
    setCaret(std::min(lineStart(line - 1) + column, lineEnd(line - 1)));
}

void TBuffer::moveDown()
{
    const int line = lineOf(m_caret);
    if (line >= lineCount() - 1)
        return;
    const int column = m_caret - lineStart(line);
    setCaret(std::min(lineStart(line + 1) + column, lineEnd(line + 1)));
}

void TBuffer::moveLineStart()
{
    setCaret(lineCount() == 0 ? 1 : lineStart(lineOf(m_caret)));
}

void TBuffer::moveLineEnd()
{
    setCaret(lineEnd(lineOf(m_caret)));
}

void TBuffer::moveWordLeft()
{
    int p = m_caret;
    while (p > 1 && at(p - 1) == u' ')
        --p;
    while (p > 1 && at(p - 1) != u' ')
        --p;
    setCaret(p);
}

void TBuffer::moveWordRight()
{
    const int len = length();
    int p = m_caret;
    while (p <= len && at(p) == u' ')
        ++p;
    while (p <= len && at(p) != u' ')
        ++p;
    while (p <= len && at(p) == u' ')
        ++p;
    setCaret(p);
}

void TBuffer::moveParagraphUp()
{
    int p = m_caret;
    if (p > 1 && at(p - 1) == HardReturn)
        return;
    while (p > 1 && at(p - 1) != HardReturn)
        --p;
    setCaret(p);
}

void TBuffer::moveParagraphDown()
{
    const int len = length();
    int p = m_caret;
    while (p <= len && at(p) != HardReturn)
        ++p;
    setCaret(p);
}

}  // namespace texts
