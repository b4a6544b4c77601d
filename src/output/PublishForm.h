#pragma once
// TPublish: the publishing window. Page "Instellen" chooses the rubrics,
// directly in the programme columns or through the team's saved job lists,
// and can ask the server for a dry run ("Voorbeeld"); page "Voortgang" shows
// the server's progress of a publication.
//
// DESIGN
// One window per program run at a time, built on first use (OpenPublish) and
// kept while a publication may still report: closing it hides it with its
// state, unless it is finished ("Sluiten" on "Instellen", or "klaar" came,
// or the server refused), in which case it is discarded and the next opening
// builds a new one. While it exists it is the server link's receiver of
// "publish" lines; every line goes through ApplyProgress (PublishLogic.h)
// and the window then shows the state. A check mark belongs to a rubric, not
// to a column: checking a rubric checks it in every column that lists it.
// The job lists can be saved, changed and deleted by administrators; every
// entry can be changed and deleted, the first one included.

#include "output/PublishLogic.h"
#include "views/LineDelegate.h"

#include <QDialog>
#include <QList>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QWidget;

namespace output {

class TPublish : public QDialog {
    Q_OBJECT
public:
    explicit TPublish(QWidget *parent = nullptr);
    ~TPublish() override;

    // The window of this run, or null when none is built.
    static TPublish *current();

    void FormCreate();  // the columns, the job lists
    void LoadJobLists();
    void ListClick(QListWidget *list, QListWidgetItem *item);  // a programme list entry
    void standaardClick(QListWidgetItem *item);  // a job list entry
    QString Selection() const;  // the rubric selection string
    void OpslaanClick();  // "&Opslaan"
    void WijzigenClick();  // "&Wijzigen"
    void VerwijderenClick();  // "&Verwijderen"
    void Button2Click();  // "Doe dat"
    void Button5Click();  // "Voorbeeld"
    void voorbeeldDblClick();  // opens the chosen file of the dry run
    void Button1Click();  // "Sluiten" on "Instellen"
    void HandleProgress(const QString &argument);  // one "publish" line

    const TPublishProgress &progress() const { return m_progress; }
    const TPreview &preview() const { return m_preview; }
    QList<QListWidget *> columns() const { return m_columns; }
    QListWidget *standaard() const { return m_standaard; }
    QListWidget *ListBox1() const { return m_files; }
    QListWidget *logview1() const { return m_log; }
    QListWidget *voorbeeld() const { return m_previewList; }
    QTabWidget *pages() const { return m_pages; }
    QMenu *PopupMenu1() const { return m_popup; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildColumns();
    void setChecked(int rubric, bool checked);
    void showPage(int index);
    void showProgress();
    int selectedJobList() const;
    int changeableJobList() const;  // the selected job list unless it is the first

    TPublishProgress m_progress;
    TPreview m_preview;
    bool m_switching = false;  // the window itself changes the page
    int m_page = 0;

    QTabWidget *m_pages = nullptr;
    QWidget *m_columnArea = nullptr;
    QList<QListWidget *> m_columns;
    QListWidget *m_standaard = nullptr;
    QPushButton *m_button4 = nullptr;
    QMenu *m_popup = nullptr;
    QListWidget *m_previewList = nullptr;
    QListWidget *m_files = nullptr;
    QProgressBar *m_bar1 = nullptr;
    QProgressBar *m_bar3 = nullptr;
    QLabel *m_clock = nullptr;
    QLabel *m_animation = nullptr;
    QListWidget *m_log = nullptr;
    QPushButton *m_button3 = nullptr;
    QTimer *m_clockTimer = nullptr;
    QTimer *m_animationTimer = nullptr;
    int m_frame = 0;
};

// Opens the publishing window modally: the one kept from before, or a new one.
void OpenPublish();

// Draws a ListBox1 entry: the name and its state text in the state's colour.
void paintPublishFile(QPainter &p, const QRect &rect, const views::LineItem &item);
// Draws a logview1 line: markup pieces at the running pen position.
void paintPublishLog(QPainter &p, const QRect &rect, const views::LineItem &item);

}  // namespace output
