#pragma once
// TDatumForm: the borderless calendar dialog of "&Anders ...", which picks
// the work date. The calendar starts at today; the caller sets it.

#include <QDialog>

class QCalendarWidget;
class QPushButton;

namespace planning {

class TDatumForm : public QDialog {
    Q_OBJECT
public:
    explicit TDatumForm(QWidget *parent = nullptr);

    QCalendarWidget *dat() const { return m_dat; }
    QPushButton *Button1() const { return m_ok; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QCalendarWidget *m_dat;
    QPushButton *m_ok;
};

}  // namespace planning
