// StoredRows: how a pitch change list is kept in a settings file: four keys per row
// (FROM, TO, UPDIRECTION, INUSE) numbered from 1, with the set number in front of the row
// number for a stored pitch set, and the direction codes used on file.
#pragma once

#include <cstdint>
#include <optional>

#include "pitch/FCPitchChangeNodes.h"
#include "settings/FCSettingsPairs.h"

class StoredRows {
  public:
    static constexpr const char* kKeyPrefix = "VESKSORVEL_";
    static constexpr const char* kListKeyPrefix = "VESKSORVEL_LIST_";

    // On file Up is "1", Down "0" and Closest "2" (in memory Up 0, Down 1, Closest 2).
    static const char* DirectionCodeOnFile(int32_t direction);
    // DirectionFromFile decodes a stored number: 0 Down, 1 Up, anything else Closest.
    static int32_t DirectionFromFile(int32_t number);

    // RowKey answers "VESKSORVEL_LIST_" + field + "_" + suffix, where suffix is the row number
    // or, for a stored set, the set number, "_" and the row number.
    static FCString RowKey(const char* field, std::optional<int32_t> setNumber, int32_t row);

    // AppendRowPairs appends the four pairs of each row of list, never merging them with pairs
    // already there. The texts are stored in their storable form (StoredText).
    static void AppendRowPairs(const FCPitchChangeNodes& list, FCSettingsPairs& pairs,
                               std::optional<int32_t> setNumber);
    // ReadRows appends to list the rows 1, 2, 3 ... found in pairs, up to the first row that
    // lacks one of its four keys. A row is in use exactly when its INUSE value is "1". Texts
    // come back in their storable form, as a damaged file may hold control characters.
    static void ReadRows(FCPitchChangeNodes& list, const FCSettingsPairs& pairs,
                         std::optional<int32_t> setNumber);
};
