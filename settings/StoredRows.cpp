// StoredRows: the row keys of the settings files.
#include "settings/StoredRows.h"

#include <memory>
#include <vector>

#include "rules/PitchDirection.h"
#include "settings/StoredText.h"

const char* StoredRows::DirectionCodeOnFile(int32_t direction) {
    // The enum holds every int32_t; a number that is not Up or Down is stored as Closest.
    return rules::FileCodeOfDirection(static_cast<rules::PitchDirection>(direction));
}

int32_t StoredRows::DirectionFromFile(int32_t number) {
    return static_cast<int32_t>(rules::DirectionFromFileCode(number));
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
    // Four pairs a row: their room is made once (a working list may hold thousands of rows).
    pairs.ReserveItems(pairs.GetCount() + 4 * list.GetCount());
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
        const FCString from = StorableCopy(node->GetFromText());
        const FCString to = StorableCopy(node->GetToText());
        pairs.AddItem(new FCSettingsPair(&fromKey, &from));
        pairs.AddItem(new FCSettingsPair(&toKey, &to));
        pairs.AddItem(new FCSettingsPair(&directionKey, &direction));
        pairs.AddItem(new FCSettingsPair(&inUseKey, &inUse));
    }
}

void StoredRows::ReadRows(FCPitchChangeNodes& list, const FCSettingsPairs& pairs,
                          std::optional<int32_t> setNumber) {
    // The complete rows are found first, so that the list makes their room once.
    struct Row {
        FCSettingsPair* from;
        FCSettingsPair* to;
        FCSettingsPair* direction;
        FCSettingsPair* inUse;
    };
    std::vector<Row> rows;
    for (int32_t row = 1;; ++row) {
        const FCString fromKey = RowKey("FROM", setNumber, row);
        const FCString toKey = RowKey("TO", setNumber, row);
        const FCString directionKey = RowKey("UPDIRECTION", setNumber, row);
        const FCString inUseKey = RowKey("INUSE", setNumber, row);
        const Row found{pairs.FindPair(&fromKey), pairs.FindPair(&toKey),
                        pairs.FindPair(&directionKey), pairs.FindPair(&inUseKey)};
        if (found.from == nullptr || found.to == nullptr || found.direction == nullptr ||
            found.inUse == nullptr) {
            break;
        }
        rows.push_back(found);
    }
    list.ReserveItems(list.GetCount() + static_cast<int32_t>(rows.size()));
    const FCString inUseText("1");
    for (const Row& row : rows) {
        // Texts are taken in the form the file can keep, so a damaged file shows what a save
        // writes back.
        const FCString fromText = StorableCopy(row.from->GetValue());
        const FCString toText = StorableCopy(row.to->GetValue());
        auto node = std::make_unique<FCPitchChangeNode>(
            &fromText, &toText, DirectionFromFile(row.direction->GetValue().GetInteger()));
        node->SetInUse(row.inUse->GetValue().IsEqual(&inUseText));
        list.AddItem(node.release());
    }
}
