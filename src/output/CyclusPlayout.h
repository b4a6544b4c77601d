#pragma once
// TCyclusPlayout: one rubric read full screen on air, one text at a time,
// with a clock and the rubric and text lists at the side.
//
// DESIGN
// One window for the program's life (instance()), so its clock runs on and
// the colours, page record and position stay between uses. It always reads
// the working copies. The drawing control TPlayoutCanvas gets a copy of the
// page record and lays the body out with PlayoutScreens (CyclusLogic.h): a
// text longer than the canvas continues on a next screen instead of running
// off its bottom, so stepping down walks the screens of a text before the
// next text. A colour setting that is not a hexadecimal number gives the
// default colour and a line in the log window.

#include "output/CyclusLogic.h"

#include <QColor>
#include <QDialog>
#include <QList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace output {

// The page record the window hands to its canvas.
struct TTekst {
    int number = 0;  // 1-based position of the text shown
    int count = 0;  // texts in the rubric
    QString rubricName;
    QString headline;
    QString body;  // stored form
};

class TPlayoutCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TPlayoutCanvas(QWidget *parent = nullptr);

    static constexpr quint32 DefaultBgColor = 0x00CE0000;  // 0x00BBGGRR: a blue of 206
    static constexpr quint32 DefaultFgColor = 0x00CCCCCC;  // light grey

    void setPage(const TTekst &page, int screen);
    const TTekst &page() const { return m_page; }
    int screen() const { return m_screen; }
    // The screens the body takes at the canvas's present size and font.
    QList<QStringList> screens() const;

    QColor FgColor = QColor(0xCC, 0xCC, 0xCC);
    QColor BgColor = QColor(0x00, 0x00, 0xCE);

    // Paints the page onto p over a canvas of size: the window's paint and
    // the tests' images use the same code.
    void paintPage(QPainter &p, const QSize &size) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PlayoutMetrics metrics(const QSize &size) const;

    TTekst m_page;
    int m_screen = 0;
};

class TCyclusPlayout : public QDialog {
    Q_OBJECT
public:
    explicit TCyclusPlayout(QWidget *parent = nullptr);

    // The program's playout window, made on first use.
    static TCyclusPlayout &instance();

    void setProgramme(int programme) { m_programme = programme; }
    // Loads the programme's rubrics and selects rubric (the first when it is
    // not among them), then loads that rubric.
    void LoadRubricList(int rubric);
    void LoadRubric();  // the selected entry of rubrieken
    void ShowSelected();  // the selected entry of teksten
    void Next();  // "Omlaag (down)", Down
    void Previous();  // "Omhoog (up)", Up
    void Again();  // "Opnieuw (F2)"
    void Button4Click();  // "FG"
    void Button5Click();  // "BG"
    void Timer1Timer();  // the clock

    int currentRubric() const { return m_rubric; }
    PlayoutPosition position() const { return m_position; }
    const QList<int> &sequence() const { return m_sequence; }
    TPlayoutCanvas *canvas() const { return m_canvas; }
    QListWidget *rubrieken() const { return m_rubrieken; }
    QListWidget *teksten() const { return m_teksten; }

    // A colour setting read: its value, or the default with a log line.
    static QColor ReadColorSetting(const QString &name, quint32 defaultBgr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showPosition(PlayoutPosition position);
    void chooseColor(QColor &color, const QString &setting);

    int m_programme = -1;
    int m_rubric = -1;
    QList<int> m_sequence;
    PlayoutPosition m_position;
    TTekst m_page;
    TPlayoutCanvas *m_canvas = nullptr;
    QLabel *m_panel5 = nullptr;
    QListWidget *m_rubrieken = nullptr;
    QListWidget *m_teksten = nullptr;
    QTimer *m_timer1 = nullptr;
};

}  // namespace output
