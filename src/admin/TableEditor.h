#pragma once
// TTableEditor: edits the rows of any table registered in tbltableeditor
// (name, sort column) through a grid and three tool buttons. Every
// registered table has an integer id as its first column; the other columns
// are shown and edited as text and written as quoted, escaped text (the
// database converts them). Rows are reloaded completely after each change.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QToolButton;
class QTreeWidget;

namespace admin {

class TTableEditor : public QDialog {
    Q_OBJECT
public:
    explicit TTableEditor(QWidget *parent = nullptr);

    // Reloads the rows of the table chosen in `tables`.
    void Load();
    void ToolButton1Click();  // new row
    void ToolButton3Click();  // edit the selected row
    void ToolButton4Click();  // delete the selected row

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString table() const;
    // Asks for every column from the second on, starting from start; false
    // when any question was cancelled.
    bool askValues(QStringList &values);
    int selectedId() const;

    QTreeWidget *view;
    QComboBox *tables;
    QStringList m_sortColumns;  // parallel to the entries of `tables`
    QStringList m_columns;  // the columns after the first of the loaded table
};

}  // namespace admin
