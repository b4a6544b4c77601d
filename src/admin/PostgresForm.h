#pragma once
// TPostgresForm: the SQL window, an administrator's tool that runs one typed
// statement at a time and shows the rows of a select as aligned text.
//
// The statement runs as typed, without SqlEscape (escaping would break every
// statement with a string literal), through the same database seam and
// session checks as every other statement. The last statement is kept in the
// per-user setting "sql".

#include <QDialog>
#include <QList>
#include <QStringList>

class QPlainTextEdit;

namespace admin {

// One line per row: each value padded with spaces on the right to the
// longest value of its column, joined by " | ". No header line.
QStringList AlignedRows(const QList<QStringList> &rows);

class TPostgresForm : public QDialog {
    Q_OBJECT
public:
    explicit TPostgresForm(QWidget *parent = nullptr);
    ~TPostgresForm() override;

    // What Enter in Memo1 does: trims the statement, runs it, and for a
    // select shows its rows in Memo2 (otherwise Memo2 stays as it is).
    void Run();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPlainTextEdit *Memo1;
    QPlainTextEdit *Memo2;
};

}  // namespace admin
