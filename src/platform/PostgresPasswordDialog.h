#pragma once
// The small password prompt of the database client, built at run time. The
// settings password check shows it modally and reads Password afterwards.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {

class TPostgresPasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPostgresPasswordDialog(QWidget *parent = nullptr);

    QString Password;  // follows every change of the edit

    QLabel *Label = nullptr;
    QLineEdit *Edit = nullptr;
    QPushButton *OkButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};

}  // namespace platform
