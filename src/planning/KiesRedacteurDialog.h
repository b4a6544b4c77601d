#pragma once
// TKiesRedacteurDialog: "Kies redacteur", the editor chooser of the
// production list. Lists every login name and shows whether the chosen
// editor is logged in now; after "&Ok" Result() is the chosen name.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace planning {

class TKiesRedacteurDialog : public QDialog {
    Q_OBJECT
public:
    explicit TKiesRedacteurDialog(QWidget *parent = nullptr);

    QString Result() const { return m_result; }

    QComboBox *ComboBox1() const { return m_combo; }
    QLabel *stat() const { return m_stat; }
    QPushButton *Button1() const { return m_ok; }
    QPushButton *Button2() const { return m_cancel; }

    // Asks the server about the selected name: "online" in green or
    // "offline" in red.
    void OnlineCheck();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadNames();

    QLabel *m_label;
    QLabel *m_stat;
    QComboBox *m_combo;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QString m_result;
    bool m_loaded = false;
};

}  // namespace planning
