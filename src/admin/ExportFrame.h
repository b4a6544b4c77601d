#pragma once
// TExportFrame: the export templates (tblexporttemplate), the target files
// made from them for one rubric each (tbldoelfile) and which files are
// always exported along with a file (tbldoeldepend). A file's parameters are
// a values string for its template's definition, edited in the input panel.
//
// A target file is saved only with a template and a rubric to name, and the
// along-lists change only for a stored file: otherwise a message says why,
// instead of storing -1 or linking file -1. Deleting target files is not
// offered here ("-" of the file list has no action).

#include "admin/AdminWidgets.h"

#include <QFrame>

class QLineEdit;
class QListWidget;

namespace admin {

// The panel's definition until a file or template is chosen.
QString ExportStartDefinition();

class TExportFrame : public QFrame {
    Q_OBJECT
public:
    explicit TExportFrame(QWidget *parent = nullptr);

    void Load();
    void filesClick();  // shows the selected target file
    void templateChange();  // the chosen template's parameters into the panel
    void Button1Click();  // "+" export template
    void Button2Click();  // "..." export template
    void Button3Click();  // "-" export template
    void Button4Click();  // "+" target file: new mode
    void Button7Click();  // "Opslaan"
    void Button5Click();  // "<": the chosen file goes along
    void Button8Click();  // ">": it no longer does

    int File() const { return m_fileId; }
    SettingsPanel &Style() { return style; }

private:
    void loadAlong();
    bool fileStored();

    QListWidget *temp;
    QListWidget *files;
    QLineEdit *filename;
    QLineEdit *localfilename;
    QLineEdit *remotefilename;
    TEntryComboBox *m_template;  // "template"
    TEntryComboBox *rub;
    SettingsPanel style;
    QListWidget *meenemen;
    QListWidget *nietmeenemen;
    int m_fileId = -1;  // the file shown; -1 new
};

}  // namespace admin
