#pragma once
// TPopupChars: a popup menu of the characters the keyboard lacks, one item
// for each OEM code 129 to 163 ("ü (129)" ... "ú (163)"), the code as the
// item's data. Chosen on a single-line edit it replaces that edit's
// selection; chosen on a TPersonalEdit it is typed there, typing rules
// included.

#include <QMenu>

class QLineEdit;

namespace texts {

class TPopupChars : public QMenu {
    Q_OBJECT

public:
    static constexpr int FirstCode = 129;
    static constexpr int LastCode = 163;

    explicit TPopupChars(QWidget *parent = nullptr);

    // The caption of the item for an OEM code: the character, " (", the code, ")".
    static QString captionFor(int code);

    // Makes this the popup menu of control when it is a single-line edit,
    // else of every single-line edit among its children, at any depth (the
    // line edits inside combo boxes and spin boxes are theirs, not ours).
    void attach(QWidget *control);

    // The control the menu was last opened on.
    QObject *popupComponent() const;

    // Opens the menu for component at globalPos.
    void popupFor(QWidget *component, const QPoint &globalPos);

private slots:
    void itemChosen(QAction *action);
    void lineEditMenuRequested(const QPoint &pos);

private:
    void attachLineEdit(QLineEdit *edit);
};

}  // namespace texts
