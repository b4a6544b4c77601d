#pragma once
// Stored passwords of tbluser: a salted scrypt hash with its parameters in
// the stored text, made and checked by the same code in the client (the
// editors page sets a password) and the server ("auth", "checkpw").
//
// DESIGN
// The stored text is "$scrypt$ln=<log2 N>,r=<r>,p=<p>$<salt hex>$<hash hex>".
// Because the parameters travel with each hash, they can be raised later:
// a hash made with weaker ones still verifies and is reported as due for a
// rewrite, as is a password still stored as plain text from before hashing.
// Parameters read from a stored text are bounded, so a crafted row cannot
// make the server spend unbounded memory or time on one log-in.

#include <string>

namespace quillon {

// Parameters of new hashes: N = 2^15, r = 8, p = 1 (32 MiB, some tens of ms).
struct ScryptParams {
    int logN = 15;
    int r = 8;
    int p = 1;
};

// A new hash of password with a fresh random salt; empty when the
// cryptographic library failed (callers store nothing then).
std::string HashPassword(const std::string &password, const ScryptParams &params = {});

// Whether stored is in the hash format above (well-formed or not); anything
// else is a password stored as plain text.
bool IsPasswordHash(const std::string &stored);

struct PasswordCheck {
    bool right = false;  // password matches stored
    bool rewrite = false;  // right, and stored is plain text or made with weaker parameters
};

// Checks password against stored (a hash, or plain text from before hashing,
// compared in constant time). An empty stored value never matches: such an
// editor has no password yet. A malformed hash never matches.
PasswordCheck VerifyPassword(const std::string &password, const std::string &stored);

// Spends the time of one verification without a stored value, so an unknown
// log-in name is not told apart by how fast it is refused.
void VerifyNothing(const std::string &password);

}  // namespace quillon
