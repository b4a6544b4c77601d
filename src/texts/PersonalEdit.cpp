#include "texts/PersonalEdit.h"

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "texts/PopupComponent.h"
#include "texts/StoredText.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace texts {

namespace {

bool isMoveKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return true;
    default: return false;
    }
}

// Characters the keyboard types: everything from the space up that is not a
// control character.
bool isTypeable(QChar c)
{
    return c.unicode() >= 32 && c.category() != QChar::Other_Control;
}

// Ctrl without Alt gives commands; Alt without Ctrl belongs to the menus;
// both together (AltGr on some platforms) types.
bool ctrlOnly(Qt::KeyboardModifiers m)
{
    return (m & Qt::ControlModifier) && !(m & Qt::AltModifier);
}

bool altOnly(Qt::KeyboardModifiers m)
{
    return (m & Qt::AltModifier) && !(m & Qt::ControlModifier);
}

}  // namespace

QString TextTooLongMessage()
{
    return QStringLiteral("De ingevoegde tekst past niet helemaal: een tekst telt hoogstens %1 regels.\n"
                          "Wat niet past, is weggelaten.")
        .arg(TBuffer::MaxLines);
}

TPersonalEdit::TPersonalEdit(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted; no separate erase
    setAttribute(Qt::WA_InputMethodEnabled);
    setMouseTracking(true);
    resize(300, 100);
    setFont(QFont(QStringLiteral("Arial"), 12));
    fontChanged();
}

TPersonalEdit::~TPersonalEdit() = default;

void TPersonalEdit::fontChanged()
{
    m_font = texts::editorFont(font());
    m_widths = texts::sharedFontWidths(m_font);
    const texts::FontWidths *widths = m_widths.get();
    m_buffer.setTextMetrics(texts::TextMetrics::additive([widths](QChar c) { return widths->advance(c); }));
    // The line pitch follows the font: a pitch kept from the previous font
    // would overlap larger lines or spread smaller ones.
    m_linePitch = 0;
    m_followCaret = true;
    update();
}

void TPersonalEdit::setMarginWidth(int pixels)
{
    m_buffer.setMarginWidth(pixels);
    m_followCaret = true;
    update();
}

void TPersonalEdit::setLineDistance(int pixels)
{
    m_lineDistance = pixels;
    m_linePitch = 0;
    m_followCaret = true;
    update();
}

void TPersonalEdit::setLinesPerPage(int lines)
{
    m_linesPerPage = std::max(1, lines);
    update();
}

void TPersonalEdit::setCaret(int pos)
{
    m_buffer.setCaret(pos);
    caretMoved();
}

void TPersonalEdit::setStoredText(const QString &stored)
{
    m_buffer.setStoredText(stored);
    m_selecting = false;
    afterEdit(true);
}

void TPersonalEdit::CopySelection()
{
    platform::clipboard().setText(m_buffer.selectedText());
}

void TPersonalEdit::CutSelection()
{
    CopySelection();
    // The text changed, so OnChange is raised as after any other deletion:
    // listeners such as the crash backup must see the cut.
    afterEdit(m_buffer.deleteSelection());
}

void TPersonalEdit::PasteClipboard()
{
    InsertText(platform::clipboard().text());
}

void TPersonalEdit::InsertText(const QString &chars)
{
    // Text beyond the last display line would be neither shown nor counted
    // in the pages: what does not fit is left out, and the editor is told.
    const qsizetype left = m_buffer.insertTextWithinLimit(chars);
    afterEdit(true);
    if (left > 0)
        platform::showWarning(TextTooLongMessage());
}

void TPersonalEdit::typeChar(QChar c)
{
    afterEdit(m_buffer.typeChar(c, m_autoCase, m_spaceCheck));
}

int TPersonalEdit::linePitch() const
{
    if (m_linePitch == 0)
        m_linePitch = std::max(1, m_widths->textHeight() + m_lineDistance);
    return m_linePitch;
}

int TPersonalEdit::visibleLines() const
{
    return texts::visibleLineCount(height(), m_widths->textHeight(), m_lineDistance, linePitch());
}

QRect TPersonalEdit::thumbRect() const
{
    return texts::thumbRect(size(), m_buffer.lineCount(), m_firstVisible, visibleLines());
}

int TPersonalEdit::positionAt(QPoint point) const
{
    if (point.x() <= 2 || point.x() >= MarginWidth() + 2 || point.y() <= 2)
        return -1;
    const int line = (point.y() - 2) / linePitch() + m_firstVisible;
    if (line >= m_buffer.lineCount())
        return -1;
    return m_buffer.positionInLine(line, point.x());
}

