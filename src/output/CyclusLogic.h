#pragma once
// The rubric cycle and the playout without widgets: the rubric content
// string, the rubric line the cycle's list keeps per text, how a rubric list
// is filled from stored texts, how drops change it, and how the playout lays
// a text out over screens.
//
// DESIGN
// A rubric content string (tblrubriek.txt) is every text id in cycle order,
// each followed by U+00FF. It goes into an update statement unescaped, so it
// is only ever written from whole numbers and read back strictly: anything
// but ids and separators makes it unreadable, and an unreadable rubric is
// shown empty and never stored over. A rubric line is four fields, each
// followed by U+00FF: text id, kop, the text's paginacount and "ok" (on air
// now) or "***"; a line added since the last load holds only its id.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace output {

inline constexpr QChar RubricSeparator = QChar(0xFF);

// ---- rubric content ---------------------------------------------------------

QString FormatRubricContent(const QList<int> &ids);
// The ids in order, or nullopt with why in *error. Each id is an optional
// minus and digits followed by U+00FF; the separator after the last id may be
// missing. Duplicates are kept as they are.
std::optional<QList<int>> ParseRubricContent(const QString &content, QString *error = nullptr);

// ---- rubric lines -----------------------------------------------------------

struct RubricLine {
    QString id;
    QString kop;
    QString pages;  // as stored in tblteksten; "0" for a missing text
    QString status;  // "ok" or "***"; empty for a line added since the load
    bool onAir() const { return status == QLatin1String("ok"); }
};

QString FormatRubricLine(const RubricLine &line);
RubricLine ParseRubricLine(const QString &line);
// The leading run of minus sign and digits; 0 when there is none.
int RubricLineId(const QString &line);
// The ids of lines, in order.
QList<int> RubricLineIds(const QStringList &lines);
bool ContainsTextId(const QStringList &lines, int id);

// "1 pagina", "2 pagina's", "0 pagina's", " pagina's" for blank pages.
QString PagesText(const QString &pages);
// The page number the totals count: pages as a whole number, 0 when blank.
int PagesNumber(const QString &pages);

// What the list shows for a rubric and the page total of its texts on air.
struct RubricFill {
    QStringList lines;
    int pageTotal = 0;
};
// One text as the cycle reads it: kop, paginacount, klok.
struct StoredText {
    QString kop;
    QString pages;
    QString klok;
};
// Fills the list from ids: fetch answers nullopt for a missing text. A text
// missing or with an empty kop leaves the list; one with an empty kop still
// counts its pages when it is on air at moment.
RubricFill FillRubric(const QList<int> &ids, const std::function<std::optional<StoredText>(int)> &fetch,
                      const QDateTime &moment);

// ---- changes ----------------------------------------------------------------

// Decides for one id whether it may go into lines (the duplicate and the
// allowed test, each warning on refusal).
using AdmitText = std::function<bool(const QStringList &lines, int id)>;

// Texts from the ready list: each admitted id becomes a line (the id and a
// separator) at pos, the next one after it. Returns how many were inserted.
int InsertTexts(QStringList &lines, int pos, const QList<int> &ids, const AdmitText &admit);
// Reordering: the lines of rows are taken out (pos moves up for each one
// above it) and put back, in their order, at pos, each only when admitted
// again. Returns the row the first moved line landed at.
int MoveLines(QStringList &lines, QList<int> rows, int pos, const AdmitText &admit);

// The hint of a rubric line: kop, "Loopt van:" and a line per clock.
QString ScheduleHint(const QString &kop, const QString &klok);

// ---- playout ------------------------------------------------------------------

// The lines of a stored body as the playout reads it: a tag that is exactly
// "br" or "hrt" ends a line, the "<" escape tag gives "<", every other tag is
// dropped. The text after the last line end is a line when it is not empty.
QStringList PlayoutBodyLines(const QString &body);

// How the playout canvas measures: the height of "h", the usable width and
// height, and the width of a text in the canvas font.
struct PlayoutMetrics {
    int lineHeight = 16;  // h
    int width = 800;  // canvas width
    int height = 600;  // canvas height
    std::function<int(const QString &)> textWidth;
};

// The screens of a body. Lines wider than the canvas (50 pixels margin each
// side) are wrapped at blanks (a word wider than that is cut); the first line
// of a screen is drawn at 10 + 4h and each next one h + h div 2 lower, and a
// line that would end below the canvas starts the next screen. An empty
// body is one empty screen.
QList<QStringList> PlayoutScreens(const QString &body, const PlayoutMetrics &metrics);

// Where the playout stands: a text of the rubric and a screen of that text.
struct PlayoutPosition {
    int text = 0;
    int screen = 0;
    bool operator==(const PlayoutPosition &) const = default;
};
// Next screen, or the next text's first screen; unchanged at the very end.
PlayoutPosition PlayoutNext(PlayoutPosition p, int texts, int screensOfText);
// Previous screen, or the previous text's first screen; unchanged at the start.
PlayoutPosition PlayoutPrevious(PlayoutPosition p);

// "Tekst 2 van de 5", with " (2/3)" when the text takes more than one screen.
QString PlayoutCounter(int number, int count, int screen, int screens);

}  // namespace output
