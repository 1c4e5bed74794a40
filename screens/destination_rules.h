#pragma once
// What the destination dialog accepts as typed text, apart from the disk.
#include <string>

// At least two characters, an upper-case letter A..Z and a colon: the edit
// control upper-cases what is typed, so a lower-case drive letter can only
// come from elsewhere and is refused.
bool DestinationTextAcceptable(const std::string& text);

// True when the text holds "*" or "?".
bool HasWildcards(const std::string& text);
