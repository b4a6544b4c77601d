#pragma once
// TBronZoekDialog: searches the text of every internet item and news-wire
// item for a word, lists the hits newest first and shows the chosen one with
// the word marked. "Naar agenda" hands the shown hit to the sources frame.

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;

namespace views {
class THighlightView;
}

class QFont;

namespace incoming {

// Where the hit lines' titles start: 55 pixels in, or one space after the
// widest kind word in bold when that is further ("internet" is, in most
// fonts), so the titles stay one column.
int HitTitleLeft(const QFont &font);

class TBronZoekDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBronZoekDialog(QWidget *parent = nullptr);

    void Button2Click();  // "&Zoeken", also Enter in Edit1
    void ListBox1Click();  // shows the chosen hit
    void ToolButton1Click();  // print
    void ToolButton2Click();  // copy

    // The hit shown last: its kop, and kop, an empty line and body.
    QString title() const { return m_title; }
    QString plainText() const { return m_plain; }

    QLineEdit *Edit1() const { return m_edit; }
    QListWidget *ListBox1() const { return m_list; }
    views::THighlightView *HighlightView1() const { return m_view; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_edit = nullptr;
    QListWidget *m_list = nullptr;
    QScrollArea *m_scroll = nullptr;
    views::THighlightView *m_view = nullptr;
    QString m_title;
    QString m_plain;
};

}  // namespace incoming
