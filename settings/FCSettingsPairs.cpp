// FCSettingsPairs: parsing, the key index and the writing of the shared settings file.
#include "settings/FCSettingsPairs.h"

#include "settings/SettingsFiles.h"

const char* FCSettingsPairs::ClassName() const {
    return "FCSettingsPairs";
}

namespace {

uint32_t HighHalf(uint64_t hash) {
    return static_cast<uint32_t>(hash >> 32);
}

}  // namespace

size_t FCSettingsPairs::Find(const FCString& key, uint64_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = Home(hash);; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.first == nullptr ||
            (slot.hash == HighHalf(hash) && slot.first->GetKey().CompareNoCase(&key) == 0)) {
            return i;
        }
    }
}

void FCSettingsPairs::Reserve(size_t keys) {
    size_t size = 16;
    while (2 * size < 3 * keys) {
        size *= 2;
    }
    if (size <= slots_.size()) {
        return;
    }
    std::vector<Slot> old(size);
    old.swap(slots_);
    for (const Slot& slot : old) {
        if (slot.first != nullptr) {
            const FCString& key = slot.first->GetKey();
            slots_[Find(key, key.HashNoCase())] = slot;
        }
    }
}

void FCSettingsPairs::Erase(size_t slot) {
    // Later slots of the same run move back, so that every key stays reachable from its home
    // slot without marks for removed ones.
    const size_t mask = slots_.size() - 1;
    size_t hole = slot;
    for (size_t i = (hole + 1) & mask; slots_[i].first != nullptr; i = (i + 1) & mask) {
        const size_t home = Home(slots_[i].first->GetKey().HashNoCase());
        const bool staysAfterHole =
            hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
        if (!staysAfterHole) {
            slots_[hole] = slots_[i];
            hole = i;
        }
    }
    slots_[hole] = Slot{};
    --used_;
}

void FCSettingsPairs::ItemAdding(__FCBase* item) {
    auto* pair = static_cast<FCSettingsPair*>(item);
    if (pair == nullptr) {
        return;
    }
    Reserve(used_ + 1);
    const uint64_t hash = pair->GetKey().HashNoCase();
    Slot& slot = slots_[Find(pair->GetKey(), hash)];
    if (slot.first != nullptr) {
        // A pair added later never hides an earlier one with the same key.
        ++slot.count;
        return;
    }
    slot = Slot{pair, HighHalf(hash), 1};
    ++used_;
}

void FCSettingsPairs::ItemRemoved(int32_t index, __FCBase* item) {
    auto* pair = static_cast<FCSettingsPair*>(item);
    if (pair == nullptr || slots_.empty()) {
        return;
    }
    const size_t found = Find(pair->GetKey(), pair->GetKey().HashNoCase());
    Slot& slot = slots_[found];
    if (slot.first == nullptr) {
        return;
    }
    if (--slot.count == 0) {
        Erase(found);
        return;
    }
    if (slot.first != pair) {
        return;
    }
    // The first pair with this key went: the next one with it, after where it was, is first now.
    for (int32_t i = index; i < GetCount(); ++i) {
        FCSettingsPair* next = GetPairAt(i);
        if (next != nullptr && next->GetKey().CompareNoCase(&pair->GetKey()) == 0) {
            slot.first = next;
            return;
        }
    }
}

void FCSettingsPairs::ItemsChanged() {
    Rebuild();
}

void FCSettingsPairs::Rebuild() {
    slots_.clear();
    used_ = 0;
    Reserve(static_cast<size_t>(GetCount()));
    for (int32_t i = 0; i < GetCount(); ++i) {
        ItemAdding(GetPairAt(i));
    }
}

std::unique_ptr<FCSettingsPairs> FCSettingsPairs::ParseLines(const FCStrings* lines) {
    auto pairs = std::make_unique<FCSettingsPairs>();
    if (lines == nullptr) {
        return pairs;
    }
    // At most one pair a line: the room is made once.
    pairs->ReserveItems(lines->GetCount());
    pairs->Reserve(static_cast<size_t>(lines->GetCount()));
    for (int32_t i = 0; i < lines->GetCount(); ++i) {
        const FCString* line = lines->GetStringAt(i);
        if (line == nullptr) {
            continue;
        }
        const char16_t* units = line->GetUTF16();
        const uint32_t length = line->GetLength();
        uint32_t equals = 0;
        while (equals < length && units[equals] != u'=') {
            ++equals;
        }
        if (equals == 0 || equals == length) {
            continue;
        }
        auto pair = std::make_unique<FCSettingsPair>(units, equals, units + equals + 1,
                                                     length - equals - 1);
        pairs->AddItem(pair.get());
        pair.release();
    }
    return pairs;
}

FCSettingsPair* FCSettingsPairs::FindPair(const FCString* key) const {
    if (key == nullptr) {
        return nullptr;
    }
    if (slots_.empty()) {
        return nullptr;
    }
    return slots_[Find(*key, key->HashNoCase())].first;
}

FCSettingsPair* FCSettingsPairs::FindPair(const char* key) const {
    const FCString text(key);
    return FindPair(&text);
}

FCSettingsPair* FCSettingsPairs::SetValue(const FCString* key, const FCString* value) {
    if (FCSettingsPair* pair = FindPair(key)) {
        pair->SetValue(value);
        return pair;
    }
    auto pair = std::make_unique<FCSettingsPair>(key, value);
    AddItem(pair.get());
    return pair.release();
}

FCSettingsPair* FCSettingsPairs::SetValue(const char* key, const char* value) {
    const FCString keyText(key);
    const FCString valueText(value);
    return SetValue(&keyText, &valueText);
}

bool FCSettingsPairs::WriteSharedFile() {
    std::unique_ptr<FCTextFileStream> stream = SettingsFiles::NewSharedSettingsStream();
    if (!stream->OpenWrite()) {
        return false;
    }
    const bool written = stream->WritePairs(this);
    return stream->Close() && written;
}
