// __FCNoteEntryCollection: a collection whose items are FCNoteEntry objects.
#pragma once

#include "framework/FCNoteEntry.h"
#include "framework/__FCCollection.h"

class __FCNoteEntryCollection : public __FCCollection {
  public:
    // GetEntryAt answers null outside 0 .. count-1.
    FCNoteEntry* GetEntryAt(int32_t index) const;
};
