#include "output/CyclusPlayout.h"

#include "core/Colors.h"
#include "core/Dates.h"
#include "core/Global.h"
#include "core/Guarded.h"
#include "core/Tokens.h"
#include "db/Postgres.h"
#include "output/CyclusFrame.h"
#include "output/CyclusSql.h"
#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "views/LineDelegate.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace output {

using core::Guarded;

namespace {

int leadingId(const QString &entry)
{
    QString rest = entry;
    bool ok = false;
    const int id = core::TakeWhile(rest, core::Digits).toInt(&ok);
    return ok ? id : -1;
}

QString bgrHex8(const QColor &color)
{
    return QStringLiteral("%1").arg(core::ColorToBgr(color), 8, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

TPlayoutCanvas::TPlayoutCanvas(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PlayoutCanvas"));
    QFont f(QStringLiteral("Arial"), 12);
    f.setBold(true);
    setFont(f);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPlayoutCanvas::setPage(const TTekst &page, int screen)
{
    m_page = page;
    m_screen = screen;
    update();
}

PlayoutMetrics TPlayoutCanvas::metrics(const QSize &size) const
{
    const QFontMetrics fm(font());
    return {fm.boundingRect(QStringLiteral("h")).height(), size.width(), size.height(),
            [fm](const QString &s) { return fm.horizontalAdvance(s); }};
}

QList<QStringList> TPlayoutCanvas::screens() const
{
    return PlayoutScreens(m_page.body, metrics(size()));
}

void TPlayoutCanvas::paintPage(QPainter &p, const QSize &size) const
{
    p.fillRect(QRect(QPoint(0, 0), size), BgColor);
    QFont f = font();
    const PlayoutMetrics m = metrics(size);
    const int h = m.lineHeight;
    f.setBold(true);
    f.setUnderline(true);
    p.setFont(f);
    p.setPen(Qt::white);
    const auto at = [&](int x, int y, const QString &text) {
        p.drawText(QPoint(x, y + p.fontMetrics().ascent()), text);
    };
    at(50, 10, m_page.rubricName);
    f.setUnderline(false);
    p.setFont(f);
    int y = 10 + 2 * h;
    at(50, y, m_page.headline);
    y += 2 * h;
    const QList<QStringList> all = PlayoutScreens(m_page.body, m);
    const int screen = qBound(0, m_screen, int(all.size()) - 1);
    const QString counter = PlayoutCounter(m_page.number, m_page.count, screen, int(all.size()));
    at(size.width() - 50 - p.fontMetrics().horizontalAdvance(counter), 10, counter);
    p.setPen(FgColor);
    for (const QString &line : all.value(screen)) {
        at(50, y, line);
        y += h + h / 2;
    }
}

void TPlayoutCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintPage(p, size());
}

TCyclusPlayout::TCyclusPlayout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CyclusPlayout"));
    setWindowTitle(QStringLiteral("Cyclus Playout"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    m_canvas = new TPlayoutCanvas(this);
    m_canvas->BgColor = ReadColorSetting(QStringLiteral("PlayoutBGColor"), TPlayoutCanvas::DefaultBgColor);
    m_canvas->FgColor = ReadColorSetting(QStringLiteral("PlayoutFGColor"), TPlayoutCanvas::DefaultFgColor);

    auto *side = new QWidget(this);
    side->setObjectName(QStringLiteral("Panel1"));
    side->setFixedWidth(185);
    auto *column = new QVBoxLayout(side);
    column->setContentsMargins(2, 2, 2, 2);
    m_panel5 = new QLabel(QStringLiteral("00:00:00"), side);
    m_panel5->setObjectName(QStringLiteral("Panel5"));
    m_panel5->setAlignment(Qt::AlignCenter);
    QFont clock(QStringLiteral("Arial"));
    clock.setBold(true);
    m_panel5->setFont(clock);
    column->addWidget(m_panel5);
    m_rubrieken = new QListWidget(side);
    m_rubrieken->setObjectName(QStringLiteral("rubrieken"));
    m_rubrieken->setItemDelegate(new views::LineDelegate(paintNameItem, 0, m_rubrieken));
    column->addWidget(m_rubrieken, 1);
    m_teksten = new QListWidget(side);
    m_teksten->setObjectName(QStringLiteral("teksten"));
    m_teksten->setItemDelegate(new views::LineDelegate(paintNameItem, 0, m_teksten));
    column->addWidget(m_teksten, 2);
    connect(m_rubrieken, &QListWidget::itemClicked, this, [this] { Guarded([&] { LoadRubric(); }); });
    connect(m_teksten, &QListWidget::itemClicked, this, [this] { Guarded([&] { ShowSelected(); }); });

    const struct {
        const char *name;
        const char *caption;
        void (TCyclusPlayout::*slot)();
    } buttons[] = {{"Button2", "Omhoog (up)", &TCyclusPlayout::Previous},
                   {"Button1", "Omlaag (down)", &TCyclusPlayout::Next},
                   {"Button3", "Opnieuw (F2)", &TCyclusPlayout::Again},
                   {"Button4", "FG", &TCyclusPlayout::Button4Click},
                   {"Button5", "BG", &TCyclusPlayout::Button5Click}};
    for (const auto &b : buttons) {
        auto *button = new QPushButton(QString::fromUtf8(b.caption), side);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setFocusPolicy(Qt::NoFocus);  // the arrow keys keep stepping through teksten
        connect(button, &QPushButton::clicked, this, [this, slot = b.slot] {
            Guarded([&] { (this->*slot)(); });
            m_teksten->setFocus();
        });
        column->addWidget(button);
    }

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(side);

    for (QWidget *w : {static_cast<QWidget *>(m_rubrieken), static_cast<QWidget *>(m_teksten)})
        w->installEventFilter(this);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    m_timer1->start();
    setWindowState(Qt::WindowMaximized);
}

TCyclusPlayout &TCyclusPlayout::instance()
{
    static TCyclusPlayout *window = new TCyclusPlayout;
    return *window;
}

QColor TCyclusPlayout::ReadColorSetting(const QString &name, quint32 defaultBgr)
{
    const QString fallback = QStringLiteral("%1").arg(defaultBgr, 8, 16, QLatin1Char('0')).toUpper();
    const QString value = platform::ReadSetting(name, fallback);
    if (const auto bgr = core::ParseHex(value))
        return core::ColorFromBgr(*bgr);
    core::LogStatus(QStringLiteral("<red>") + name + QStringLiteral(" \"") + value +
                    QStringLiteral("\" is geen kleur; de standaardkleur ") + fallback +
                    QStringLiteral(" wordt gebruikt"));
    return core::ColorFromBgr(defaultBgr);
}

void TCyclusPlayout::Timer1Timer()
{
    m_panel5->setText(core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy hh:nn:ss"), core::Now()));
}

void TCyclusPlayout::LoadRubricList(int rubric)
{
    m_rubric = rubric;
    m_sequence.clear();
    m_rubrieken->clear();
    auto rs = core::Query(PlayoutRubricsSql(m_programme));
    int selected = -1;
    for (int i = 0; i < rs->RowCount(); ++i) {
        const QStringList row = rs->Row(i);
        m_rubrieken->addItem(row.value(0) + QLatin1Char(' ') + row.value(1));
        if (row.value(0).toInt() == rubric && selected < 0)
            selected = i;
    }
    if (selected < 0 && m_rubrieken->count() > 0)
        selected = 0;
    if (selected >= 0)
        m_rubrieken->setCurrentRow(selected);
    LoadRubric();
}

void TCyclusPlayout::LoadRubric()
{
    QListWidgetItem *item = m_rubrieken->currentItem();
    if (!item)
        return;
    m_rubric = leadingId(item->text());
    m_teksten->clear();
    m_sequence.clear();
    m_page.rubricName.clear();
    auto rs = core::Query(PlayoutRubricSql(m_rubric));
    if (rs->RowCount() > 0) {
        m_page.rubricName = rs->Row(0).value(1).trimmed();
        // An unreadable content string shows as an empty rubric here; the
        // cycle frame says why.
        for (int id : ParseRubricContent(rs->Row(0).value(0)).value_or(QList<int>())) {
            auto text = core::Query(PlayoutTextSql(id));
            if (text->RowCount() == 0)
                continue;
            m_sequence << id;
            m_teksten->addItem(QString::number(id) + QLatin1Char(' ') + text->Row(0).value(1));
        }
    }
    if (m_teksten->currentRow() < 0 && m_teksten->count() > 0)
        m_teksten->setCurrentRow(0);
    ShowSelected();
}

void TCyclusPlayout::ShowSelected()
{
    const int row = m_teksten->currentRow();
    if (row < 0 || m_sequence.isEmpty()) {
        m_page = TTekst{0, 0, QString(), QStringLiteral("geen kop"), QStringLiteral("geen tekst")};
        m_position = {};
        m_canvas->setPage(m_page, 0);
        return;
    }
    showPosition({row, 0});
}

void TCyclusPlayout::showPosition(PlayoutPosition position)
{
    position.text = qBound(0, position.text, int(m_sequence.size()) - 1);
    if (position.text < 0)
        return;
    auto rs = core::Query(PlayoutShowSql(m_sequence.at(position.text)));
    if (rs->RowCount() > 0) {
        m_page.headline = rs->Row(0).value(0);
        m_page.body = rs->Row(0).value(1);
        m_page.count = int(m_sequence.size());
        m_page.number = position.text + 1;
    }
    m_position = position;
    m_canvas->setPage(m_page, position.screen);
}

void TCyclusPlayout::Next()
{
    if (m_sequence.isEmpty())
        return;
    const PlayoutPosition next = PlayoutNext(m_position, int(m_sequence.size()), int(m_canvas->screens().size()));
    if (next == m_position)
        return;
    if (next.text != m_position.text)
        m_teksten->setCurrentRow(next.text);
    showPosition(next);
}

void TCyclusPlayout::Previous()
{
    if (m_sequence.isEmpty())
        return;
    const PlayoutPosition previous = PlayoutPrevious(m_position);
    if (previous == m_position)
        return;
    if (previous.text != m_position.text)
        m_teksten->setCurrentRow(previous.text);
    showPosition(previous);
}

void TCyclusPlayout::Again()
{
    if (m_teksten->count() > 0)
        m_teksten->setCurrentRow(0);
    ShowSelected();
}

void TCyclusPlayout::chooseColor(QColor &color, const QString &setting)
{
    QColor chosen = color;
    if (!platform::dialogs().chooseColor(chosen))
        return;
    color = chosen;
    m_canvas->update();
    platform::WriteSetting(setting, bgrHex8(chosen));
}

void TCyclusPlayout::Button4Click()
{
    chooseColor(m_canvas->FgColor, QStringLiteral("PlayoutFGColor"));
}

void TCyclusPlayout::Button5Click()
{
    chooseColor(m_canvas->BgColor, QStringLiteral("PlayoutBGColor"));
}

bool TCyclusPlayout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_F2 || key == Qt::Key_Escape ||
            key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
            keyPressEvent(static_cast<QKeyEvent *>(event));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TCyclusPlayout::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape: reject(); return;
    case Qt::Key_F2: Guarded([&] { Again(); }); return;
    case Qt::Key_Down:
    case Qt::Key_PageDown: Guarded([&] { Next(); }); return;
    case Qt::Key_Up:
    case Qt::Key_PageUp: Guarded([&] { Previous(); }); return;
    default: QDialog::keyPressEvent(event);
    }
}

}  // namespace output
