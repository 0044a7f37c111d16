// Fuzzes the pitch-set loader with arbitrary bytes as the pitch-list file: the sets loaded,
// saved and loaded again. Nothing may crash or trip a sanitizer, every set read has a row, and
// a save loses nothing of what was loaded.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "settings/SettingsFiles.h"
#include "settings/StoredPitchSets.h"
#include "shell/HostVersion.h"
#include "tests/settings/FuzzHost.h"

namespace {

using fuzz_host::Check;

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
    StoredPitchSets::LoadPitchSets(loaded);
    for (int32_t s = 0; s < loaded.pitchSets.GetCount(); ++s) {
        Check(loaded.pitchSets.GetListAt(s)->GetCount() > 0, "every set read has a row");
        for (int32_t i = 0; i < loaded.pitchSets.GetListAt(s)->GetCount(); ++i) {
            const int32_t direction = loaded.pitchSets.GetListAt(s)->GetNodeAt(i)->GetDirection();
            Check(direction >= 0 && direction <= 2, "directions are Up, Down or Closest");
        }
    }
    Check(StoredPitchSets::SavePitchSets(loaded), "the sets can be saved");
    PluginState again;
    StoredPitchSets::LoadPitchSets(again);
    // A 0 byte cuts a text short when it is written, as the file format has it.
    if (size == 0 || std::memchr(data, 0, size) == nullptr) {
        Check(SameSets(again.pitchSets, loaded.pitchSets), "the sets survive a save");
    } else {
        Check(again.pitchSets.GetCount() == loaded.pitchSets.GetCount(),
              "no set is lost by a save");
    }
    return 0;
}
