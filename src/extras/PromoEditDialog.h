#pragma once
// TPromoEditDialog: a programme's promo information (title, short and long
// description). Closing it in any way stores the three fields.

#include "extras/TextWidgets.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace extras {

class TPromoEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPromoEditDialog(QWidget *parent = nullptr);

    // Reads the programme; false (and nothing will be stored) without its row.
    bool Load(int id);
    void Store();
    void done(int result) override;

    QLineEdit *titel() const { return m_title; }
    QLineEdit *kort() const { return m_short; }
    const StoredTextEditor &lang() const { return m_long; }

private:
    QLineEdit *m_title;
    QLineEdit *m_short;
    StoredTextEditor m_long;
    QPushButton *m_close;
    int m_id = -1;  // tblpromo.id loaded; -1 none
};

}  // namespace extras
