#pragma once
// TCyclusFrame: the rubrics of a programme and the texts of one rubric, in
// the working flavour (tab "Programma") or the on-air flavour (tab "Op
// zender"), which differ only in the rubric copy they show and store.
//
// DESIGN
// box keeps rubric lines (CyclusLogic.h) as its item texts; every change of
// the list (adding from the ready list, a drop, removing, putting earlier
// content back) is stored, the rubric loaded again and stored again, so the
// stored page total and count are those of the list as it reloads. A store
// runs in one transaction with keeping the replaced content in the rubric
// history, and only a stored change is announced to the other clients
// ("rubriek update"), who reload their cycle frames. Only the final editor or
// an administrator changes a rubric; anyone else is told so and nothing is
// stored. A rubric whose stored content does not read is shown empty and
// never stored over. Texts open for editing under the lock "todo_" + the
// text's topic id.

#include "core/Frame.h"
#include "views/LineDelegate.h"

#include <QMap>
#include <QStringList>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QMimeData;
class QSplitter;
class QTimer;

namespace views {
class TDragList;
}

namespace output {

class TCyclusFrame : public core::TFrame {
    Q_OBJECT
public:
    explicit TCyclusFrame(QWidget *parent = nullptr);

    // Switches to the on-air copies; before the frame is activated.
    void setOnAir(bool onAir);
    bool onAir() const { return m_onAir; }

    bool frameMessage(int msg, qintptr wParam, qintptr lParam) override;

    void LoadProgrammes();  // FRAME_ACTIVATE
    void ChooseProgramme(int index);  // a ZendersMenu item or ComboBox1
    void ReloadRubrics();  // FRAME_REFRESH
    void SelectRubric();  // a click in rubriekbox
    void AddToCycle(qintptr wParam, qintptr lParam);  // FRAME_ADD_TO_CYCLE
    // A TGlobalDragObject dropped before row.
    void Drop(const QMimeData *mime, int row);
    void Tekstenuitrubriek1Click();  // "Pagina's uit rubriek", Delete
    void VorigeInhoudClick();  // "Vorige inhoud terugzetten"
    void boxDblClick();  // double click, Enter
    void Play();  // "A&fspelen huidige rubriek", FRAME_PLAY
    void Print();  // "&Afdrukken", SpeedButton1
    void Timer1Timer();  // the totals
    void Timer2Timer();  // the schedule hint of the focused line

    int currentProgramme() const { return m_programme; }
    int currentRubric() const { return m_rubric; }
    int pageTotal() const { return m_pageTotal; }
    QListWidget *rubriekbox() const { return m_rubrieken; }
    views::TDragList *box() const { return m_box; }
    QComboBox *ComboBox1() const { return m_combo; }
    QMenu *PopupMenu1() const { return m_popup; }
    QMenu *ZendersMenu() const { return m_zenders; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void fillFromContent(const QString &content);
    QStringList lines() const;
    void setLines(const QStringList &lines, int current);
    // Stores, loads and stores again; announces the change when stored.
    void storeReloadStore();
    bool store();
    void writeSetting(const QString &name, int value);
    bool mayChange(bool tell);
    bool allowed(int id);
    bool notDuplicate(const QStringList &lines, int id);
    bool admit(const QStringList &lines, int id);
    QMimeData *dragData() const;
    bool accepts(const QMimeData *mime) const;
    void updatePopup();

    bool m_onAir = false;
    int m_programme = -1;
    int m_rubric = -1;
    int m_pageTotal = 0;
    bool m_contentOk = false;  // the rubric's stored content was read
    QMap<QString, int> m_written;  // settings as this frame last wrote them
    QList<int> m_batch;  // ids of FRAME_ADD_TO_CYCLE until its end

    QLabel *m_panel2 = nullptr;
    QComboBox *m_combo = nullptr;
    QListWidget *m_rubrieken = nullptr;
    views::TDragList *m_box = nullptr;
    QListWidget *m_templates = nullptr;
    QSplitter *m_splitter = nullptr;
    QLabel *m_pagcount = nullptr;
    QLabel *m_totpag = nullptr;
    QLabel *m_berrub = nullptr;
    QLabel *m_onderwerpcyclus = nullptr;
    QMenu *m_popup = nullptr;
    QMenu *m_zenders = nullptr;
    QAction *m_publiceren = nullptr;
    QAction *m_uitRubriek = nullptr;
    QAction *m_vorige = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
};

// A rubric line: a raised button face (the highlight when selected), the kop
// in bold, the pages at the right and "***" in red before them when the text
// is not on air now.
void paintRubricItem(QPainter &p, const QRect &rect, const views::LineItem &item);
// A list entry "id name": the name only.
void paintNameItem(QPainter &p, const QRect &rect, const views::LineItem &item);

}  // namespace output
