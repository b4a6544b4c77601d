#pragma once
// TPauzeForm: the waiting window shown while a search blocks the program.
// One exists for the whole run; the newest one created is the one
// ShowSearchNotice shows (a window is made on first use when start-up made none).

#include <QWidget>

class QLabel;

namespace core {

class TPauzeForm : public QWidget {
    Q_OBJECT
public:
    explicit TPauzeForm(QWidget *parent = nullptr);
    ~TPauzeForm() override;

    // The window ShowSearchNotice uses: the newest alive, else one made now.
    static TPauzeForm *instance();

    // Puts the program title (state().title) in the label, centres the window
    // on the screen, shows it and paints it before returning.
    void showNotice();

    QLabel *titleLabel() const { return m_title; }
    QLabel *captionLabel() const { return m_caption; }

private:
    QLabel *m_title;
    QLabel *m_caption;
};

}  // namespace core
