#pragma once
// Tsplashform: the login window. Borderless, centred, the start picture at
// its natural size with the user name (Edit1) and the masked password
// (Edit2) on it. Enter in Edit2 tries the log-in through the authenticate
// callback; a refusal warns, clears the password and goes back to Edit1.

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

namespace core {

class Tsplashform : public QDialog {
    Q_OBJECT
public:
    // Sends "auth" + name + password; true when the server accepted.
    using Authenticate = std::function<bool(const QString &name, const QString &password)>;

    explicit Tsplashform(QWidget *parent = nullptr);

    void setAuthenticate(Authenticate authenticate) { m_authenticate = std::move(authenticate); }
    QLineEdit *Edit1() const { return m_edit1; }
    QLineEdit *Edit2() const { return m_edit2; }

    // Shows the window modally with Edit1 prefilled; Accepted after a log-in.
    int showModal(const QString &userName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tryLogin();

    QLabel *m_picture;
    QLineEdit *m_edit1;
    QLineEdit *m_edit2;
    Authenticate m_authenticate;
};

}  // namespace core
