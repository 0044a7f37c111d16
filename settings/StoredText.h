// StoredText: what the plug-in's own texts (the field texts, row spellings and set names)
// become in the settings files. A file holds one byte a character and one pair a line, so a
// character beyond 8 bits, or a control character (which could end, cut or split a line, or
// start another plug-in's key), is stored as "?". Texts are brought into this form before they
// are stored, and texts read back are brought into it too, so that what the user is shown is
// what comes back.
#pragma once

#include "framework/FCString.h"

inline constexpr char16_t kStoredStandIn = u'?';

// IsStorableUnit answers whether a character can stand in a settings file as it is.
bool IsStorableUnit(char16_t unit);
// MakeStorable replaces every character the files cannot hold by one "?" (a character made of
// two UTF-16 units gives one "?" too).
void MakeStorable(FCString& text);
// StorableCopy answers a storable copy of text.
FCString StorableCopy(const FCString& text);
