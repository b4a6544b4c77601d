#pragma once
// The statements and server commands of the rubric cycle and the playout,
// composed as text exactly as the desk's database and the other clients
// expect them. No widgets and no connections.
//
// The copy condition picks the rubric copy a frame works on: "and not onair"
// for the working copies, "and onair" for the on-air copies.
//
// Rubric history: every store of a rubric's content first keeps the content
// it replaces in tblrubriekhistorie, with the moment of the store and the
// user id of the editor who stored, when the content changes; the newest
// RubricHistoryDepth entries per rubric copy are kept. The three statements
// run with the update in one transaction, so no content is replaced without
// its predecessor being kept.

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace output {

inline constexpr int RubricHistoryDepth = 50;

QString CopyCondition(bool onAir);

QString ProgrammesSql(int team);
QString ProgrammeNameSql(int programme);
QString RubricsSql(int programme, bool onAir);
QString RubricContentSql(int rubric, bool onAir);
QString RubricTemplatesSql(int rubric);
QString TextLineSql(int textId);  // kop, paginacount, klok
QString TextTemplateSql(int textId);
QString TotalsSql(int programme, bool onAir);
QString TextHintSql(int textId);  // kop, klok
QString TextAgendaSql(int textId);

QString StoreRubricSql(const QString &content, int pageTotal, int count, bool onAir, int rubric);
// What one store runs between "begin" and "end": keep the replaced content,
// the update, trim the history.
QStringList StoreRubricStatements(const QString &content, int pageTotal, int count, bool onAir, int rubric,
                                  const QDateTime &moment, int userId);
// The newest kept content of the copy that differs from current (txt).
QString PreviousContentSql(int rubric, bool onAir, const QString &current);

// Sent after a stored change so that other clients' cycle frames reload.
QString BroadcastRubricUpdate(int rubric);
QString CycleLockName(int agendaId);  // "todo_" + agenda id

// ---- playout ------------------------------------------------------------------

QString PlayoutRubricsSql(int programme);
QString PlayoutRubricSql(int rubric);  // txt, naam
QString PlayoutTextSql(int textId);  // id, kop
QString PlayoutShowSql(int textId);  // kop, body

inline const QString NotFinalEditorMessage =
    QStringLiteral("Alleen de eindredacteur kan de inhoud van een rubriek wijzigen.");
inline const QString NotAllowedWarning = QStringLiteral("Een tekst van dit type is niet toegestaan in deze rubriek!");
inline const QString DuplicateWarning = QStringLiteral("Deze tekst is al aanwezig in de rubriek!");
inline const QString RemoveConfirmation = QStringLiteral("Geselecteerde onderwerpen uit rubriek verwijderen?");
// Asked before earlier content replaces the list; the replaced content is kept
// in the history, so doing it again brings the list back.
inline const QString RestoreConfirmation = QStringLiteral(
    "Vorige inhoud van de rubriek terugzetten?\nde huidige inhoud wordt bewaard; nogmaals terugzetten zet die weer terug");
inline const QString NoPreviousContent = QStringLiteral("Er is geen eerdere inhoud van deze rubriek bewaard.");

}  // namespace output
