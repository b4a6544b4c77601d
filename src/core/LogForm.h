#pragma once
// TLogForm: the log window of the database and server traffic, for
// administrators. It only collects while it is shown: a hidden log costs
// nothing, and what happened before it was opened is not kept.

#include <QWidget>

namespace core {

class TLogView;

class TLogForm : public QWidget {
    Q_OBJECT
public:
    explicit TLogForm(QWidget *parent = nullptr);

    TLogView *LogView1() const { return m_view; }

    // While the window is visible: adds the stamped text ("<bold>hh:nn:ss<normal> "
    // + text) and keeps the newest 50 lines. While it is hidden the text is dropped.
    void LogStatus(const QString &text);

    // Places the window 10 pixels from the right and 50 above the bottom of the desktop.
    void placeOnDesktop();

private:
    TLogView *m_view;
};

}  // namespace core
