#pragma once
// TStylePanel: the template-driven input panel. A definition string becomes
// rows of labelled controls; the controls' contents are read and written as
// a value string (formats: TemplateStrings.h).
//
// DESIGN. Each row is a borderless panel across the full width: the label at
// (3, 4) sized to its text, the control at (column, 1) reaching to 2 pixels
// from the right edge; the row is as high as the higher of the two plus 3,
// and the panel as high as its rows together. The column is 100, or further
// right where a caption is wider, so no control covers a label: one column
// for all rows, at most three fifths of the panel's width (the controls keep
// the rest), beyond which a caption is elided and shown whole in its tooltip. Rows are laid out by hand so these
// numbers hold exactly; a width change stretches rows and controls and
// places the column again.
//
// Changes the panel makes itself (building rows, setting Values) are not
// reported through OnChange: owners hear of what the user changed.
//
// A malformed date or time (a default or a value) raises
// platform::ConversionError, which stops the action, as a bad stored value
// does everywhere in the program; the rows built so far stay.

#include "texts/TemplateStrings.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;

namespace texts {

// Sender is the control that changed.
using TNotifyEvent = std::function<void(QObject *sender)>;
// Supplies the definition of the template called name in templateText (which
// comes in empty), or leaves it empty.
using TStyleMerge = std::function<void(QObject *sender, const QString &name, QString &templateText)>;

class TStylePanel : public QWidget {
    Q_OBJECT
public:
    explicit TStylePanel(QWidget *parent = nullptr);
    ~TStylePanel() override;

    QString Template() const { return m_template; }
    // Removes every row and builds the rows of definition.
    void setTemplate(const QString &definition);

    // The value string of every value-bearing control in row order.
    QString Values() const;
    // Sets every control named in values; other controls keep their values.
    void setValues(const QString &values);

    // Handed to plug-ins; set before Template.
    void setTextId(int textId) { m_textId = textId; }
    int TextId() const { return m_textId; }

    TNotifyEvent OnChange;  // given to edits, memos, combo boxes, pickers, check boxes
    TStyleMerge OnMerge;  // answers "merge" entries

    // The rows as built, for owners and tests.
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    QWidget *RowPanel(int i) const { return m_rows.at(i).panel; }
    QLabel *RowLabel(int i) const { return m_rows.at(i).label; }
    QWidget *RowControl(int i) const { return m_rows.at(i).control; }  // null for label-only rows

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    enum class Kind {
        Info,  // "info": a centred text
        Label,  // an unknown kind: the label alone
        Edit,  // "edit"
        Memo,  // "memo"
        CheckBox,  // "checkbox"
        Date,  // "date"
        Time,  // "time"
        ComboBox,  // "combobox": editable, fixed items
        DbLookup,  // "comboboxdblookup": owner drawn, items from a query
        QueryBox,  // "querybox": TQueryDropDown
        Plugin  // "plugin_<library>": TPluginPanel
    };
    struct Row {
        Kind kind = Kind::Label;
        QString name;
        QWidget *panel = nullptr;
        QLabel *label = nullptr;
        QWidget *control = nullptr;
        QString caption;  // the label's whole text; empty for rows without a side label
    };

    void clearRows();
    void addRow(const texts::TemplateEntry &entry);
    QWidget *createControl(Kind kind, const texts::TemplateEntry &entry, QWidget *row);
    void layoutRows();
    int controlColumn(int width) const;
    void changed(QObject *sender);
    QString valueOf(const Row &row) const;
    void setValueOf(const Row &row, const QString &value);

    QString m_template;
    QList<Row> m_rows;
    int m_textId = 0;
    int m_height = 0;
    int m_controlLeft = 100;  // the control column of the last layout
    int m_quiet = 0;  // > 0 while the panel itself changes controls
};

}  // namespace texts
