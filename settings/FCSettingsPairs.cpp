// FCSettingsPairs: parsing, the key index and the writing of the shared settings file.
#include "settings/FCSettingsPairs.h"

#include "settings/SettingsFiles.h"

const char* FCSettingsPairs::ClassName() const {
    return "FCSettingsPairs";
}

namespace {

uint32_t HashOf(const FCString& key) {
    return static_cast<uint32_t>(key.HashNoCase());
}

// Prefetch asks the processor to fetch memory that will be needed shortly (where it can).
void Prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

}  // namespace

size_t FCSettingsPairs::Find(const FCString& key, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = Home(hash);; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.first == nullptr ||
            (slot.hash == hash && slot.first->GetKey().CompareNoCase(&key) == 0)) {
            return i;
        }
    }
}

void FCSettingsPairs::Reserve(size_t keys) {
    if (!slots_.empty() && 2 * slots_.size() >= 3 * keys) {
        return;
    }
    size_t size = 16;
    while (2 * size < 3 * keys) {
        size *= 2;
    }
    if (size <= slots_.size()) {
        return;
    }
    std::vector<Slot> old(size);
    old.swap(slots_);
    // Every key is distinct here, so a slot needs only the first empty place of its run.
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.first != nullptr) {
            size_t i = Home(slot.hash);
            while (slots_[i].first != nullptr) {
                i = (i + 1) & mask;
            }
            slots_[i] = slot;
        }
    }
}

void FCSettingsPairs::Erase(size_t slot) {
    // Later slots of the same run move back, so that every key stays reachable from its home
    // slot without marks for removed ones.
    const size_t mask = slots_.size() - 1;
    size_t hole = slot;
    for (size_t i = (hole + 1) & mask; slots_[i].first != nullptr; i = (i + 1) & mask) {
        const size_t home = Home(slots_[i].hash);
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
    if (!indexing_) {
        return;
    }
    auto* pair = static_cast<FCSettingsPair*>(item);
    if (pair != nullptr) {
        Reserve(used_ + 1);
        Insert(pair, HashOf(pair->GetKey()));
    }
}

void FCSettingsPairs::Insert(FCSettingsPair* pair, uint32_t hash) {
    Slot& slot = slots_[Find(pair->GetKey(), hash)];
    if (slot.first != nullptr) {
        // A pair added later never hides an earlier one with the same key.
        ++slot.count;
        return;
    }
    slot = Slot{pair, hash, 1};
    ++used_;
}

void FCSettingsPairs::ItemRemoved(int32_t index, __FCBase* item) {
    auto* pair = static_cast<FCSettingsPair*>(item);
    if (pair == nullptr || slots_.empty()) {
        return;
    }
    const size_t found = Find(pair->GetKey(), HashOf(pair->GetKey()));
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
    // The table keeps its memory when it is large enough: a save rebuilds it after dropping the
    // stored rows.
    const auto count = static_cast<size_t>(GetCount());
    size_t size = slots_.size();
    while (size > 16 && 2 * (size / 2) >= 3 * count) {
        size /= 2;
    }
    slots_.assign(size, Slot{});
    used_ = 0;
    Reserve(count);
    // The keys are hashed first, in the pairs' order; then each insertion asks the processor
    // for a slot a few insertions ahead, so that a large table is filled without waiting for
    // each slot in turn.
    std::vector<uint32_t> hashes(count);
    for (size_t i = 0; i < count; ++i) {
        const FCSettingsPair* pair = GetPairAt(static_cast<int32_t>(i));
        hashes[i] = pair != nullptr ? HashOf(pair->GetKey()) : 0;
    }
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < count; ++i) {
        if (i + kAhead < count) {
            Prefetch(&slots_[Home(hashes[i + kAhead])]);
        }
        if (FCSettingsPair* pair = GetPairAt(static_cast<int32_t>(i))) {
            Insert(pair, hashes[i]);
        }
    }
}

std::unique_ptr<FCSettingsPairs> FCSettingsPairs::ParseLines(const FCStrings* lines) {
    auto pairs = std::make_unique<FCSettingsPairs>();
    if (lines == nullptr) {
        return pairs;
    }
    // At most one pair a line: the room is made once, and the index is built once, at the end.
    pairs->ReserveItems(lines->GetCount());
    pairs->indexing_ = false;
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
        pairs->AddItem(pair.release());
    }
    pairs->indexing_ = true;
    pairs->Rebuild();
    return pairs;
}

FCSettingsPair* FCSettingsPairs::FindPair(const FCString* key) const {
    if (key == nullptr) {
        return nullptr;
    }
    if (slots_.empty()) {
        return nullptr;
    }
    return slots_[Find(*key, HashOf(*key))].first;
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
    auto* pair = new FCSettingsPair(key, value);
    AddItem(pair);  // the collection owns it even when it cannot take it
    return pair;
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
