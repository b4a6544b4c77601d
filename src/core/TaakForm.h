#pragma once
// TTaakForm: the job window. It shows the server's active and planned jobs
// and a log of job messages, and only listens while it is shown: job lines
// that arrive while it is hidden are dropped, and showing it asks for the
// lists again ("job list") instead of trusting an old copy.

#include <QTimer>
#include <QWidget>

class QListWidget;
class QPushButton;

namespace core {

class TLogView;

class TTaakForm : public QWidget {
    Q_OBJECT
public:
    explicit TTaakForm(QWidget *parent = nullptr);

    // The argument of a "job" line: "refresh", "log" text, "aname" planned
    // job, "name" active job; other sub-kinds and anything while hidden are dropped.
    void HandleJobMessage(const QString &text);

    // Clears both lists and sends "job list"; the job lines come with the reply.
    void Reload();

    QListWidget *ListBox1() const { return m_listBox1; }
    QListWidget *ListBox2() const { return m_listBox2; }
    TLogView *LogView1() const { return m_logView; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QListWidget *m_listBox1;  // active jobs
    QListWidget *m_listBox2;  // planned jobs
    TLogView *m_logView;
    QPushButton *m_button1;
    QTimer m_timer1;  // reload every 30 s while shown
};

}  // namespace core
