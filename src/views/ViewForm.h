#pragma once
// TViewForm: the shared read-only window in which other windows show a
// markup text (a linked archive text, a fetched source item). Created once at
// start-up and reused: callers set the caption and the text, then show it.

#include <QWidget>

class QScrollArea;
class QToolButton;

namespace views {

class THighlightView;

class TViewForm : public QWidget {
    Q_OBJECT
public:
    explicit TViewForm(QWidget *parent = nullptr);

    THighlightView *HighlightView1() const { return m_view; }
    QToolButton *ToolButton1() const { return m_print; }
    QScrollArea *ScrollBox1() const { return m_scroll; }

    // Caption and markup, then shown without waiting and brought to the front.
    void ShowText(const QString &caption, const QString &markup);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitViewer();

    QScrollArea *m_scroll;
    THighlightView *m_view;
    QToolButton *m_print;
};

}  // namespace views
