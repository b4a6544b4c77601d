#pragma once
// TVersieHistory: "Eerdere versies", the earlier states of one version
// (tbltekstenhistorie, newest first). The state chosen is shown in a
// highlight view; "Terugzetten" closes with OK and the versions window puts
// it back into the editor and saves, which keeps the state it replaces, so a
// restore can itself be undone.

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>

class QListWidget;
class QPushButton;

namespace views {
class THighlightView;
}

namespace texts {

struct THistoryState {
    int id = -1;
    QString datum;  // "yyyymmdd"
    QString tijd;  // "hh:nn"
    QString wie;  // login name of the editor who saved it
    QString kop;
    QString body;  // stored form
    QString extra;  // value string
};

// The markup the view shows for a state: the headline in bold, then the
// lines of the text, every "<" and "&" of them shown as the character.
QString HistoryMarkup(const QString &kop, const QString &body);

class TVersieHistory : public QDialog {
    Q_OBJECT
public:
    TVersieHistory(int versionId, QWidget *parent = nullptr);

    // The state chosen with "Terugzetten", its text read; empty otherwise.
    const std::optional<THistoryState> &chosen() const { return m_chosen; }

    QListWidget *lijst() const { return m_list; }
    views::THighlightView *view() const { return m_view; }
    QPushButton *Terugzetten() const { return m_restore; }
    int stateCount() const { return int(m_states.size()); }

private:
    void showState(int row);
    bool readText(THistoryState &state) const;

    QList<THistoryState> m_states;
    std::optional<THistoryState> m_chosen;
    QListWidget *m_list;
    views::THighlightView *m_view;
    QPushButton *m_restore;
    QPushButton *m_close;
};

}  // namespace texts
