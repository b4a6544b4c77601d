#pragma once
// TDagView: one day of the film week in the film times dialog: the date and a
// row of time fields. Its value is the times joined with ","; the typing
// rules of the fields are in FilmSql.h.

#include <QDate>
#include <QFrame>
#include <QList>

class QLabel;
class QLineEdit;

namespace extras {

class TDagView : public QFrame {
    Q_OBJECT
public:
    TDagView(const QDate &day, QWidget *parent = nullptr);

    QDate day() const { return m_day; }
    // The non-blank fields joined with ",".
    QString value() const;
    // One field per comma-separated time, then one empty field. Raises no changed().
    void setValue(const QString &value);

    QList<QLineEdit *> fields() const { return m_fields; }
    QLabel *label() const { return m_label; }
    // The first blank field, a new one at the end when there is none.
    QLineEdit *firstBlankField();

    static constexpr int RowHeight = 25;
    static constexpr int LabelWidth = 125;  // at least; wider when the font needs it
    static constexpr int FieldWidth = 46;
    static constexpr int FieldPitch = 50;

signals:
    // A field was typed into or a field was completed.
    void changed();
    // Enter on a blank field: on to the next day.
    void nextDay(TDagView *row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *addField(const QString &text);
    void updateWidth();
    int fieldLeft(int position) const { return m_labelWidth + position * FieldPitch; }

    QDate m_day;
    QLabel *m_label;
    QList<QLineEdit *> m_fields;
    int m_labelWidth;  // the longest date fits
};

}  // namespace extras
