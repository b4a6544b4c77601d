#pragma once
// The statements of the versions window, the new-version wizard, the clocks
// and the text history, composed as text; the line formats of the version
// tabs and the basis list; and the editor settings a template gives the text
// editor. No widgets and no connections: the windows send what these compose
// and the tests compare the text.
//
// Text values pass through SqlEscape; ids and numbers are decimal; dates are
// "yyyymmdd" and times "hh:nn".

#include "texts/TemplateStrings.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace texts {

// ---- versions window ----------------------------------------------------

QString TopicSql(int agendaId);
QString VersionListSql(int agendaId);  // joins tbltemplate: a version without its template is not listed
QString OpenVersionSql(int versionId);  // "select *": kop 1, body 2, template 7, extra 8
QString VersionTemplateSql(int templateId);
QString NextTextIdSql();
QString BasisTextSql(int versionId);
QString InitialCommandsSql(int templateId);
QString DeleteVersionSql(int versionId);
QString MergeTemplateSql(const QString &name);
QString ClockListSql(int versionId);
QString OldClocksSql(int versionId);

// What a save writes, unescaped.
struct VersionValues {
    int id = -1;
    QString kop;
    QString body;  // stored form
    QString extra;  // value string
    int pageCount = 0;
    QDateTime moment;  // datum and tijd
    int userId = -1;
    QString klok;  // clock list
};
QString SaveVersionSql(const VersionValues &v);

// The row a new version starts as.
struct NewVersionValues {
    int id = -1;
    int agendaId = -1;
    int templateId = -1;
    QString kop;
    QString body;
    int userId = -1;
    QDateTime moment;
};
QString InsertVersionSql(const NewVersionValues &v);

// ---- the text history ---------------------------------------------------

// The earlier states of a version, newest first: id, datum, tijd, the
// editor's login name, kop.
QString HistoryListSql(int versionId);
// One earlier state: kop, body, extra.
QString HistoryEntrySql(int historyId);

// ---- new-version wizard ---------------------------------------------------

QString GoalsSql(int team);
QString BasisVersionsSql(int agendaId);
QString PossibilitiesSql(int goalId);

// ---- lines --------------------------------------------------------------

// A version tab: id, kop + " ", naam + " ", each followed by U+00FF.
QString VersionTabText(const QString &id, const QString &kop, const QString &naam);
// A basis list item: id, kop, naam, each followed by U+00FF.
QString BasisLineText(const QString &id, const QString &kop, const QString &naam);

struct VersionLine {
    QString id;  // the leading digits
    QString kop;  // without the space the tab adds
    QString naam;
};
// Reads a tab text or a basis list item.
VersionLine ParseVersionLine(const QString &line);

// ---- editor settings ----------------------------------------------------

// The settings a versions window has applied so far: a name=value list kept
// for the life of the window, names compared without regard to case. A
// template that does not name a setting leaves it as the last one set it.
class TEditorSettings {
public:
    // Adds or replaces the pairs of a template's editor text.
    void merge(const QList<EditorSetting> &pairs);
    QString value(const QString &name) const;  // empty when never set
    bool has(const QString &name) const;

private:
    QList<EditorSetting> m_pairs;
};

// What the settings do to the editor, in the order they are evaluated:
// usememo, font, size, width, pagelength. A size, width or pagelength that
// is not a number ends the evaluation there; what follows stays unset.
struct EditorSetup {
    bool useMemo = false;
    QString font;  // empty: keep
    std::optional<int> size;  // points
    std::optional<int> width;  // MarginWidth; -1 means the editor's width minus 40
    std::optional<int> pageLength;  // LinesPerPage
};
EditorSetup EvaluateEditorSettings(const TEditorSettings &settings);

}  // namespace texts
