// FCPitchChangeList: node lookup.
#include "pitch/FCPitchChangeList.h"

FCPitchChangeNode* FCPitchChangeList::FindNode(const FCString* from, const FCString* to,
                                               int32_t direction) const {
    for (int32_t i = 0; i < GetCount(); ++i) {
        FCPitchChangeNode* node = GetNodeAt(i);
        if (node != nullptr && node->GetFromText().IsEqual(from) && node->GetToText().IsEqual(to) &&
            node->GetDirection() == direction) {
            return node;
        }
    }
    return nullptr;
}
