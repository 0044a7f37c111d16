// FCPitchChangeLists: lookups by name and by content.
#include "pitch/FCPitchChangeLists.h"

FCPitchChangeList* FCPitchChangeLists::FindByName(const FCString* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    for (int32_t i = 0; i < GetCount(); ++i) {
        FCPitchChangeList* list = GetListAt(i);
        if (list != nullptr && list->GetName().CompareNoCase(name) == 0) {
            return list;
        }
    }
    return nullptr;
}

FCPitchChangeList* FCPitchChangeLists::FindIdentical(const FCPitchChangeNodes* candidate) const {
    if (candidate == nullptr) {
        return nullptr;
    }
    for (int32_t i = 0; i < GetCount(); ++i) {
        FCPitchChangeList* list = GetListAt(i);
        if (list == nullptr || list->GetCount() != candidate->GetCount()) {
            continue;
        }
        bool all = true;
        for (int32_t j = 0; j < candidate->GetCount() && all; ++j) {
            const FCPitchChangeNode* node = candidate->GetNodeAt(j);
            all = node != nullptr && list->FindNode(&node->GetFromText(), &node->GetToText(),
                                                    node->GetDirection()) != nullptr;
        }
        if (all) {
            return list;
        }
    }
    return nullptr;
}

void FCPitchChangeLists::RemoveList(const FCPitchChangeList* list) {
    const int32_t index = IndexOf(list);
    if (index >= 0) {
        RemoveItemAt(index);
    }
}
