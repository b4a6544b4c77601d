#pragma once
// TStyleComboBox: a combo box that drops its list down as soon as the user
// types and selects as they type. Used by the input panel (fixed lists, query
// lists, TQueryDropDown) and on its own elsewhere.
//
// DESIGN. The search text grows with every printable key and shrinks with
// backspace; keys that are neither letters, space nor backspace clear it
// first, and the focus arriving clears it too. Printable keys never reach the
// edit part, so even an editable box can only take a text from its list (or
// from code). While the list is dropped down its view gets the keys; they are
// routed back here so the search goes on.
//
// Owner-drawn boxes hold items "id name" and show only the name, in the list
// and in the box: the search works on the same shown names.

#include <QComboBox>

namespace texts {

class TStyleComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TStyleComboBox(QWidget *parent = nullptr);

    // Owner-drawn: a fixed drop-down list of "id name" items showing names.
    void setOwnerDrawn(bool ownerDrawn);
    bool ownerDrawn() const { return m_ownerDrawn; }

    QString searchText() const { return m_search; }

    // The text the search compares for item: without a leading run of digits
    // and, when there was one, the character after it; lowercased.
    static QString searchKey(const QString &item);

    // Selects the first item, from the selected one to the last and then
    // from the first, whose search key begins with the search text. Changes
    // nothing when none does or the list is empty.
    void Search();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Applies the search rules to one key; true when the key was consumed.
    bool searchKeyPress(QKeyEvent *event);

    QString m_search;
    bool m_ownerDrawn = false;
};

}  // namespace texts
