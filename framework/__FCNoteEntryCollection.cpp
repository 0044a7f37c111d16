// __FCNoteEntryCollection: typed access to the entries.
#include "framework/__FCNoteEntryCollection.h"

FCNoteEntry* __FCNoteEntryCollection::GetEntryAt(int32_t index) const {
    return static_cast<FCNoteEntry*>(GetItemAt(index));
}
