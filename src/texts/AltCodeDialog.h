#pragma once
// The ALT-code dialog of the versions window ("Speciaal teken invoegen
// (ALT-Codes)"): asks for an OEM code, 32 to 255, and inserts its character
// at the caret of the text editor. The last code used is remembered per user
// as "LastSpecialChar".

#include <QString>

namespace texts {

class TPersonalEdit;

// What an answer to the dialog means.
enum class AltCodeAnswer {
    NotANumber,  // ignored
    OutOfRange,  // below 32 or above 255: "Foutief code!"
    Valid  // code holds the number
};
AltCodeAnswer parseAltCode(const QString &answer, int *code);

// The dialog: caption "Speciaal teken invoegen", prompt "ALT-Code", at most
// three characters, prefilled with the last code. A valid code is inserted
// with InsertText (no typing rules) and remembered. Returns whether a
// character was inserted.
bool insertAltCode(TPersonalEdit &editor);

}  // namespace texts
