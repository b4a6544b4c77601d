#include "extras/DagView.h"

#include "extras/FilmSql.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace extras {

TDagView::TDagView(const QDate &day, QWidget *parent)
    : QFrame(parent), m_day(day), m_label(new QLabel(this)),
      m_labelWidth(
          qMax(LabelWidth, m_label->fontMetrics().horizontalAdvance(QStringLiteral("donderdag 30 sep 2088")) + 8))
{
    setObjectName(QStringLiteral("dag") + QString::number(day.dayOfWeek()));
    m_label->setObjectName(QStringLiteral("datum"));
    m_label->setText(DayLabel(day));
    m_label->setGeometry(0, 0, m_labelWidth, RowHeight);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFixedHeight(RowHeight);
    addField(QString());
}

QString TDagView::value() const
{
    QStringList texts;
    for (const QLineEdit *f : m_fields)
        texts << f->text();
    return JoinTimes(texts);
}

void TDagView::setValue(const QString &value)
{
    qDeleteAll(m_fields);
    m_fields.clear();
    for (const QString &time : SplitTimes(value))
        addField(time);
}

QLineEdit *TDagView::addField(const QString &text)
{
    auto *f = new QLineEdit(this);
    f->setObjectName(QStringLiteral("tijd") + QString::number(m_fields.size() + 1));
    f->setMaxLength(TimeFieldLength);
    f->setText(text);
    f->setGeometry(fieldLeft(int(m_fields.size())), 1, FieldWidth, RowHeight - 2);
    f->installEventFilter(this);
    connect(f, &QLineEdit::textEdited, this, &TDagView::changed);
    // New fields join the tab order right after the row's last field, not at
    // the end of the window's chain.
    if (!m_fields.isEmpty())
        setTabOrder(m_fields.last(), f);
    m_fields << f;
    f->show();
    updateWidth();
    return f;
}

void TDagView::updateWidth()
{
    setMinimumWidth(fieldLeft(int(m_fields.size())));
}

QLineEdit *TDagView::firstBlankField()
{
    for (QLineEdit *f : m_fields)
        if (f->text().trimmed().isEmpty())
            return f;
    return addField(QString());
}

// Digits only, with the ":" after the hour; Enter completes the time and
// moves to a blank field, or on to the next day from a blank one. Backspace
// only deletes (it does not add the ":" first, or a two-digit field could
// never be emptied).
bool TDagView::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (!field || event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (field->text().trimmed().isEmpty()) {
            emit nextDay(this);
            return true;
        }
        const QString completed = CompleteTime(field->text());
        if (completed != field->text()) {
            field->setText(completed);
            emit changed();
        }
        firstBlankField()->setFocus();
        return true;
    }
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
        return false;
    const QString typed = key->text();
    if (typed.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;  // navigation and shortcuts
    if (typed.size() != 1 || !TimeKeyAllowed(typed.at(0), false))
        return true;
    if (field->cursorPosition() == field->text().size() && !field->hasSelectedText()) {
        const QString before = BeforeDigit(field->text());
        if (before != field->text()) {
            field->setText(before);
            field->setCursorPosition(before.size());
        }
    }
    return false;
}

}  // namespace extras
