#pragma once
// FlowLayout: lays its widgets out in rows like words on a page, starting a
// new row when the next one does not fit. The button rows of the frames use
// it, so that in a narrow panel every command stays on screen instead of
// disappearing into a tool bar's overflow handle.

#include <QLayout>
#include <QList>

namespace views {

class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget *parent = nullptr, int spacing = 2);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override { return static_cast<int>(m_items.size()); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items into rect (or only measures when apply is false);
    // returns the height the rows take.
    int doLayout(const QRect &rect, bool apply) const;

    QList<QLayoutItem *> m_items;
    int m_spacing;
};

}  // namespace views
