#pragma once
// TEvalForm: the topic evaluation, which walks through all of today's topics
// of the current team (ready, still in production, never taken up from the
// agenda) and decides one at a time what becomes of each.
//
// DESIGN
// over keeps evaluation lines (KlaarSql.h); its current line is the topic
// decided on, so the chosen ids follow it on every change. Every decision is stored before
// the topic leaves the list and before anything is announced: a reschedule
// moves the agenda item and removes a production row in one transaction, and
// a follow-up removes the finished topic's production row only once the
// follow-up itself is stored. Texts and agenda items open through the
// registry's openers.

#include "planning/KlaarSql.h"

#include <QDialog>

class QListWidget;
class QMenu;
class QPushButton;

namespace views {
class THighlightView;
}

namespace planning {

class TEvalForm : public QDialog {
    Q_OBJECT
public:
    explicit TEvalForm(QWidget *parent = nullptr);
    ~TEvalForm() override;

    void Build();  // the list of today's topics; chooses the first
    void overClick();  // chooses the current line; runs whenever the current line changes
    void Button1Click();  // "&Tekst openen"
    void Button3Click();  // "&Follow-up maken"
    void Button4Click();  // "&Afvoeren"
    void Button5Click();  // "A&genda openen"
    // "&Morgen" (1), "&Overmorgen" (2), "&Volgende week" (7); 0: "&Anders...".
    void Reschedule(int days);

    int currentGroup() const { return m_group; }
    int currentListId() const { return m_listId; }
    int currentAgendaId() const { return m_agendaId; }
    QListWidget *over() const { return m_over; }
    views::THighlightView *view() const { return m_view; }
    QMenu *doorplaatsmenu() const { return m_menu; }

private:
    void buildControls();
    // Removes the topic just evaluated; "Evaluatie voltooid" when none remain.
    void discard();
    void removeProductionRow();

    int m_group = -1;
    int m_listId = -1;
    int m_agendaId = -1;
    QListWidget *m_over = nullptr;
    views::THighlightView *m_view = nullptr;
    QMenu *m_menu = nullptr;
    QPushButton *m_doorplaatsen = nullptr;
    QPushButton *m_followUp = nullptr;
};

// The production list's "&Evaluatie" through the registry.
void RegisterEvaluationOpener();

}  // namespace planning
