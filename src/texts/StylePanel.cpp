#include "texts/StylePanel.h"

#include "core/Global.h"
#include "db/Postgres.h"
#include "db/SqlEscape.h"
#include "platform/Errors.h"
#include "texts/PluginPanel.h"
#include "texts/QueryDropDown.h"
#include "texts/StyleComboBox.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTimeEdit>

namespace texts {

namespace {
constexpr int kLabelLeft = 3;
constexpr int kLabelTop = 4;
constexpr int kControlLeft = 100;  // the control column, unless a caption needs more
constexpr int kControlTop = 1;
constexpr int kControlRight = 2;  // the control ends this far from the row's right edge
constexpr int kLabelGap = 6;  // between the widest caption and the controls
constexpr int kControlMargin = kControlLeft + kControlRight;
constexpr int kRowPadding = 3;
constexpr int kMemoLines = 5;
const QLatin1String kPluginPrefix("plugin_");

// Increments a counter for its lifetime (nesting allowed).
class Quiet {
public:
    explicit Quiet(int &counter) : m_counter(counter) { ++m_counter; }
    ~Quiet() { --m_counter; }
    Quiet(const Quiet &) = delete;
    Quiet &operator=(const Quiet &) = delete;

private:
    int &m_counter;
};

// "yyyymmdd": year from characters 1-4, month 5-6, day 7-8.
QDate readDate(const QString &text)
{
    bool okYear = false, okMonth = false, okDay = false;
    const QDate date(text.mid(0, 4).toInt(&okYear), text.mid(4, 2).toInt(&okMonth), text.mid(6, 2).toInt(&okDay));
    if (!okYear || !okMonth || !okDay || !date.isValid())
        throw platform::ConversionError(QStringLiteral("'%1' is geen geldige datum (jjjjmmdd)").arg(text));
    return date;
}

// "h:mm" or "h:mm:ss", surrounding spaces allowed.
QTime readTime(const QString &text)
{
    const QStringList parts = text.trimmed().split(u':');
    QTime time;
    if (parts.size() == 2 || parts.size() == 3) {
        bool ok[3] = {false, false, true};
        const int h = parts.at(0).toInt(&ok[0]);
        const int m = parts.at(1).toInt(&ok[1]);
        const int s = parts.size() == 3 ? parts.at(2).toInt(&ok[2]) : 0;
        if (ok[0] && ok[1] && ok[2])
            time = QTime(h, m, s);
    }
    if (!time.isValid())
        throw platform::ConversionError(QStringLiteral("'%1' is geen geldige tijd").arg(text));
    return time;
}

// The value of a plug-in is written with every ' and \ preceded by a
// backslash, as it always was, and every " as well, so that it reads back whole.
QString escapePluginValue(const QString &value)
{
    QString escaped = SqlEscape(value);
    escaped.replace(u'"', QLatin1String("\\\""));
    return escaped;
}

QString memoText(const QPlainTextEdit *memo)
{
    QString text = memo->toPlainText();
    text.replace(u'\n', QLatin1String("\r\n"));
    return text;
}

void setMemoText(QPlainTextEdit *memo, QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    memo->setPlainText(text);
}

// Editable combo boxes take a text; an item with that text becomes selected,
// so the type-ahead search continues from there.
void setComboText(QComboBox *box, const QString &text)
{
    const int i = box->findText(text, Qt::MatchExactly);
    if (i >= 0)
        box->setCurrentIndex(i);
    box->setEditText(text);
}

// Selects the last item whose id (leading digits) equals id.
void selectById(QComboBox *box, const QString &id)
{
    int found = -1;
    for (int i = 0; i < box->count(); ++i) {
        if (texts::itemId(box->itemText(i)) == id)
            found = i;
    }
    if (found >= 0)
        box->setCurrentIndex(found);
}
}  // namespace

TStylePanel::TStylePanel(QWidget *parent) : QWidget(parent) {}

TStylePanel::~TStylePanel() = default;

void TStylePanel::clearRows()
{
    for (const Row &row : std::as_const(m_rows))
        delete row.panel;
    m_rows.clear();
    m_height = 0;
}

void TStylePanel::setTemplate(const QString &definition)
{
    Quiet quiet(m_quiet);
    m_template = definition;
    clearRows();
    const auto lookup = [this](const QString &name) {
        QString text;
        if (OnMerge)
            OnMerge(this, name, text);
        return text;
    };
    try {
        for (const texts::TemplateEntry &entry : texts::parseDefinition(definition, lookup))
            addRow(entry);
    } catch (...) {
        layoutRows();
        throw;
    }
    layoutRows();
}

// Adds the row of one entry below the others. The row is listed before its
// control is made, so a start value that cannot be read leaves a row without
// a control rather than a stray widget.
void TStylePanel::addRow(const texts::TemplateEntry &entry)
{
    const int textHeight = fontMetrics().height();
    m_rows.append(Row{});
    Row &row = m_rows.last();
    row.name = entry.name;
    row.panel = new QWidget(this);
    row.panel->setGeometry(0, m_height, width(), textHeight);
    row.label = new QLabel(row.panel);
    row.panel->show();

    if (entry.kind == QLatin1String("info")) {
        row.kind = Kind::Info;
        row.label->setText(entry.name);
        row.label->setAlignment(Qt::AlignCenter);
        row.panel->resize(width(), 2 * textHeight);
        row.label->setGeometry(0, 0, width(), 2 * textHeight);
        m_height += row.panel->height();
        return;
    }

    static const QHash<QString, Kind> kinds{
        {QStringLiteral("edit"), Kind::Edit},
        {QStringLiteral("memo"), Kind::Memo},
        {QStringLiteral("checkbox"), Kind::CheckBox},
        {QStringLiteral("date"), Kind::Date},
        {QStringLiteral("time"), Kind::Time},
        {QStringLiteral("combobox"), Kind::ComboBox},
        {QStringLiteral("comboboxdblookup"), Kind::DbLookup},
        {QStringLiteral("querybox"), Kind::QueryBox},
    };
    row.kind = entry.kind.startsWith(kPluginPrefix) ? Kind::Plugin : kinds.value(entry.kind, Kind::Label);
    const bool checkBox = row.kind == Kind::CheckBox;
    row.label->setText(checkBox ? QString() : entry.caption);
    if (!checkBox && row.kind != Kind::Label)
        row.caption = entry.caption;
    row.label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row.label->move(kLabelLeft, kLabelTop);
    row.label->adjustSize();

    QWidget *control = createControl(row.kind, entry, row.panel);
    row.control = control;
    // The row is shown already; a child made after that stays hidden unless
    // shown itself (a panel rebuilt while on screen).
    if (control)
        control->show();
    if (row.kind == Kind::Plugin) {
        auto *plugin = static_cast<TPluginPanel *>(control);
        plugin->Load(entry.kind.mid(kPluginPrefix.size()));
        plugin->resize(plugin->width(), plugin->sizeHint().height());
    }
    int height = row.label->height();
    if (control)
        height = qMax(height, control->height());
    row.panel->resize(width(), height + kRowPadding);
    m_height += row.panel->height();
}

// Creates the control of kind for entry in row, with its start value and the
// panel's change notification; null for kinds without a control.
QWidget *TStylePanel::createControl(Kind kind, const texts::TemplateEntry &entry, QWidget *row)
{
    const QString &defaultValue = entry.defaultValue;
    const int width = qMax(0, row->width() - kControlMargin);
    const auto notify = [this](QObject *sender) { return [this, sender] { changed(sender); }; };
    QWidget *control = nullptr;
    switch (kind) {
    case Kind::Info:
    case Kind::Label: return nullptr;
    case Kind::Edit: {
        auto *edit = new QLineEdit(row);
        edit->setText(defaultValue);
        connect(edit, &QLineEdit::textChanged, this, notify(edit));
        control = edit;
        break;
    }
    case Kind::Memo: {
        auto *memo = new QPlainTextEdit(row);
        setMemoText(memo, defaultValue);
        memo->resize(width, kMemoLines * fontMetrics().height());
        connect(memo, &QPlainTextEdit::textChanged, this, notify(memo));
        control = memo;
        break;
    }
    case Kind::CheckBox: {
        auto *box = new QCheckBox(entry.caption, row);
        box->setChecked(defaultValue == QLatin1String("true"));
        connect(box, &QCheckBox::toggled, this, notify(box));
        control = box;
        break;
    }
    case Kind::Date: {
        auto *picker = new QDateEdit(row);
        picker->setLocale(QLocale(QLocale::Dutch, QLocale::Netherlands));
        picker->setDisplayFormat(QStringLiteral("dddd d MMMM yyyy"));
        picker->setCalendarPopup(true);
        picker->setDate(QDate::currentDate());
        control = picker;
        if (!defaultValue.trimmed().isEmpty())
            picker->setDate(readDate(defaultValue));
        connect(picker, &QDateEdit::dateChanged, this, notify(picker));
        break;
    }
    case Kind::Time: {
        auto *picker = new QTimeEdit(row);
        picker->setDisplayFormat(QStringLiteral("HH:mm"));
        picker->setTime(QTime::currentTime());
        control = picker;
        if (!defaultValue.trimmed().isEmpty())
            picker->setTime(readTime(defaultValue));
        connect(picker, &QTimeEdit::timeChanged, this, notify(picker));
        break;
    }
    case Kind::ComboBox: {
        auto *box = new TStyleComboBox(row);
        box->setEditable(true);
        box->addItems(texts::comboItems(defaultValue));
        box->setCurrentIndex(box->count() > 0 ? 0 : -1);
        connect(box, &QComboBox::currentTextChanged, this, notify(box));
        control = box;
        break;
    }
    case Kind::DbLookup: {
        auto *box = new TStyleComboBox(row);
        box->setOwnerDrawn(true);
        const auto rows = core::Query(defaultValue);
        for (int i = 0; i < rows->RowCount(); ++i)
            box->addItem(rows->Row(i).value(0) + u' ' + rows->Row(i).value(1));
        box->setCurrentIndex(box->count() > 0 ? 0 : -1);
        connect(box, &QComboBox::currentIndexChanged, this, notify(box));
        control = box;
        break;
    }
    case Kind::QueryBox: {
        const texts::QueryBoxSpec queryBox = texts::parseQueryBox(defaultValue);
        control = new TQueryDropDown(queryBox.table, queryBox.maxLength, row);
        break;
    }
    case Kind::Plugin: control = new TPluginPanel(m_textId, row); break;
    }
    control->setObjectName(entry.name);
    control->move(kControlLeft, kControlTop);
    control->resize(width, kind == Kind::Memo ? control->height() : control->sizeHint().height());
    return control;
}

// Where the controls start in a panel of width w: right of the widest side
// label, at least kControlLeft, at most three fifths of w (a panel not yet
// sized counts as wide enough).
int TStylePanel::controlColumn(int w) const
{
    int widest = 0;
    for (const Row &row : m_rows) {
        if (!row.caption.isEmpty())
            widest = qMax(widest, row.label->fontMetrics().horizontalAdvance(row.caption));
    }
    int column = qMax(kControlLeft, kLabelLeft + widest + kLabelGap);
    if (w > 0)
        column = qMin(column, qMax(kControlLeft, w * 3 / 5));
    return column;
}

// Stacks the rows from the top and stretches them, and their controls, to the
// panel's width, the controls from the column that leaves every caption
// readable.
void TStylePanel::layoutRows()
{
    int y = 0;
    const int w = width();
    m_controlLeft = controlColumn(w);
    const int room = m_controlLeft - kLabelLeft - kLabelGap;
    for (const Row &row : std::as_const(m_rows)) {
        row.panel->setGeometry(0, y, w, row.panel->height());
        if (row.kind == Kind::Info)
            row.label->resize(w, row.panel->height());
        if (!row.caption.isEmpty()) {
            const QFontMetrics metrics = row.label->fontMetrics();
            const bool fits = metrics.horizontalAdvance(row.caption) <= room;
            row.label->setText(fits ? row.caption : metrics.elidedText(row.caption, Qt::ElideRight, room));
            row.label->setToolTip(fits ? QString() : row.caption);
            row.label->adjustSize();
        }
        if (row.control)
            row.control->setGeometry(m_controlLeft, kControlTop, qMax(0, w - m_controlLeft - kControlRight),
                                     row.control->height());
        y += row.panel->height();
    }
    m_height = y;
    if (height() != m_height)
        resize(w, m_height);
    updateGeometry();
}

void TStylePanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        layoutRows();
}

