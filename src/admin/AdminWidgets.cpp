#include "admin/AdminWidgets.h"

#include "core/Database.h"
#include "core/Tokens.h"
#include "db/Postgres.h"
#include "platform/Errors.h"
#include "views/LineDelegate.h"

#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStylePainter>

namespace admin {

namespace {

void paintEntry(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    p.fillRect(rect, views::LineBackground(item));
    p.setPen(views::LineTextColor(item));
    p.drawText(rect.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, EntryName(item.text));
}

SettingsPanelFactory &installedFactory()
{
    static SettingsPanelFactory factory;
    return factory;
}

}  // namespace

QString EntryName(const QString &entry)
{
    QString rest = entry;
    core::TakeWhile(rest, core::Digits);
    return rest.mid(1);
}

int EntryId(const QString &entry)
{
    QString rest = entry;
    bool ok = false;
    const int id = core::TakeWhile(rest, core::Digits).toInt(&ok);
    if (!ok)
        throw platform::ConversionError(QStringLiteral("'%1' is geen geldig getal").arg(entry));
    return id;
}

QListWidget *EntryList(const QString &name, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setUniformItemSizes(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setItemDelegate(new views::LineDelegate(paintEntry, 16, list));
    return list;
}

TEntryComboBox::TEntryComboBox(QWidget *parent) : QComboBox(parent)
{
    setItemDelegate(new views::LineDelegate(paintEntry, 0, this));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
}

void TEntryComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText = EntryName(opt.currentText);
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    p.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

QStringList QueryEntries(const QString &sql)
{
    QStringList out;
    const auto rs = core::Query(sql);
    for (int i = 0; i < rs->RowCount(); ++i)
        out << rs->Row(i).value(0) + QLatin1Char(' ') + rs->Row(i).value(1);
    return out;
}

void SetEntries(QListWidget *list, const QStringList &entries)
{
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(entries);
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setToolTip(EntryName(entries.at(i)));  // the whole name where the column cuts it
    list->setCurrentRow(-1);
}

void SetEntries(QComboBox *box, const QStringList &entries)
{
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(entries);
    box->setCurrentIndex(-1);
}

std::optional<int> SelectedId(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    return EntryId(item->text());
}

std::optional<int> SelectedId(const QComboBox *box)
{
    if (box->currentIndex() < 0)
        return std::nullopt;
    return EntryId(box->currentText());
}

void SelectRow(QListWidget *list, int index)
{
    const QSignalBlocker quiet(list);
    index = std::min(index, list->count() - 1);
    list->setCurrentRow(index);
}

QPushButton *Button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void setSettingsPanelFactory(SettingsPanelFactory factory)
{
    installedFactory() = std::move(factory);
}

SettingsPanel MakeSettingsPanel(QWidget *parent)
{
    if (installedFactory())
        return installedFactory()(parent);
    // The values string as stored, so it goes back unchanged.
    auto *edit = new QPlainTextEdit(parent);
    return {edit, [](const QString &) {}, [edit] { return edit->toPlainText(); },
            [edit](const QString &values) { edit->setPlainText(values); }};
}

}  // namespace admin
