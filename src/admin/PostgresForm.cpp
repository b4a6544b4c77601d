#include "admin/PostgresForm.h"

#include "core/Database.h"
#include "db/Postgres.h"
#include "platform/Settings.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

namespace admin {

QStringList AlignedRows(const QList<QStringList> &rows)
{
    QList<qsizetype> widths;
    for (const QStringList &row : rows)
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c == widths.size())
                widths << 0;
            widths[c] = std::max(widths[c], row.at(c).size());
        }
    QStringList lines;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (qsizetype c = 0; c < row.size(); ++c)
            cells << row.at(c).leftJustified(widths.at(c), QLatin1Char(' '));
        lines << cells.join(QStringLiteral(" | "));
    }
    return lines;
}

TPostgresForm::TPostgresForm(QWidget *parent)
    : QDialog(parent), Memo1(new QPlainTextEdit(this)), Memo2(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("PostgresForm"));
    setWindowTitle(QStringLiteral("SQL"));
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Aligned columns need a fixed-pitch font.
    Memo2->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(Memo2);
    splitter->addWidget(Memo1);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    Memo1->installEventFilter(this);
    Memo1->setPlainText(platform::ReadSetting(QStringLiteral("sql"), QString()));
}

TPostgresForm::~TPostgresForm()
{
    platform::WriteSetting(QStringLiteral("sql"), Memo1->toPlainText().trimmed());
}

void TPostgresForm::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        resize(area.width() - 100, area.height() - 100);
        move(area.center() - rect().center());
    }
    QDialog::showEvent(event);
}

bool TPostgresForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Run();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TPostgresForm::Run()
{
    const QString sql = Memo1->toPlainText().trimmed();
    Memo1->setPlainText(sql);
    Memo1->moveCursor(QTextCursor::End);
    if (!sql.toUpper().startsWith(QLatin1String("SELECT"))) {
        core::Execute(sql);
        return;
    }
    const auto rs = core::Query(sql);
    QList<QStringList> rows;
    for (int i = 0; i < rs->RowCount(); ++i)
        rows << rs->Row(i);
    Memo2->setPlainText(AlignedRows(rows).join(QLatin1Char('\n')));
}

}  // namespace admin
