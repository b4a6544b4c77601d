#pragma once
// Program state: the one set of values every part of the client reads (who
// is logged in, which team, which day, which rights), and the operations of
// the main window that frames and dialogs reach through it.
//
// DESIGN
// One instance, created before the main window. It holds no widgets, so the
// server link and the helpers can be tested with a state of their own; the
// main window registers itself as the TMainOperations when it is created.

#include "core/Database.h"  // Query, Execute and TTransaction come with the state
#include "core/Locks.h"  // RequestLock and SubstituteUserName come with the state

#include <QDate>
#include <QString>

#include <memory>

class QMenu;
namespace db {
class TPostgres;
class TPostgresRecordSet;
}  // namespace db

namespace core {

class TFrame;
class TServerLink;

// What the main window offers to frames and dialogs.
class TMainOperations {
public:
    virtual ~TMainOperations() = default;
    // Inserts a drop-down button for menu into the menu bar in front of "&Redactie".
    virtual void AddMenuButton(const QString &caption, QMenu *menu) = 0;
    // Removes the first menu-bar button whose drop-down menu is menu.
    virtual void RemoveMenuButton(const QString &caption, QMenu *menu) = 0;
    // Shows the work date and sends FRAME_REFRESH to the left and right frame.
    virtual void RefreshViews() = 0;
    // Time-stamped markup line in the status log along the bottom.
    virtual void ShowStatusLine(const QString &text) = 0;
    // Traffic line for the log window; dropped while that window is hidden.
    virtual void LogStatus(const QString &text) = 0;
    // The frame of the right panel, for messages one frame posts to its
    // partner (the ready list to the cycle); none by default.
    virtual TFrame *RightFrame() const { return nullptr; }
};

struct TProgramState {
    QString title = QStringLiteral("Marbelt Quillon");  // + " v" + file version once created
    QString fileVersion;  // sent with "checkversion"
    QString userName;  // login name, shown in the status bar
    QString autologinPassword;  // [autologin] password
    bool autologin = false;  // user name came from the ini file
    int userId = 0;  // set by "setuserid"
    int currentTeamId = -1;  // tblredactie.id of the selected team
    QDate workDate = QDate::currentDate();  // the day the planning views show
    bool administrator = false;  // rights character 2
    bool finalEditorRight = false;  // rights character 1
    bool isFinalEditor = false;  // holds the final-editor role now
    bool versionFormOpen = false;  // polled broadcasts are dropped meanwhile
    QString lastLockHolder;  // from "lockedby", read by RequestLock
    QString serverHost;  // copies for the plug-in panels
    int serverPort = 2000;

    db::TPostgres *post = nullptr;  // the database client (owned by the main window)
    TServerLink *server = nullptr;  // the server link (owned by the main window)
    TMainOperations *main = nullptr;  // the main window's operations
};

// The program's state.
TProgramState &state();

// The rights string as it is inspected: padded on the right with "-" to at
// least 16 characters.
QString PadRights(const QString &rights);

// Applies a rights string to the administrator and final-editor flags.
void ApplyRights(TProgramState &s, const QString &rights);

// Shorthands through the program state; harmless before the main window exists.
bool SendCommand(const QString &command);
bool SendCommandEx(const QString &command, QString &result);
void ShowStatusLine(const QString &text);
void LogStatus(const QString &text);
// An announcement from sender in the announcements window, without waiting.
void AddAnnouncement(const QString &sender, const QString &text);

}  // namespace core
