#pragma once
// TPersonalEdit: the text editor of the versions window and the promo
// dialog. A thin widget over TBuffer (text, lines, caret, selection, typing
// rules) and the renderer (paintEditor): it turns keys and mouse events into
// buffer operations, keeps the scroll position and the caret blink, and
// paints through the renderer. Text goes in and out in the stored form
// (StoredText) and is counted in pages of LinesPerPage display lines.

#include "texts/Buffer.h"
#include "texts/EditorFont.h"
#include "texts/EditorRenderer.h"

#include <QBasicTimer>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace texts {

// What the editor says when inserted text did not fit its display lines.
QString TextTooLongMessage();

class TPersonalEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int MarginWidth READ MarginWidth WRITE setMarginWidth)
    Q_PROPERTY(int LineDistance READ LineDistance WRITE setLineDistance)
    Q_PROPERTY(int LinesPerPage READ LinesPerPage WRITE setLinesPerPage)
    Q_PROPERTY(int Caret READ Caret WRITE setCaret)
    Q_PROPERTY(bool AutoCase READ AutoCase WRITE setAutoCase)
    Q_PROPERTY(bool SpaceCheck READ SpaceCheck WRITE setSpaceCheck)
    Q_PROPERTY(QString StoredText READ StoredText WRITE setStoredText)

public:
    explicit TPersonalEdit(QWidget *parent = nullptr);
    ~TPersonalEdit() override;

    int MarginWidth() const { return m_buffer.MarginWidth(); }
    void setMarginWidth(int pixels);
    int LineDistance() const { return m_lineDistance; }
    void setLineDistance(int pixels);  // the line pitch is computed anew
    int LinesPerPage() const { return m_linesPerPage; }
    void setLinesPerPage(int lines);  // below 1 counts as 1
    int Caret() const { return m_buffer.caret(); }
    void setCaret(int pos);
    bool AutoCase() const { return m_autoCase; }
    void setAutoCase(bool on) { m_autoCase = on; }
    bool SpaceCheck() const { return m_spaceCheck; }
    void setSpaceCheck(bool on) { m_spaceCheck = on; }
    QMenu *PopupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu *menu) { m_popupMenu = menu; }

    // The stored form of the text; setting it replaces the whole text, puts
    // the caret after it and raises OnChange.
    QString StoredText() const { return m_buffer.storedText(); }
    void setStoredText(const QString &stored);
    // Pages of the current text (an empty text: 1, or 0 with one line a page).
    int PageCount() const { return m_buffer.pageCount(m_linesPerPage); }

    void CopySelection();  // the selection (or an empty text) to the clipboard
    void CutSelection();  // copy, then delete the selection
    void PasteClipboard();  // InsertText of the clipboard's text
    // Replaces the selection; no typing rules. Only as much as keeps the text
    // within TBuffer::MaxLines display lines goes in, and a warning
    // (TextTooLongMessage) says that the rest was left out.
    void InsertText(const QString &chars);

    // Types c as the keyboard does, with AutoCase and SpaceCheck.
    void typeChar(QChar c);

    // View state, for the versions window and for tests.
    const TBuffer &buffer() const { return m_buffer; }
    const QFont &editorFont() const { return m_font; }  // the resolved font painted with
    int linePitch() const;  // text height of "h" + LineDistance
    int textHeight() const { return m_widths->textHeight(); }
    int visibleLines() const;
    int firstVisibleLine() const { return m_firstVisible; }
    QRect thumbRect() const;
    // The position under a point of the control, or -1 when there is none.
    int positionAt(QPoint point) const;

    QSize sizeHint() const override { return {300, 100}; }

signals:
    void OnChange();

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void timerEvent(QTimerEvent *e) override;

private:
    bool handlesKey(const QKeyEvent *e) const;
    void fontChanged();
    void afterEdit(bool changed);  // scroll to the caret, repaint, OnChange when changed
    void caretMoved();  // scroll to the caret and repaint
    void restartBlink();
    void prepareView();  // the first part of a repaint
    texts::EditorView view() const;
    void updateCursorShape(QPoint p);

    TBuffer m_buffer;
    QFont m_font;
    std::shared_ptr<const texts::FontWidths> m_widths;
    int m_lineDistance = 5;
    int m_linesPerPage = 2;
    bool m_autoCase = true;
    bool m_spaceCheck = true;
    mutable int m_linePitch = 0;  // 0 until computed
    int m_firstVisible = 0;
    bool m_followCaret = true;  // the next repaint scrolls the caret into view
    bool m_selecting = false;
    bool m_dragging = false;
    int m_dragOffset = 0;  // pointer y - thumb top when dragging started
    QPointer<QMenu> m_popupMenu;
    QBasicTimer m_blink;
    bool m_caretOn = false;
};

}  // namespace texts