void TPersonalEdit::afterEdit(bool changed)
{
    caretMoved();
    if (changed)
        emit OnChange();
}

void TPersonalEdit::caretMoved()
{
    m_followCaret = true;
    restartBlink();
    update();
}

void TPersonalEdit::restartBlink()
{
    if (!hasFocus())
        return;
    m_caretOn = true;
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

bool TPersonalEdit::event(QEvent *e)
{
    // The control wants every key, Tab included, before focus handling or
    // application shortcuts see it.
    if (e->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(e);
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
            keyPressEvent(ke);
            return true;
        }
    } else if (e->type() == QEvent::ShortcutOverride) {
        auto *ke = static_cast<QKeyEvent *>(e);
        if (handlesKey(ke)) {
            ke->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

bool TPersonalEdit::handlesKey(const QKeyEvent *e) const
{
    const int key = e->key();
    if (isMoveKey(key))
        return true;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return true;
    default: break;
    }
    const Qt::KeyboardModifiers mods = e->modifiers();
    if (ctrlOnly(mods))
        return key == Qt::Key_A || key == Qt::Key_C || key == Qt::Key_X || key == Qt::Key_V || key == Qt::Key_Z ||
               key == Qt::Key_Y;
    return !altOnly(mods) && !e->text().isEmpty() && isTypeable(e->text().front());
}

void TPersonalEdit::keyPressEvent(QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers();
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = ctrlOnly(mods);
    const int key = e->key();
    // Every key the control acts on and every character key is consumed;
    // function keys and the like go on to the window.
    e->setAccepted(handlesKey(e) || !e->text().isEmpty());

    if (shift && !m_buffer.selectionActive())
        m_buffer.setAnchor(m_buffer.caret());
    // Moving without Shift ends the selection. Page Up and Page Down do as
    // well: a selection left behind would be deleted by the next key typed,
    // far from the caret.
    if (isMoveKey(key) && !shift)
        m_buffer.cancelSelection();

    bool edited = false;
    bool changed = false;
    switch (key) {
    case Qt::Key_Left: ctrl ? m_buffer.moveWordLeft() : m_buffer.moveLeft(); break;
    case Qt::Key_Right: ctrl ? m_buffer.moveWordRight() : m_buffer.moveRight(); break;
    case Qt::Key_Up: ctrl ? m_buffer.moveParagraphUp() : m_buffer.moveUp(); break;
    case Qt::Key_Down: ctrl ? m_buffer.moveParagraphDown() : m_buffer.moveDown(); break;
    case Qt::Key_Home: ctrl ? m_buffer.moveTextStart() : m_buffer.moveLineStart(); break;
    case Qt::Key_End: ctrl ? m_buffer.moveTextEnd() : m_buffer.moveLineEnd(); break;
    case Qt::Key_PageUp:
        for (int i = 0; i < m_linesPerPage; ++i)
            m_buffer.moveUp();
        break;
    case Qt::Key_PageDown:
        for (int i = 0; i < m_linesPerPage; ++i)
            m_buffer.moveDown();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        edited = true;
        changed = m_buffer.typeChar(texts::HardReturn, m_autoCase, m_spaceCheck);
        break;
    case Qt::Key_Backspace:
        edited = true;
        changed = m_buffer.backspace();
        break;
    case Qt::Key_Delete:
        edited = true;
        changed = m_buffer.deleteForward();
        break;
    default:
        if (ctrl) {
            switch (key) {
            case Qt::Key_A: m_buffer.selectAll(); break;
            case Qt::Key_C: CopySelection(); break;
            case Qt::Key_X: CutSelection(); break;
            case Qt::Key_V: PasteClipboard(); break;
            default: break;  // Ctrl+Z, Ctrl+Y (there is no undo) and the rest
            }
        } else if (!altOnly(mods)) {
            for (QChar c : e->text()) {
                if (isTypeable(c)) {
                    edited = true;
                    changed = m_buffer.typeChar(c, m_autoCase, m_spaceCheck) || changed;
                }
            }
        }
        break;
    }

    if (shift)
        m_buffer.setSelectionEnd(m_buffer.caret());
    if (edited)
        afterEdit(changed);
    else
        caretMoved();
}

void TPersonalEdit::inputMethodEvent(QInputMethodEvent *e)
{
    // Composed characters (dead keys, input methods) arrive here instead of
    // as key presses; they are typed like keys. Pre-edit text is not shown.
    bool changed = false;
    for (QChar c : e->commitString())
        if (isTypeable(c))
            changed = m_buffer.typeChar(c, m_autoCase, m_spaceCheck) || changed;
    e->accept();
    afterEdit(changed);
}

QVariant TPersonalEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImCursorRectangle: {
        const int line = m_buffer.lineOf(m_buffer.caret()) - m_firstVisible;
        return QRect(2, 2 + line * linePitch(), 1, m_widths->textHeight());
    }
    default: return QWidget::inputMethodQuery(query);
    }
}

