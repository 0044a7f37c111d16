// FCSettingsPairs: the pairs of a settings file in the order of its lines, followed by pairs
// appended later; owns them. Keys are found ignoring the case of A to Z, and of two pairs with
// the same key only the first is ever found.
#pragma once

#include <memory>

#include "framework/FCStrings.h"
#include "framework/__FCCollection.h"
#include "settings/FCSettingsPair.h"

class FCSettingsPairs : public __FCCollection {
  public:
    [[nodiscard]] const char* ClassName() const override;

    [[nodiscard]] FCSettingsPair* GetPairAt(int32_t index) const {
        return static_cast<FCSettingsPair*>(GetItemAt(index));
    }

    // ParseLines makes a pair of each line holding an "=" after its first character: the key
    // before the first "=", the value after it, both trimmed. Other lines are skipped.
    static std::unique_ptr<FCSettingsPairs> ParseLines(const FCStrings* lines);

    FCSettingsPair* FindPair(const FCString* key) const;
    FCSettingsPair* FindPair(const char* key) const;
    // SetValue gives the pair found for key an untrimmed copy of value, keeping its place and
    // its key's letter case; without one it appends a new (trimmed) pair.
    FCSettingsPair* SetValue(const FCString* key, const FCString* value);
    FCSettingsPair* SetValue(const char* key, const char* value);

    // WriteSharedFile replaces the shared settings file by these pairs; false when it can't.
    bool WriteSharedFile();
};
