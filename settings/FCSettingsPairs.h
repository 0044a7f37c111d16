// FCSettingsPairs: the pairs of a settings file in the order of its lines, followed by pairs
// appended later; owns them. Keys are found ignoring the case of A to Z, and of two pairs with
// the same key only the first is ever found.
//
// A shared settings file may hold a hundred thousand pairs of other plug-ins, and reading a
// pitch list looks keys up four times a row, so keys are found through an index: for each key
// (as CompareNoCase sees it) the first pair that has it and how many pairs do. The index is kept
// in step with every addition and removal; a pair's key must not change while it is in the
// collection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/FCStrings.h"
#include "framework/__FCCollection.h"
#include "settings/FCSettingsPair.h"

class FCSettingsPairs : public __FCCollection {
  public:
    FCSettingsPairs() = default;
    ~FCSettingsPairs() override = default;
    FCSettingsPairs(const FCSettingsPairs&) = delete;
    FCSettingsPairs& operator=(const FCSettingsPairs&) = delete;

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

  protected:
    void ItemAdding(__FCBase* item) override;
    void ItemRemoved(int32_t index, __FCBase* item) override;
    void ItemsChanged() override;

  private:
    // The index is an open-addressed table of 16-byte slots, at most two thirds full: one slot
    // per key (as CompareNoCase sees it) with the key's hash, the first pair that has the key
    // and how many pairs do. A lookup mostly reads one slot and compares texts only when the
    // hashes agree, and slots move without looking at their keys; the table is kept small, since
    // each lookup of a large file lands on a slot the processor has not seen lately.
    struct Slot {
        FCSettingsPair* first = nullptr;  // null: an empty slot
        uint32_t hash = 0;                // the hash's low half, whose low bits pick the home slot
        int32_t count = 0;
    };

    // Find answers the slot of key, or the empty slot where it would go.
    [[nodiscard]] size_t Find(const FCString& key, uint32_t hash) const;
    [[nodiscard]] size_t Home(uint32_t hash) const { return hash & (slots_.size() - 1); }
    void Reserve(size_t keys);
    void Insert(FCSettingsPair* pair, uint32_t hash);
    void Erase(size_t slot);
    void Rebuild();

    std::vector<Slot> slots_;
    size_t used_ = 0;
    bool indexing_ = true;  // off only while ParseLines adds a file's pairs
};
