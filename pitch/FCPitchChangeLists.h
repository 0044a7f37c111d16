// FCPitchChangeLists: the stored pitch sets, in the order they were loaded or added; owns them.
#pragma once

#include "framework/__FCCollection.h"
#include "pitch/FCPitchChangeList.h"

class FCPitchChangeLists : public __FCCollection {
  public:
    FCPitchChangeList* GetListAt(int32_t index) const {
        return static_cast<FCPitchChangeList*>(GetItemAt(index));
    }
    // FindByName answers the first set whose name matches ignoring case; null for null.
    FCPitchChangeList* FindByName(const FCString* name) const;
    // FindIdentical answers the first set holding the same replacements in any order (same
    // count, each candidate node found by from, to and direction); names and in-use flags
    // are not compared.
    FCPitchChangeList* FindIdentical(const FCPitchChangeNodes* candidate) const;
    // RemoveList removes and destroys that very set; nothing happens when it isn't here.
    void RemoveList(const FCPitchChangeList* list);
};
