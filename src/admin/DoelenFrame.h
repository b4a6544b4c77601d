#pragma once
// TDoelenFrame: the upload targets (tbldoel), each with its upload module
// ("Ftp" or "Batch") and the module's settings as a values string, and which
// target files go to each target (tblnaardoel). The server's publishing job
// reads this; the page only keeps the configuration.
//
// Deleting a target removes its tblnaardoel rows in the same transaction,
// as the confirmation announces. Saving, deleting and the file links need a
// target: before one was chosen (or stored) they are refused with a message
// rather than writing to target 0.

#include "admin/AdminWidgets.h"

#include <QFrame>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace admin {

// The settings definitions of the two modules.
QString ModuleDefinition(const QString &module);

class TDoelenFrame : public QFrame {
    Q_OBJECT
public:
    explicit TDoelenFrame(QWidget *parent = nullptr);

    void Load();  // the targets and all target files
    void doelenClick();  // shows the selected target
    void moduleChange();  // the module's definition, with its defaults
    void Button1Click();  // "+": new mode
    void Button3Click();  // "-"
    void Button4Click();  // "Opslaan"
    void Button5Click();  // "+" of the file group
    void Button2Click();  // "-" of the file group

    int Target() const { return m_targetId; }
    SettingsPanel &Style() { return style; }

private:
    void loadFiles();
    bool targetChosen();

    QListWidget *doelen;
    QLineEdit *naam;
    QComboBox *module;
    SettingsPanel style;
    TEntryComboBox *files;
    QListWidget *naardoel;
    int m_targetId = 0;  // 0 none chosen yet, -1 new, else the target shown
};

}  // namespace admin
