#include "admin/TableEditor.h"

#include "admin/AdminSql.h"
#include "core/Database.h"
#include "core/Guarded.h"
#include "db/Postgres.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QHeaderView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace admin {

TTableEditor::TTableEditor(QWidget *parent) : QDialog(parent), view(new QTreeWidget(this)), tables(new QComboBox(this))
{
    setObjectName(QStringLiteral("TableEditor"));
    setWindowTitle(QStringLiteral("TableEditor"));
    resize(720, 480);
    view->setObjectName(QStringLiteral("view"));
    view->setRootIsDecorated(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tables->setObjectName(QStringLiteral("tables"));
    tables->setMinimumContentsLength(20);

    auto *bar = new QToolBar(this);
    const auto tool = [this, bar](const QString &name, const QString &text, const QString &tip,
                                  void (TTableEditor::*handler)()) {
        auto *button = new QToolButton(bar);
        button->setObjectName(name);
        button->setText(text);
        button->setToolTip(tip);
        bar->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, handler] { core::Guarded([&] { (this->*handler)(); }); });
    };
    tool(QStringLiteral("ToolButton1"), QStringLiteral("+"), QStringLiteral("Nieuwe rij"),
         &TTableEditor::ToolButton1Click);
    tool(QStringLiteral("ToolButton3"), QStringLiteral("..."), QStringLiteral("Rij wijzigen"),
         &TTableEditor::ToolButton3Click);
    tool(QStringLiteral("ToolButton4"), QStringLiteral("-"), QStringLiteral("Rij verwijderen"),
         &TTableEditor::ToolButton4Click);
    bar->addSeparator();
    bar->addWidget(tables);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(view, 1);

    const auto rs = core::Query(TableListSql());
    for (int i = 0; i < rs->RowCount(); ++i) {
        tables->addItem(rs->Row(i).value(0));
        m_sortColumns << rs->Row(i).value(1);
    }
    tables->setCurrentIndex(tables->count() > 0 ? 0 : -1);
    connect(tables, &QComboBox::currentIndexChanged, this, [this] { core::Guarded([this] { Load(); }); });
    connect(view, &QTreeWidget::itemDoubleClicked, this, [this] { core::Guarded([this] { ToolButton3Click(); }); });
    if (parent)
        move(parent->geometry().center() - rect().center());
}

void TTableEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    core::Guarded([this] { Load(); });
}

QString TTableEditor::table() const
{
    return tables->currentText();
}

void TTableEditor::Load()
{
    view->clear();
    m_columns.clear();
    if (tables->currentIndex() < 0) {
        view->setHeaderLabels({QString()});
        return;
    }
    const auto rs = core::Query(TableRowsSql(table(), m_sortColumns.value(tables->currentIndex())));
    QStringList headers{QString()};
    for (int f = 1; f < rs->FieldCount(); ++f) {
        headers << rs->FieldName(f);
        m_columns << rs->FieldName(f);
    }
    view->setColumnCount(int(headers.size()));
    view->setHeaderLabels(headers);
    for (int i = 0; i < rs->RowCount(); ++i) {
        const QStringList &row = rs->Row(i);
        auto *item = new QTreeWidgetItem(view);
        item->setData(0, Qt::UserRole, row.value(0).toInt());
        for (qsizetype c = 1; c < row.size(); ++c)
            item->setText(int(c), row.at(c));
    }
    view->header()->setMinimumSectionSize(20);
    view->setColumnWidth(0, 20);
    for (int c = 1; c < view->columnCount(); ++c)
        view->resizeColumnToContents(c);
}

int TTableEditor::selectedId() const
{
    const QTreeWidgetItem *item = view->currentItem();
    return item && item->isSelected() ? item->data(0, Qt::UserRole).toInt() : -1;
}

bool TTableEditor::askValues(QStringList &values)
{
    for (qsizetype c = 0; c < m_columns.size(); ++c) {
        QString value = values.value(c);
        if (!platform::dialogs().inputQuery(
                QStringLiteral("Waarde wijzigen"),
                QStringLiteral("Geef waarde voor kolom \"") + m_columns.at(c) + QLatin1Char('"'), value))
            return false;
        values[c] = value;
    }
    return true;
}

void TTableEditor::ToolButton3Click()
{
    QTreeWidgetItem *item = view->currentItem();
    if (!item || !item->isSelected())
        return;
    const int id = item->data(0, Qt::UserRole).toInt();
    QStringList values;
    for (qsizetype c = 0; c < m_columns.size(); ++c)
        values << item->text(int(c + 1));
    if (!askValues(values))
        return;
    core::Execute(UpdateRowSql(table(), m_columns, values, id));
    Load();
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        if (view->topLevelItem(i)->data(0, Qt::UserRole).toInt() == id) {
            view->setCurrentItem(view->topLevelItem(i));
            view->setFocus();
        }
}

void TTableEditor::ToolButton1Click()
{
    if (tables->currentIndex() < 0)
        return;
    QStringList values;
    for (qsizetype c = 0; c < m_columns.size(); ++c)
        values << QString();
    if (!askValues(values))
        return;
    core::Execute(InsertRowSql(table(), m_columns, values));
    Load();
}

void TTableEditor::ToolButton4Click()
{
    const int id = selectedId();
    if (!view->currentItem() || !view->currentItem()->isSelected())
        return;
    if (!platform::confirm(QStringLiteral("Item verwijderen?")))
        return;
    core::Execute(DeleteRowSql(table(), id));
    Load();
}

}  // namespace admin
