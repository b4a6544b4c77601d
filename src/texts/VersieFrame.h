#pragma once
// TVersieFrame: the versions of one topic. Each version of the topic is a
// tab; the one shown is written in the text editor (headline kop, text body)
// with the template's input fields beside it and its clocks on a page of
// their own. Whatever is shown is saved when another version is opened, a
// version is created, and the window closes.
//
// DESIGN
// The frame keeps the id of the version shown (m_currentId, -1 before any);
// every change of version saves that one first and goes on only when the
// save was stored, so a text never lands in another version's row and a
// failed save never loses what was typed. The tab texts keep the system's
// line format (VersieSql.h); the clock page is a TClockList with controls.
// A save that fails leaves the text in the window, writes the crash backup
// at once, tells the editor, and announces nothing. A version whose loading
// was interrupted is shown read-only and never saved over: what the window
// shows of it is not what its row holds.
// Statements go through core::Query/Execute only; other subsystems' windows
// (agenda item, archive) are reached through the registry.

#include "core/Frame.h"
#include "texts/Clocks.h"
#include "texts/VersieSql.h"

#include <QFontMetrics>
#include <QTabBar>
#include <QTimer>

class QDateEdit;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTimeEdit;
class QToolButton;

namespace views {
class THighlightView;
}

namespace texts {

class TPersonalEdit;
class TPopupChars;
class TStylePanel;

// The room a headline keeps behind it for its page numbers.
inline const QString HeadlineReserve = QStringLiteral(" (9/9)");
// Whether headline kop, measured in fm, fits a text column of marginWidth
// pixels with that room behind it; an empty headline always does.
bool HeadlineFits(const QFontMetrics &fm, const QString &kop, int marginWidth);

// The owner-drawn version tabs: headline in black on the first row, the
// template name in blue on the second, each shortened with "..." to fit.
class TVersionTabs : public QTabBar {
    Q_OBJECT
public:
    explicit TVersionTabs(QWidget *parent = nullptr);
    void setTabWidth(int width);
    int tabWidth() const { return m_tabWidth; }
    // The tab's line (VersieSql.h); also sets its hint.
    void setLine(int index, const QString &line);
    QString line(int index) const;

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_tabWidth = 85;
};

class TVersieFrame : public core::TFrame {
    Q_OBJECT
public:
    explicit TVersieFrame(QWidget *parent = nullptr);
    ~TVersieFrame() override;

    int AgendaId = -1;
    int PreferredVersionId = -1;
    bool HasVersions = false;

    // FRAME_ACTIVATE focuses kop; FRAME_SAVE saves (lastSaveOk() tells).
    bool frameMessage(int msg, qintptr wParam, qintptr lParam) override;

    // Reads the topic and its versions and opens the preferred one, or runs
    // the wizard for a topic without versions.
    void LoadVersions();
    // Opens the version of the selected tab after saving the one shown;
    // false when that save failed (the shown version stays).
    bool TabControl1Change();
    // Saves the version shown; true when it was stored (or none is shown).
    bool SaveVersion();
    bool lastSaveOk() const { return m_lastSaveOk; }

    void ToolButton1Click();  // "Nieuwe versie maken"
    void ToolButton2Click();  // "Versie verwijderen"
    void ToolButton8Click();  // "Bron importeren"
    void ToolButton12Click();  // "Archief importeren"
    void ToolButton9Click();  // "Afdrukken"
    void EerdereVersiesClick();  // "Eerdere versies..."

    // The clock page.
    void LoadClocks();
    void StoreClock();  // "Opslaan"
    void AddClock();  // "Toevoegen"
    void RemoveClock();  // "Verwijderen"
    QString ClockList() const { return m_clocks.list(); }
    const ClockDefaults &clockDefaults() const { return m_defaults; }

    // The crash backup of the text being typed ("versie.txt" in the
    // temporary folder).
    static QString BackupPath();
    void WriteBackup();
    static void DeleteBackup();
    static void RestoreBackup();

    int currentVersionId() const { return m_currentId; }
    int templateId() const { return m_templateId; }
    QString templateName() const { return m_templateName; }

    TVersionTabs *TabControl1() const { return m_tabs; }
    QLineEdit *kop() const { return m_kop; }
    QLabel *kopvol() const { return m_kopvol; }
    TPersonalEdit *body() const { return m_body; }
    QPlainTextEdit *memo() const { return m_memo; }
    TStylePanel *style() const { return m_style; }
    views::THighlightView *view() const { return m_view; }
    QTabWidget *PageControl1() const { return m_pagesRight; }
    QTabWidget *PageControl2() const { return m_pagesLeft; }
    QListWidget *klokbox() const { return m_klokbox; }
    QDateEdit *startdatum() const { return m_startdatum; }
    QDateEdit *einddatum() const { return m_einddatum; }
    QMenu *xtra() const { return m_xtra; }
    QTimer *saveguardtimer() { return &m_saveGuard; }

    // The stored text as a save writes it: the memo's text while the memo is
    // shown, else the editor's stored form.
    QString storedText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QWidget *buildClockPage();
    QToolButton *toolButton(const QString &name, const QString &text, const QString &hint);
    void rewriteTab();
    void applyEditorSettings();
    void showExtraPage(bool show);
    void updateHeadlineLimit();
    void showClockFields();
    void readClockFields();
    void refreshClockBox();
    void saveFailed();
    int pageCount() const;
    void openAgendaItem();
    void showTopic();

    int m_currentId = -1;
    int m_templateId = -1;
    QString m_templateName;
    QString m_topicTitle;
    TEditorSettings m_settings;
    ClockDefaults m_defaults;
    TClockList m_clocks;
    bool m_marginFollowsWidth = false;  // the template's width is -1
    qsizetype m_kopLength = 0;  // of the headline before its last change
    bool m_loaded = false;  // the version shown was read completely: only then a save writes its row
    bool m_fieldsUnshown = false;  // the selected clock did not read: the fields do not show it
    bool m_lastSaveOk = true;
    bool m_tabsQuiet = false;  // tabs changed by the frame itself, not by the editor
    QTimer m_saveGuard;

    QWidget *m_panel7 = nullptr;
    TVersionTabs *m_tabs = nullptr;
    QTabWidget *m_pagesLeft = nullptr;
    QTabWidget *m_pagesRight = nullptr;
    views::THighlightView *m_view = nullptr;
    QWidget *m_extraPage = nullptr;
    QScrollArea *m_extraScroll = nullptr;
    TStylePanel *m_style = nullptr;
    QWidget *m_textPage = nullptr;
    QLineEdit *m_kop = nullptr;
    QLabel *m_kopvol = nullptr;  // says that the headline is as wide as it may be
    TPersonalEdit *m_body = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    TPopupChars *m_chars = nullptr;
    QMenu *m_xtra = nullptr;
    QAction *m_autocap = nullptr;
    QAction *m_spacecheck = nullptr;
    QListWidget *m_klokbox = nullptr;
    QDateEdit *m_startdatum = nullptr;
    QDateEdit *m_einddatum = nullptr;
    QTimeEdit *m_starttijd = nullptr;
    QTimeEdit *m_eindtijd = nullptr;
    QTimeEdit *m_intijd = nullptr;
    QTimeEdit *m_uittijd = nullptr;
    QList<QCheckBox *> m_dagen;
};

}  // namespace texts