QSize TStylePanel::sizeHint() const
{
    return {qMax(width(), controlColumn(0) + 100), m_height};
}

QSize TStylePanel::minimumSizeHint() const
{
    return {kControlLeft, m_height};
}

void TStylePanel::changed(QObject *sender)
{
    if (m_quiet == 0 && OnChange)
        OnChange(sender);
}

QString TStylePanel::valueOf(const Row &row) const
{
    switch (row.kind) {
    case Kind::Edit: return static_cast<QLineEdit *>(row.control)->text();
    case Kind::Memo: return memoText(static_cast<QPlainTextEdit *>(row.control));
    case Kind::ComboBox: return static_cast<QComboBox *>(row.control)->currentText();
    case Kind::DbLookup: {
        const auto *box = static_cast<QComboBox *>(row.control);
        return box->currentIndex() < 0 ? QString() : texts::itemId(box->currentText());
    }
    case Kind::QueryBox: return static_cast<TQueryDropDown *>(row.control)->SelectedId();
    case Kind::CheckBox:
        return static_cast<QCheckBox *>(row.control)->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    case Kind::Date: return static_cast<QDateEdit *>(row.control)->date().toString(QStringLiteral("yyyyMMdd"));
    case Kind::Time: return static_cast<QTimeEdit *>(row.control)->time().toString(QStringLiteral("HH:mm:ss"));
    case Kind::Plugin: return static_cast<TPluginPanel *>(row.control)->GetValue();
    case Kind::Info:
    case Kind::Label: break;
    }
    return {};
}

