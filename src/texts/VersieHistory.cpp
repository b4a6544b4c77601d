#include "texts/VersieHistory.h"

#include "core/Dates.h"
#include "core/Global.h"
#include "core/Guarded.h"
#include "db/Postgres.h"
#include "texts/StoredText.h"
#include "texts/VersieSql.h"
#include "views/HighlightView.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

namespace texts {

namespace {

// Text for the view: its markup characters shown as themselves.
QString literal(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;")).replace(QLatin1Char('<'), QStringLiteral("&#60;"));
}

QString shownDate(const QString &ymd)
{
    try {
        return core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), core::YmdToDate(ymd));
    } catch (const std::exception &) {
        return ymd;
    }
}

}  // namespace

QString HistoryMarkup(const QString &kop, const QString &body)
{
    QStringList lines{QStringLiteral("<bold>") + literal(kop) + QStringLiteral("<normal>"), QString()};
    for (const QString &line : storedTextLines(body))
        lines << literal(line);
    return lines.join(QStringLiteral("\r\n"));
}

TVersieHistory::TVersieHistory(int versionId, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_view(new views::THighlightView),
      m_restore(new QPushButton(QStringLiteral("Terugzetten"), this)),
      m_close(new QPushButton(QStringLiteral("&Sluiten"), this))
{
    setObjectName(QStringLiteral("VersieHistory"));
    setWindowTitle(QStringLiteral("Eerdere versies"));
    m_list->setObjectName(QStringLiteral("lijst"));
    m_view->setObjectName(QStringLiteral("view"));
    m_restore->setObjectName(QStringLiteral("Terugzetten"));
    m_restore->setEnabled(false);
    m_restore->setAutoDefault(false);
    m_close->setObjectName(QStringLiteral("sluiten"));
    m_close->setAutoDefault(false);

    auto rs = core::Query(HistoryListSql(versionId));
    for (int i = 0; i < rs->RowCount(); ++i) {
        const QStringList row = rs->Row(i);
        THistoryState s;
        s.id = row.value(0).toInt();
        s.datum = row.value(1);
        s.tijd = row.value(2);
        s.wie = row.value(3);
        s.kop = row.value(4);
        m_states << s;
        m_list->addItem(shownDate(s.datum) + QStringLiteral("  ") + s.tijd + QStringLiteral("  ") + s.wie +
                        QStringLiteral("  ") + s.kop);
    }
    if (m_states.isEmpty())
        m_view->setText(QStringLiteral("<blue>Van deze versie zijn nog geen eerdere teksten bewaard."));

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { core::Guarded([&] { showState(row); }); });
    connect(m_restore, &QPushButton::clicked, this, [this] {
        const int row = m_list->currentRow();
        if (row < 0 || row >= m_states.size())
            return;
        THistoryState s = m_states.at(row);
        if (!readText(s))
            return;
        m_chosen = s;
        accept();
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_view);
    auto *split = new QSplitter(this);
    split->addWidget(m_list);
    split->addWidget(scroll);
    split->setStretchFactor(1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_restore);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    resize(900, 500);
}

bool TVersieHistory::readText(THistoryState &s) const
{
    auto rs = core::Query(HistoryEntrySql(s.id));
    if (rs->RowCount() == 0)
        return false;
    s.kop = rs->Row(0).value(0);
    s.body = rs->Row(0).value(1);
    s.extra = rs->Row(0).value(2);
    return true;
}

void TVersieHistory::showState(int row)
{
    m_restore->setEnabled(row >= 0 && row < m_states.size());
    if (row < 0 || row >= m_states.size())
        return;
    THistoryState s = m_states.at(row);
    if (readText(s))
        m_view->setText(HistoryMarkup(s.kop, s.body));
}

}  // namespace texts
