#pragma once
// TQueryDropDown: a drop-down list over a small name table (id, naam) with a
// "..." button whose menu adds, renames and deletes names in that table.
//
// DESIGN. The list always mirrors the table as of its last load: every
// statement is followed by a reload, which selects the first name. Names are
// escaped with SqlEscape, backslashes included, so a name reaches the table
// exactly as typed. The table name comes from the template definition and is
// used as it stands.

#include <QWidget>

class QAction;
class QMenu;
class QToolButton;

namespace texts {
class TStyleComboBox;

class TQueryDropDown : public QWidget {
    Q_OBJECT
public:
    // Reads and changes table through the program's database client.
    TQueryDropDown(const QString &table, int maxLength, QWidget *parent = nullptr);

    // Loads "select id,naam from <table> order by naam" as items "id naam"
    // and selects the first.
    void Reload();

    // The selected item's text up to its first space; empty without items.
    QString SelectedId() const;
    // Selects the last item whose text up to its first space equals id;
    // keeps the selection when none does.
    void SelectId(const QString &id);

    // The menu's actions; they ask with the input dialog and change the table.
    void AddItem();
    void ChangeItem();
    void DeleteItem();

    TStyleComboBox *ComboBox() const { return m_combo; }
    QToolButton *Button() const { return m_button; }
    QMenu *Menu() const { return m_menu; }
    QString Table() const { return m_table; }
    int MaxLength() const { return m_maxLength; }

private:
    void ButtonClick();
    // Asks for a name (at most MaxLength characters); false when cancelled.
    bool askName(const QString &caption, QString &name) const;
    void run(const QString &sql);

    QString m_table;
    int m_maxLength;
    TStyleComboBox *m_combo = nullptr;
    QToolButton *m_button = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_change = nullptr;
    QAction *m_delete = nullptr;
};

}  // namespace texts
