#pragma once
// TTemplateFrame: the templates (tbltemplate) with their place in the
// wizard's tree of goals (parent), which teams may use which templates
// (tblredactietemplate) and which templates a rubric accepts
// (tblrubriektemplate). Everything is reloaded with LoadTemplates after
// every change; there is no pending state.

#include <QFrame>

class QComboBox;
class QListWidget;

namespace admin {

class TEntryComboBox;

class TTemplateFrame : public QFrame {
    Q_OBJECT
public:
    explicit TTemplateFrame(QWidget *parent = nullptr);

    void LoadTemplates();
    void templatesClick();
    void ouderChange();
    void redactiesChange();
    void programmasChange();
    void rubriekenChange();

    void Button2Click();  // "<": the selected template to the team
    void Button3Click();  // ">": the selected team template away from the team
    void Button5Click();  // ">": the selected template to the rubric
    void Button4Click();  // "<": the selected rubric template away from the rubric
    void Button9Click();  // "+"
    void templateeditClick();  // "..."
    void Button11Click();  // "-"
    void Button10Click();  // "++"

    int TemplateId() const { return m_templateId; }

private:
    QListWidget *redtmp;
    QListWidget *templates;
    QListWidget *rubtmp;
    TEntryComboBox *redacties;
    TEntryComboBox *ouder;
    TEntryComboBox *programmas;
    TEntryComboBox *rubrieken;
    int m_templateId = -1;
    int m_teamId = -1;
    int m_programmeId = -1;
    int m_rubricId = -1;
};

}  // namespace admin
