#include "planning/KiesRedacteurDialog.h"

#include "core/Global.h"
#include "db/Postgres.h"
#include "planning/TodoSql.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace planning {

TKiesRedacteurDialog::TKiesRedacteurDialog(QWidget *parent)
    : QDialog(parent), m_label(new QLabel(QStringLiteral("Kies een redacteur voor dit onderwerp:"), this)),
      m_stat(new QLabel(this)), m_combo(new QComboBox(this)), m_ok(new QPushButton(QStringLiteral("&Ok"), this)),
      m_cancel(new QPushButton(QStringLiteral("&Afbreken"), this))
{
    setObjectName(QStringLiteral("KiesRedacteurDialog"));
    setWindowTitle(QStringLiteral("Kies redacteur"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_stat->setObjectName(QStringLiteral("stat"));
    m_combo->setObjectName(QStringLiteral("ComboBox1"));
    m_combo->setEditable(false);
    m_ok->setObjectName(QStringLiteral("Button1"));
    m_ok->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("Button2"));
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_result = m_combo->currentText();
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_combo, &QComboBox::currentIndexChanged, this, [this] {
        if (m_loaded)
            OnlineCheck();
    });

    auto *row = new QHBoxLayout;
    row->addWidget(m_combo, 1);
    row->addWidget(m_stat);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addLayout(row);
    layout->addLayout(buttons);
    setMinimumWidth(320);
}

void TKiesRedacteurDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (parentWidget())
        move(parentWidget()->window()->geometry().center() - rect().center());
    if (!m_loaded)
        loadNames();
}

void TKiesRedacteurDialog::loadNames()
{
    auto rs = core::Query(EditorNamesSql());
    for (int i = 0; i < rs->RowCount(); ++i)
        m_combo->addItem(rs->Row(i).value(0).trimmed().toLower());
    m_loaded = true;
    if (m_combo->count() > 0)
        m_combo->setCurrentIndex(0);
    OnlineCheck();
}

void TKiesRedacteurDialog::OnlineCheck()
{
    const QString name = m_combo->currentText();
    const bool online = !name.isEmpty() && core::SendCommand(UserOnlineCommand(name));
    m_stat->setText(online ? QStringLiteral("online") : QStringLiteral("offline"));
    m_stat->setStyleSheet(online ? QStringLiteral("color: green") : QStringLiteral("color: red"));
}

}  // namespace planning
