#pragma once
// TOpgeefDialog: "Belangrijke vraag!", asked of the final editor when another
// editor claims the role. Unanswered, it answers Yes by itself after 30
// seconds: a desk without an attentive final editor must not stay without one.

#include <QDialog>
#include <QTimer>

class QLabel;

namespace core {

class TOpgeefDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int Seconds = 30;

    explicit TOpgeefDialog(const QString &claimant, QWidget *parent = nullptr);

    // Modal; true for Yes (the button or the time-out).
    bool ask();

    // One tick of the countdown: the counter goes down and the label follows;
    // the tick after 0 closes the dialog with Yes.
    void Timer1Timer();
    int counter() const { return m_counter; }

    // Test hook: the interval of the countdown timer (1000 ms) for dialogs
    // created from now on.
    static void setTickInterval(int ms);

private:
    QLabel *m_panel1;
    QLabel *m_label1;
    QTimer m_timer;
    int m_counter = Seconds;
};

}  // namespace core
