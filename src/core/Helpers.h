#pragma once
// Small helpers the frames and windows share: decoding, key lists, clearing
// input fields, code-page conversion, typed passwords and the search notice. They keep no
// state of their own apart from the test hook for the active application.

#include <QString>

#include <functional>

class QWidget;

namespace core {

// Every "%" followed by two hexadecimal digits becomes the character with that
// code; the decoded bytes are read as UTF-8 where they form it (web addresses
// are written so) and as Latin-1 otherwise. A "%" without two hexadecimal
// digits after it is copied as it stands: a link with a stray "%" still opens.
QString PercentDecode(const QString &text);

// The value for key in a list of "name=value;" pairs. The key and the names
// are compared trimmed and in lower case; the value is returned exactly as
// written. A final pair without its ";" is never found; empty when missing.
QString ParamListValue(const QString &list, const QString &key);

// Empties an edit, memo or combo box; on a panel, group box or plain widget it
// clears each child control in turn; any other control is left alone.
void ClearInputs(QWidget *control);

// A text from the OEM code page (one character per code 0 to 255) in
// Unicode, as the platform's conversion to the ANSI code page gave it.
// Characters above 255 are kept.
QString OemToAnsi(const QString &text);

// A typed password as the desk stores it: in lower case, by Unicode's rules,
// as the editors page sets it. Every password an editor types passes through
// here before the server checks it ("auth", "checkpw") and before the
// editors page hashes it; the server compares what it gets as it is, so a
// capital typed at log-in finds the password it was given as.
QString PasswordAsStored(const QString &typed);

// Shows the waiting window TPauzeForm and paints it at once, so it is seen
// during the blocking search that follows; only when the application is the
// active one, so a search started by a timer never jumps over another program.
void ShowSearchNotice();
void HideSearchNotice();

// Whether the application is the active one; tests replace it. Empty restores
// the default. Returns the previous hook.
using ActiveApplicationHook = std::function<bool()>;
ActiveApplicationHook setActiveApplicationHook(ActiveApplicationHook hook);

}  // namespace core
