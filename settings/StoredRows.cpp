// StoredRows: the row keys of the settings files.
#include "settings/StoredRows.h"

#include "settings/StoredText.h"

const char* StoredRows::DirectionCodeOnFile(int32_t direction) {
    switch (direction) {
        case FCPitchChangeNode::kUp:
            return "1";
        case FCPitchChangeNode::kDown:
            return "0";
        default:
            return "2";
    }
}

int32_t StoredRows::DirectionFromFile(int32_t number) {
    switch (number) {
        case 0:
            return FCPitchChangeNode::kDown;
        case 1:
            return FCPitchChangeNode::kUp;
        default:
            return FCPitchChangeNode::kClosest;
    }
}

FCString StoredRows::RowKey(const char* field, std::optional<int32_t> setNumber, int32_t row) {
    FCString key(kListKeyPrefix);
    key.AppendCString(field);
    key.AppendCharacter(u'_');
    if (setNumber) {
        key.AppendInteger(*setNumber);
        key.AppendCharacter(u'_');
    }
    key.AppendInteger(row);
    return key;
}

void StoredRows::AppendRowPairs(const FCPitchChangeNodes& list, FCSettingsPairs& pairs,
                                std::optional<int32_t> setNumber) {
    int32_t row = 0;
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        const FCPitchChangeNode* node = list.GetNodeAt(i);
        if (node == nullptr) {
            continue;
        }
        ++row;
        const FCString fromKey = RowKey("FROM", setNumber, row);
        const FCString toKey = RowKey("TO", setNumber, row);
        const FCString directionKey = RowKey("UPDIRECTION", setNumber, row);
        const FCString inUseKey = RowKey("INUSE", setNumber, row);
        const FCString direction(DirectionCodeOnFile(node->GetDirection()));
        const FCString inUse(node->GetInUse() ? "1" : "0");
        const FCString from = StoredText::Storable(node->GetFromText());
        const FCString to = StoredText::Storable(node->GetToText());
        pairs.AddItem(new FCSettingsPair(&fromKey, &from));
        pairs.AddItem(new FCSettingsPair(&toKey, &to));
        pairs.AddItem(new FCSettingsPair(&directionKey, &direction));
        pairs.AddItem(new FCSettingsPair(&inUseKey, &inUse));
    }
}

void StoredRows::ReadRows(FCPitchChangeNodes& list, const FCSettingsPairs& pairs,
                          std::optional<int32_t> setNumber) {
    const FCString inUseText("1");
    for (int32_t row = 1;; ++row) {
        const FCString fromKey = RowKey("FROM", setNumber, row);
        const FCString toKey = RowKey("TO", setNumber, row);
        const FCString directionKey = RowKey("UPDIRECTION", setNumber, row);
        const FCString inUseKey = RowKey("INUSE", setNumber, row);
        FCSettingsPair* from = pairs.FindPair(&fromKey);
        FCSettingsPair* to = pairs.FindPair(&toKey);
        FCSettingsPair* direction = pairs.FindPair(&directionKey);
        FCSettingsPair* inUse = pairs.FindPair(&inUseKey);
        if (from == nullptr || to == nullptr || direction == nullptr || inUse == nullptr) {
            return;
        }
        const FCString fromText = StoredText::Storable(from->GetValue());
        const FCString toText = StoredText::Storable(to->GetValue());
        auto* node = new FCPitchChangeNode(&fromText, &toText,
                                           DirectionFromFile(direction->GetValue().GetInteger()));
        node->SetInUse(inUse->GetValue().IsEqual(&inUseText));
        list.AddItem(node);
    }
}