void TPersonalEdit::mousePressEvent(QMouseEvent *e)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint p = e->position().toPoint();
    const QRect thumb = thumbRect();
    if (e->button() == Qt::LeftButton && thumb.contains(p)) {
        m_dragging = true;
        m_dragOffset = p.y() - thumb.top();
        return;
    }
    const int pos = positionAt(p);
    if (pos > 0)
        m_buffer.setCaret(pos);
    m_buffer.cancelSelection();
    // Only the left button selects: selecting ends when it is released, and
    // a right click opens the popup menu.
    m_selecting = e->button() == Qt::LeftButton;
    caretMoved();
}

void TPersonalEdit::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    updateCursorShape(p);
    if (m_dragging) {
        m_firstVisible =
            texts::firstLineForThumbTop(p.y() - m_dragOffset, size(), m_buffer.lineCount(), visibleLines());
        update();
        return;
    }
    if (!m_selecting)
        return;
    const int pos = positionAt(p);
    if (pos < 0)
        return;
    // The selection starts where the button went down, which is where the
    // press put the caret.
    if (!m_buffer.selectionActive())
        m_buffer.setAnchor(m_buffer.caret());
    m_buffer.setSelectionEnd(pos);
    m_buffer.setCaret(pos);
    caretMoved();
}

void TPersonalEdit::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_selecting = false;
        m_dragging = false;
    }
}

void TPersonalEdit::wheelEvent(QWheelEvent *e)
{
    const int steps = e->angleDelta().y() / 120;
    if (steps == 0)
        return;
    const int last = std::max(0, m_buffer.lineCount() - 1 - visibleLines());
    m_firstVisible = std::clamp(m_firstVisible - 3 * steps, 0, last);
    update();
    e->accept();
}

void TPersonalEdit::updateCursorShape(QPoint p)
{
    const int stripLeft = texts::scrollStripLeft(size());
    if (p.x() >= stripLeft)
        setCursor(Qt::ArrowCursor);
    else if (p.x() > 1 && p.x() < MarginWidth() + 2)
        setCursor(Qt::IBeamCursor);
    else
        setCursor(Qt::ForbiddenCursor);
}

void TPersonalEdit::contextMenuEvent(QContextMenuEvent *e)
{
    if (!m_popupMenu)
        return;
    m_popupMenu->setProperty(PopupComponentProperty, QVariant::fromValue(static_cast<QObject *>(this)));
    m_popupMenu->popup(e->globalPos());
    e->accept();
}

void TPersonalEdit::prepareView()
{
    const int visible = visibleLines();
    const int count = m_buffer.lineCount();
    if (m_followCaret) {
        m_firstVisible = texts::scrollToLine(m_firstVisible, m_buffer.lineOf(m_buffer.caret()), visible);
        m_followCaret = false;
    }
    m_firstVisible = std::clamp(m_firstVisible, 0, std::max(0, count - 1));
}

texts::EditorView TPersonalEdit::view() const
{
    texts::EditorView v;
    v.size = size();
    v.font = m_font;
    v.ascent = m_widths->ascent();
    v.textHeight = m_widths->textHeight();
    v.marginWidth = MarginWidth();
    v.lineDistance = m_lineDistance;
    v.linesPerPage = m_linesPerPage;
    v.linePitch = linePitch();
    v.firstVisibleLine = m_firstVisible;
    v.visibleLines = visibleLines();
    v.showCaret = hasFocus() && m_caretOn;
    v.colors = texts::EditorColors::fromPalette(palette());
    return v;
}

void TPersonalEdit::paintEvent(QPaintEvent *)
{
    prepareView();
    QPainter painter(this);
    texts::paintEditor(painter, m_buffer, view());
}

void TPersonalEdit::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    restartBlink();
    update();
}

void TPersonalEdit::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    m_blink.stop();
    m_caretOn = false;
    m_selecting = false;
    m_dragging = false;
    update();
}

void TPersonalEdit::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        fontChanged();
}

void TPersonalEdit::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    m_followCaret = true;
}

void TPersonalEdit::timerEvent(QTimerEvent *e)
{
    if (e->timerId() != m_blink.timerId()) {
        QWidget::timerEvent(e);
        return;
    }
    m_caretOn = !m_caretOn;
    update();
}

}  // namespace texts
