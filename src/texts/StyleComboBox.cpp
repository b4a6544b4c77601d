#include "texts/StyleComboBox.h"

#include "texts/TemplateStrings.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace texts {

namespace {
// Draws an "id name" item as its name.
class NameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = texts::itemName(option->text);
    }
};

// Keys whose key-down keeps the search text: backspace, space, the letters.
// Modifiers alone keep it as well, so a capital does not restart the search.
bool keepsSearch(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Space:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock: return true;
    default: return key >= Qt::Key_A && key <= Qt::Key_Z;
    }
}
}  // namespace

TStyleComboBox::TStyleComboBox(QWidget *parent) : QComboBox(parent)
{
    view()->installEventFilter(this);
}

void TStyleComboBox::setOwnerDrawn(bool ownerDrawn)
{
    m_ownerDrawn = ownerDrawn;
    if (ownerDrawn) {
        setEditable(false);
        setItemDelegate(new NameDelegate(this));
    } else {
        setItemDelegate(new QStyledItemDelegate(this));
    }
    update();
}

QString TStyleComboBox::searchKey(const QString &item)
{
    const qsizetype digits = texts::itemId(item).size();
    return item.mid(digits > 0 ? digits + 1 : 0).toLower();
}

void TStyleComboBox::Search()
{
    const int n = count();
    if (n == 0)
        return;
    const int start = qMax(currentIndex(), 0);
    for (int step = 0; step < n; ++step) {
        const int i = (start + step) % n;
        if (searchKey(itemText(i)).startsWith(m_search)) {
            setCurrentIndex(i);
            if (view()->isVisible())
                view()->setCurrentIndex(model()->index(i, modelColumn(), rootModelIndex()));
            return;
        }
    }
}

bool TStyleComboBox::searchKeyPress(QKeyEvent *event)
{
    if (!keepsSearch(event->key()))
        m_search.clear();
    if (event->key() == Qt::Key_Backspace) {
        m_search.chop(1);
        Search();
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    if (text.at(0).unicode() < 32) {
        m_search.clear();
        return false;
    }
    m_search += text.toLower();
    if (!view()->isVisible())
        showPopup();
    Search();
    return true;
}

void TStyleComboBox::keyPressEvent(QKeyEvent *event)
{
    if (searchKeyPress(event))
        event->accept();
    else
        QComboBox::keyPressEvent(event);
}

// The focus coming back from the box's own list is no new arrival.
void TStyleComboBox::focusInEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::PopupFocusReason)
        m_search.clear();
    QComboBox::focusInEvent(event);
}

// Owner-drawn boxes show the name of the selected item, not its id.
void TStyleComboBox::paintEvent(QPaintEvent *event)
{
    if (!m_ownerDrawn) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = texts::itemName(option.currentText);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

// While the list is dropped down, typed characters keep searching here;
// Enter, Escape and the arrows stay with the list.
bool TStyleComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view() && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool typed =
            key->key() == Qt::Key_Backspace || (!key->text().isEmpty() && key->text().at(0).unicode() >= 32);
        if (typed && searchKeyPress(key))
            return true;
        if (!typed && !keepsSearch(key->key()))
            m_search.clear();
    }
    return QComboBox::eventFilter(watched, event);
}

}  // namespace texts
