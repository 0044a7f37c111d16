// Fuzzes the pitch-set loader with arbitrary bytes as the pitch-list file: the sets loaded,
// saved and loaded again. Nothing may crash or trip a sanitizer, every set read has a row, every
// text read can be stored as it is, and a save loses nothing of what was loaded.
#include <cstddef>
#include <cstdint>
#include "hostapi/HostVersion.h"
#include "settings/SettingsFiles.h"
#include "settings/StoredPitchSets.h"
#include "settings/StoredText.h"
#include "tests/settings/FuzzHost.h"

namespace {

using fuzz_host::Check;

bool Storable(const FCString& text) {
    for (uint32_t i = 0; i < text.GetLength(); ++i) {
        if (!IsStorableUnit(text.GetCharAt(i))) {
            return false;
        }
    }
    return true;
}

bool SameSets(const FCPitchChangeLists& a, const FCPitchChangeLists& b) {
    if (a.GetCount() != b.GetCount()) {
        return false;
    }
    for (int32_t s = 0; s < a.GetCount(); ++s) {
        const FCPitchChangeList* x = a.GetListAt(s);
        const FCPitchChangeList* y = b.GetListAt(s);
        if (!x->GetName().IsEqual(&y->GetName()) || x->GetCount() != y->GetCount()) {
            return false;
        }
        for (int32_t i = 0; i < x->GetCount(); ++i) {
            const FCPitchChangeNode* p = x->GetNodeAt(i);
            const FCPitchChangeNode* q = y->GetNodeAt(i);
            if (!p->GetFromText().IsEqual(&q->GetFromText()) ||
                !p->GetToText().IsEqual(&q->GetToText()) ||
                p->GetDirection() != q->GetDirection() || p->GetInUse() != q->GetInUse()) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HostVersion::Set(size > 0 && (data[0] & 1) ? 0x10000000 : HostVersion::kBuild);
    fuzz_host::WriteFile(SettingsFiles::kPitchListFileName, data, size);

    PluginState loaded;
    Check(StoredPitchSets::LoadPitchSets(loaded), "an existing file is read");
    for (int32_t s = 0; s < loaded.pitchSets.GetCount(); ++s) {
        const FCPitchChangeList* set = loaded.pitchSets.GetListAt(s);
        Check(set->GetCount() > 0, "every set read has a row");
        Check(Storable(set->GetName()), "a name read can be stored as it is");
        for (int32_t i = 0; i < set->GetCount(); ++i) {
            const FCPitchChangeNode* node = set->GetNodeAt(i);
            Check(node->GetDirection() >= 0 && node->GetDirection() <= 2,
                  "directions are Up, Down or Closest");
            Check(Storable(node->GetFromText()) && Storable(node->GetToText()),
                  "a spelling read can be stored as it is");
        }
    }
    Check(StoredPitchSets::SavePitchSets(loaded), "the sets can be saved");
    PluginState again;
    StoredPitchSets::LoadPitchSets(again);
    Check(SameSets(again.pitchSets, loaded.pitchSets), "the sets survive a save");
    return 0;
}