QString TStylePanel::Values() const
{
    QList<texts::ValuePair> pairs;
    for (const Row &row : m_rows) {
        if (!row.control)
            continue;
        const QString value = valueOf(row);
        pairs.append({row.name, row.kind == Kind::Plugin ? escapePluginValue(value) : texts::escapeQuoted(value)});
    }
    return texts::formatEscapedValues(pairs);
}

void TStylePanel::setValueOf(const Row &row, const QString &value)
{
    switch (row.kind) {
    case Kind::Edit: static_cast<QLineEdit *>(row.control)->setText(value); break;
    case Kind::Memo: setMemoText(static_cast<QPlainTextEdit *>(row.control), value); break;
    case Kind::ComboBox: setComboText(static_cast<QComboBox *>(row.control), value); break;
    case Kind::DbLookup: selectById(static_cast<QComboBox *>(row.control), value); break;
    case Kind::QueryBox: static_cast<TQueryDropDown *>(row.control)->SelectId(value); break;
    case Kind::CheckBox: static_cast<QCheckBox *>(row.control)->setChecked(value == QLatin1String("true")); break;
    case Kind::Date: static_cast<QDateEdit *>(row.control)->setDate(readDate(value)); break;
    case Kind::Time: static_cast<QTimeEdit *>(row.control)->setTime(readTime(value)); break;
    case Kind::Plugin: static_cast<TPluginPanel *>(row.control)->SetValue(value); break;
    case Kind::Info:
    case Kind::Label: break;
    }
}

void TStylePanel::setValues(const QString &values)
{
    Quiet quiet(m_quiet);
    for (const texts::ValuePair &pair : texts::parseValues(values)) {
        for (const Row &row : std::as_const(m_rows)) {
            if (row.control && row.name == pair.name)
                setValueOf(row, pair.value);
        }
    }
}

}  // namespace texts
