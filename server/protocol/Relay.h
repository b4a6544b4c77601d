#pragma once
// What one client may make the server say to the others.
//
// DESIGN: a relayed line reaches other clients in the middle of their
// replies, where a line that reads as "ok" or "err" ends a reply early and
// shifts every later reply by one: a refused lock then reads as granted. So
// the server relays only the announcements clients make of changed rows, as
// a whitelist, and every queued line passes `endsReply` before it is queued.
// Lines the server originates itself ("users", "chat", "down", ...) never
// come from a client's words.

#include <optional>
#include <string>
#include <string_view>

namespace qserver {

// The line to relay for "broadcast <words>", or nullopt when the words are
// not an announcement a client may make:
//   agenda|todo|klaar <verb> <id>   verb of letters, id a whole number ("-" allowed)
//   rubriek <verb> <id>             the same form; only from a final editor or an
//                                   administrator (needsEditorRole)
//   viewchanged agenda
// Blanks between the words are normalised to one space.
std::optional<std::string> relayableBroadcast(std::string_view words);

// True for a relayable line that changes the programme output: the server
// relays it only for a sender who holds a final-editor role or is an
// administrator.
bool needsEditorRole(std::string_view relayed);

// True when a client reading `line` in a reply would take it as the reply's
// end: after trimming spaces and control characters it is empty, or its
// leading letters are "ok" or "err" in any letter case.
bool endsReply(std::string_view line);

}  // namespace qserver
