#pragma once
// TMededeling: the announcements window. Every incoming message (from other
// editors and from the server itself) joins a queue; the first one is shown,
// "Volgende" steps on, "Sluiten" closes after the last. Messages from
// "quillon" get no reply button.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace core {

class TMededeling : public QDialog {
    Q_OBJECT
public:
    explicit TMededeling(QWidget *parent = nullptr);

    // Queues the message (stamped "hh:nn:ss ") and shows the window without waiting.
    void AddAnnouncement(const QString &sender, const QString &text);
    // Queues the message and shows the window modally until it is closed.
    void AddAnnouncementModal(const QString &sender, const QString &text);

    const QStringList &texts() const { return m_texts; }
    QString currentSender() const { return m_currentSender; }

    void Button1Click();  // "Sluiten" / "Volgende"
    void Button2Click();  // "Antwoordknop"

private:
    void append(const QString &sender, const QString &text);
    void updateView();

    QPlainTextEdit *m_memo;
    QPushButton *m_button1;
    QPushButton *m_button2;
    QStringList m_senders;  // parallel to m_texts; the first entry is the one shown
    QStringList m_texts;
    QString m_currentSender;
};

}  // namespace core
