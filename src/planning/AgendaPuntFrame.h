#pragma once
// TAgendaPuntFrame: the editor of one agenda item (a tblagenda row) with its
// two link lists, the addresses and the archive texts. Always hosted in the
// modal dialog TAgendaForm.
//
// DESIGN
// Changes to the link lists are not written at once: each becomes a pending
// statement in which "%id" stands for the item's id, and Save runs them all,
// in the order they were made, once the row exists. A new item gets its id
// from tblagenda_id_seq only inside Save, between "begin" and "end". The
// editor takes no lock itself; whoever opens an existing item holds
// "agenda_" + id while the dialog is open.

#include "core/Frame.h"

#include <QStringList>

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace planning {

// Shown when the editor saves while the database connection is gone.
extern const QString kNotSavedNoDatabase;

class TAgendaPuntFrame : public core::TFrame {
    Q_OBJECT
public:
    explicit TAgendaPuntFrame(QWidget *parent = nullptr);

    // Fills the controls from item id (-1: a new item, nothing read; the
    // follow-up link is kept). A row that is gone leaves the defaults.
    // Throws platform::ConversionError on a malformed stored date.
    void Load(int id);
    // The follow-up link: the id and the earlier item's title in Edit3.
    void SetFollowUp(int agendaId);
    // Inserts (new, between "begin" and "end") or updates the row, runs the
    // pending statements and broadcasts "agenda new" or "agenda update" with
    // the id. False when the database refused or was gone: then nothing is
    // announced, a new item stays new and unsaved links stay pending. With
    // no database connection at all it says so (kNotSavedNoDatabase) first.
    bool Save();
    void AddPending(const QString &statement) { m_pending << statement; }
    void ClearPending() { m_pending.clear(); }
    // The next save inserts a copy of what is shown.
    void MakeNew() { m_itemId = -1; }
    void SetRepeatId(int repeatId) { m_repeatId = repeatId; }
    // Shows one more archive line (its pending statement is the caller's).
    void AddArchiveLine(int textId, const QString &kop);

    int itemId() const { return m_itemId; }
    int followUpId() const { return m_followUpId; }
    int repeatId() const { return m_repeatId; }
    const QStringList &pending() const { return m_pending; }
    // Everything the editor can change, as one value: equal values mean
    // nothing was typed, chosen or linked in between.
    QStringList shownState() const;

    bool frameMessage(int msg, qintptr wParam, qintptr lParam) override;

    // The controls, by their names.
    QDateEdit *date() const { return m_date; }
    QLineEdit *tijd() const { return m_tijd; }
    QLineEdit *onderwerp() const { return m_onderwerp; }
    QPlainTextEdit *Opmerkingen() const { return m_opmerkingen; }
    QLineEdit *Edit3() const { return m_edit3; }
    QListWidget *adressenbox() const { return m_adressen; }
    QListWidget *archiefbox() const { return m_archief; }
    QLabel *bron() const { return m_bron; }
    QLabel *madeby() const { return m_madeby; }
    QPushButton *Button5() const { return m_button5; }

    // The actions of the buttons and lists.
    void Button1Click();  // "+" address
    void Button2Click();  // "-" address
    void adressenboxDblClick();  // edit the focused address
    void Button3Click();  // "+" archive texts
    void Button4Click();  // "-" archive text
    void archiefboxDblClick();  // show the focused archive text
    void Button5Click();  // open the item followed up

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void loadRow(int id);
    void loadLinks(int id);
    QString madeByText(const QStringList &row) const;
    void addAddress(int addressId);
    void showArchiveText(const QStringList &row);
    void enableFollowUp();

    int m_itemId = -1;  // tblagenda.id; -1 until a new item is saved
    int m_followUpId = -1;  // the earlier item this one follows up
    int m_repeatId = -1;  // the tblagendaherhaal row this item takes up
    QStringList m_pending;  // link statements with "%id", in the order made

    QGroupBox *m_group = nullptr;
    QDateEdit *m_date = nullptr;
    QLineEdit *m_tijd = nullptr;
    QLineEdit *m_onderwerp = nullptr;
    QLineEdit *m_edit3 = nullptr;
    QLabel *m_label7 = nullptr;
    QPushButton *m_button5 = nullptr;
    QTabWidget *m_pages = nullptr;
    QPlainTextEdit *m_opmerkingen = nullptr;
    QListWidget *m_adressen = nullptr;
    QListWidget *m_archief = nullptr;
    QLabel *m_bron = nullptr;
    QLabel *m_madeby = nullptr;
};

}  // namespace planning
