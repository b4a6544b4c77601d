#pragma once
// The publishing window without widgets: the rubric selection string, the
// state the "publish" progress lines build up, and the files of a dry run.
//
// DESIGN. TPublish keeps a TPublishProgress and applies every progress line
// to it with ApplyProgress, then shows it; tests drive the same function
// with tables of lines. A target file entry keeps the window's line format:
// the state digit, one space and the file name.

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

namespace output {

// ---- the rubric selection string ---------------------------------------------

// The checked rubrics of the programme columns, in column order and list
// order, each once: " 12 7 ". Nothing checked gives a single space.
// columns: per column, per entry its rubric id and whether it is checked.
QString CollectSelection(const QList<QList<QPair<int, bool>>> &columns);

// The ids of a selection string (job lists store it): the numbers between
// the spaces; words that are no number are skipped.
QList<int> SelectionIds(const QString &selection);

// ---- progress ----------------------------------------------------------------

enum class FileState {
    NotDone = 0,  // "nog niet gedaan"
    Building = 1,  // "script wordt gemaakt"
    Built = 2,  // "script is gemaakt"
    Sending = 3,  // "bezig met verzenden"
    Sent = 4,  // "zwart = verzonden"
    Failed = 5,  // "rood = mislukt"
};

struct TPublishProgress {
    QStringList files;  // ListBox1 entries: state digit, space, name
    int bar1Max = 100, bar1 = 0;  // ProgressBar1 "Maken van scripts"
    int bar3Max = 100, bar3 = 0;  // ProgressBar3 "Verzenden"
    bool clockRunning = false;  // the elapsed-time timer
    QDateTime started;  // set by "setbar"
    bool busy = false;  // the busy animation plays
    bool done = false;  // "klaar" came: the done animation plays
    bool finished = false;  // closing discards the window
    QStringList log;  // logview1 lines (markup)
};

// Applies the argument of one "publish" line (sub-kind, one character, the
// value). Unknown sub-kinds and names not in the list change nothing.
void ApplyProgress(TPublishProgress &p, const QString &argument, const QDateTime &now);

// The start of a run ("Doe dat"): the busy animation plays.
void StartRun(TPublishProgress &p);
// The server refused "publiceer": the busy animation stops and the failure
// is logged in red, so the window does not look busy forever.
void RunRefused(TPublishProgress &p);

FileState EntryState(const QString &entry);
QString EntryName(const QString &entry);
// The text ListBox1 draws for an entry: the name, and " ...", " ", " ok" or
// " mislukt" by state.
QString EntryText(const QString &entry);

// "hh:nn:ss" of the time between start and now (Panel13).
QString ElapsedText(const QDateTime &start, const QDateTime &now);

// ---- the dry run ("Voorbeeld") -------------------------------------------------

struct PreviewFile {
    int id = 0;
    QString name;
    bool delivered = false;  // the lines are a difference to the copy last delivered
    QString error;  // the file could not be made
    QStringList lines;  // "+text", "-text", " text"
};

// Collects the "voorbeeld" lines of the server's answer ("bestand", "fout",
// "regel"), in the order the files came.
class TPreview {
public:
    void clear() { m_files.clear(); }
    void apply(const QString &argument);
    const QList<PreviewFile> &files() const { return m_files; }

private:
    QList<PreviewFile> m_files;
};

// The list entry of a file in the dry run: "id name", with what happens to it.
QString PreviewEntry(const PreviewFile &f);
// The file as highlight-view markup: added lines green, removed ones red.
QString PreviewMarkup(const PreviewFile &f);

}  // namespace output
