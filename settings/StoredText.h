// StoredText: what the plug-in's own texts (the field texts, row spellings and set names)
// become in the settings files. A file holds one byte a character and one pair a line, so a
// character beyond 8 bits, or a control character (which could end, cut or split a line, or
// start another plug-in's key), is stored as "?". Texts are brought into this form before they
// are stored, and texts read back are brought into it too, so that what the user is shown is
// what comes back.
#pragma once

#include "framework/FCString.h"

class StoredText {
  public:
    StoredText() = delete;

    static constexpr char16_t kStandIn = u'?';

    // IsStorable answers whether a character can stand in a settings file as it is.
    static bool IsStorable(char16_t unit);
    // MakeStorable replaces every character the files cannot hold by one "?" (a character made
    // of two UTF-16 units gives one "?" too).
    static void MakeStorable(FCString& text);
    // Storable answers a storable copy of text.
    static FCString Storable(const FCString& text);
};
