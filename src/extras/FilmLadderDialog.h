#pragma once
// TFilmLadderDialog: the film times. Films, the cinema each plays in and the
// show times per day, entered one film week (Thursday to Wednesday) at a
// time. The caller holds the server lock "tijden" while the dialog is open.
//
// DESIGN
// The right side edits one film at a time; "Opslaan" is enabled exactly
// while it holds unsaved changes, which are offered for storing before
// another film, another week or a new film replaces them, and before the
// dialog closes: times typed are never dropped unasked. Storing writes the
// title, the cinema and the shows of the seven days shown in one transaction,
// so a refused statement never leaves a day without the shows it had. The
// film list reloads from a single-shot timer restarted by each change of the
// search text; the delay is a property so tests need not wait.

#include <QDate>
#include <QDialog>
#include <QList>
#include <QTimer>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;

namespace core {
class TRegistry;
}

namespace extras {

class TDagView;

class TFilmLadderDialog : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int searchDelay READ searchDelay WRITE setSearchDelay)
public:
    explicit TFilmLadderDialog(QWidget *parent = nullptr);

    int searchDelay() const { return m_timer.interval(); }
    void setSearchDelay(int ms) { m_timer.setInterval(ms); }
    bool searchPending() const { return m_timer.isActive(); }

    // Opening: the film list, the current film week, the first film.
    void Prepare();
    // The film list for the search text; selects and shows the first film.
    void LoadFilms();
    // Shows the film selected in the list, after offering unsaved changes.
    void ShowFilm();
    // Stores the film shown and its shows of the week; true when stored
    // (or nothing to store).
    bool Store();

    void Button2Click();  // "Week -"
    void Button3Click();  // "Week +"
    void Button4Click();  // "Deze week"
    void Button5Click();  // "+": a film
    void Button6Click();  // "-": the film shown
    void opslaanClick();
    void Toevoegen1Click();  // cinema "&Toevoegen"
    void Wijzigen1Click();  // cinema "&Wijzigen"
    void Verwijderen1Click();  // cinema "&Verwijderen"
    // "Sluiten" (modal result 1) and Escape or the window's close button:
    // unsaved changes are offered for storing first, and the dialog stays
    // open when the store is refused.
    void Button1Click();
    void reject() override;

    int film() const { return m_film; }
    QDate week() const { return m_week; }
    QDate firstWeek() const { return m_firstWeek; }
    QList<TDagView *> days() const { return m_days; }

    QListWidget *films() const { return m_films; }
    QLineEdit *Edit1() const { return m_search; }
    QLineEdit *titel() const { return m_title; }
    QComboBox *bios() const { return m_cinemas; }
    QPushButton *opslaan() const { return m_store; }
    QPushButton *Button2() const { return m_weekBack; }
    QLabel *Label3() const { return m_weekLabel; }
    QLabel *Panel7() const { return m_header; }
    QMenu *cinemaMenu() const { return m_cinemaMenu; }

private:
    // Offers unsaved changes for storing ("Wijzigingen opslaan?"); afterwards
    // nothing counts as changed. False when a store was refused: the caller
    // keeps the changes on screen.
    bool askToStore();
    void buildWeek();
    void loadCinemas();
    void selectCinema(int id);
    int chosenCinema() const;
    void markChanged();

    QListWidget *m_films;
    QPushButton *m_addFilm;
    QPushButton *m_deleteFilm;
    QLineEdit *m_search;
    QLabel *m_header;
    QGroupBox *m_planning;
    QLabel *m_weekLabel;
    QPushButton *m_weekBack;
    QPushButton *m_weekOn;
    QPushButton *m_thisWeek;
    QWidget *m_dayPanel;
    QGroupBox *m_info;
    QLineEdit *m_title;
    QComboBox *m_cinemas;
    QPushButton *m_store;
    QPushButton *m_cinemaButton;
    QMenu *m_cinemaMenu;
    QPushButton *m_close;
    QList<TDagView *> m_days;

    QTimer m_timer;  // restarted by every change of Edit1
    int m_film = -1;  // tblfilm.id shown; -1 none
    int m_cinema = -1;  // tblbioscoop.id of the film as read, or chosen since
    QDate m_week;  // first day of the week shown
    QDate m_firstWeek;  // the current film week: the earliest that can be shown
};

// The film-times opener: the dialog, modal, freed afterwards.
void RegisterFilmTimesOpener(core::TRegistry &registry);

}  // namespace extras
