#pragma once
// TArchiefFrame: the archive search. Finds the texts of tblteksten whose body
// holds every search word within a date range, lists them newest first and
// shows the chosen one with the words highlighted; prints and copies it; and
// collects the selected ids for a window that chooses texts (FRAME_COLLECT).
//
// DESIGN
// The statements, the word splitting, the plain text and the markup come
// from ArchiefSearch.h; this class only moves them between the database and
// the controls. Result lines keep the system's line format (id, space, kop,
// character 255, datum); the delegate draws them and ParseArchiveResultLine
// reads them back, so the list is the only store of the results.

#include "core/Frame.h"

#include <QList>
#include <QString>
#include <QStringList>

class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace views {
class THighlightView;
}

namespace texts {

class TArchiefFrame : public core::TFrame {
    Q_OBJECT
public:
    explicit TArchiefFrame(QWidget *parent = nullptr);

    // FRAME_ACTIVATE focuses Edit1; FRAME_COLLECT fills chosenIds().
    bool frameMessage(int msg, qintptr wParam, qintptr lParam) override;

    // "&Zoeken": the warning for fewer than 3 characters, else the search.
    void Button1Click();
    // Shows the current result line when it is selected; with none the
    // selected text id becomes -1 and nothing else changes.
    void resultaatClick();
    // Print after the confirmation.
    void ToolButton1Click();
    // The plain text of the text shown onto the clipboard.
    void ToolButton2Click();

    const QStringList &searchWords() const { return m_words; }
    int selectedTextId() const { return m_selectedId; }
    const QString &plainText() const { return m_plainText; }
    const QList<int> &chosenIds() const { return m_chosen; }

    QLineEdit *Edit1() const { return m_edit; }
    QDateEdit *vanaf() const { return m_from; }
    QDateEdit *tot() const { return m_until; }
    QPushButton *Button1() const { return m_search; }
    QListWidget *resultaat() const { return m_results; }
    QLabel *totals() const { return m_totals; }
    views::THighlightView *view() const { return m_view; }
    QToolButton *ToolButton1() const { return m_print; }
    QToolButton *ToolButton2() const { return m_copy; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    void showText(int id, const QString &datum);
    void collect();
    void fitViewer();
    // Handles a key typed into Edit1; true when it was consumed.
    bool edit1Key(QKeyEvent *event);

    QLabel *m_title;
    QLineEdit *m_edit;
    QDateEdit *m_from;
    QDateEdit *m_until;
    QPushButton *m_search;
    QListWidget *m_results;
    QLabel *m_totals;
    QScrollArea *m_scroll;
    views::THighlightView *m_view;
    QToolButton *m_print;
    QToolButton *m_copy;

    QStringList m_words;  // of the last search, in order
    int m_selectedId = -1;  // the text shown
    QString m_plainText;  // of the text shown
    QList<int> m_chosen;  // collected by FRAME_COLLECT
};

}  // namespace texts
