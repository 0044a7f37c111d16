// Fuzzes the settings reader with arbitrary bytes as the shared settings file: the lines and
// pairs read, then the options loaded from them, saved and loaded again. Nothing may crash or
// trip a sanitizer, pairs come out trimmed, a save loses none of the loaded options, and every
// other plug-in's pair comes back from a save unit for unit.
#include <cstddef>
#include <cstdint>

#include "hostapi/HostVersion.h"
#include "settings/SettingsFiles.h"
#include "settings/StoredOptions.h"
#include "tests/settings/FuzzHost.h"

namespace {

using fuzz_host::Check;

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n';
}

bool Trimmed(const FCString& s) {
    const uint32_t n = s.GetLength();
    return n == 0 || (!IsBlank(s.GetCharAt(0)) && !IsBlank(s.GetCharAt(n - 1)));
}

bool IsOurs(const FCString& key) {
    FCString head(key);
    const FCString prefix("vesksorvel_");
    head.TruncateAt(prefix.GetLength());
    head.ToLowerCase();
    return head.IsEqual(&prefix);
}

// SameOthers: the pairs that are not this plug-in's, in order, with equal keys and values.
bool SameOthers(const FCSettingsPairs& a, const FCSettingsPairs& b) {
    int32_t j = 0;
    for (int32_t i = 0; i < a.GetCount(); ++i) {
        const FCSettingsPair* p = a.GetPairAt(i);
        if (IsOurs(p->GetKey())) {
            continue;
        }
        while (j < b.GetCount() && IsOurs(b.GetPairAt(j)->GetKey())) {
            ++j;
        }
        if (j == b.GetCount() || !p->GetKey().IsEqual(&b.GetPairAt(j)->GetKey()) ||
            !p->GetValue().IsEqual(&b.GetPairAt(j)->GetValue())) {
            return false;
        }
        ++j;
    }
    while (j < b.GetCount() && IsOurs(b.GetPairAt(j)->GetKey())) {
        ++j;
    }
    return j == b.GetCount();
}

bool SameRows(const FCPitchChangeNodes& a, const FCPitchChangeNodes& b) {
    if (a.GetCount() != b.GetCount()) {
        return false;
    }
    for (int32_t i = 0; i < a.GetCount(); ++i) {
        const FCPitchChangeNode* x = a.GetNodeAt(i);
        const FCPitchChangeNode* y = b.GetNodeAt(i);
        if (!x->GetFromText().IsEqual(&y->GetFromText()) ||
            !x->GetToText().IsEqual(&y->GetToText()) || x->GetDirection() != y->GetDirection() ||
            x->GetInUse() != y->GetInUse()) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the host generation: 8-bit or UTF-16 folder, kind 7 or 15.
    HostVersion::Set(size > 0 && (data[0] & 1) ? 0x0F000000 : HostVersion::kBuild);
    fuzz_host::WriteFile(SettingsFiles::kSharedFileName, data, size);

    std::unique_ptr<FCSettingsPairs> pairs =
        SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    Check(pairs != nullptr, "an existing file gives pairs");
    size_t lineEnds = 0;
    for (size_t i = 0; i < size; ++i) {
        lineEnds += (data[i] == '\n' || data[i] == '\r') ? 1 : 0;
    }
    Check(static_cast<size_t>(pairs->GetCount()) <= lineEnds + 1, "at most one pair a line");
    for (int32_t i = 0; i < pairs->GetCount(); ++i) {
        Check(Trimmed(pairs->GetPairAt(i)->GetKey()), "keys are trimmed");
        Check(Trimmed(pairs->GetPairAt(i)->GetValue()), "values are trimmed");
    }
    // The index finds for each key the first pair that has it, as a look at every pair does.
    for (int32_t i = 0; i < pairs->GetCount() && i < 2000; ++i) {
        const FCString& key = pairs->GetPairAt(i)->GetKey();
        int32_t first = 0;
        while (pairs->GetPairAt(first)->GetKey().CompareNoCase(&key) != 0) {
            ++first;
        }
        Check(pairs->FindPair(&key) == pairs->GetPairAt(first),
              "the first pair with a key is found");
    }

    PluginState loaded;
    loaded.SetDefaults();
    WindowGeometry geometry;
    StoredOptions::LoadOptions(geometry, loaded);
    Check(StoredOptions::SaveOptions(geometry, loaded), "the options can be saved");
    PluginState again;
    again.SetDefaults();
    WindowGeometry geometryAgain;
    StoredOptions::LoadOptions(geometryAgain, again);

    Check(again.fromText.IsEqual(&loaded.fromText), "From survives a save");
    Check(again.toText.IsEqual(&loaded.toText), "To survives a save");
    Check(again.direction == loaded.direction, "the direction survives a save");
    Check(again.soundingPitch == loaded.soundingPitch, "Sounding Pitch survives a save");
    Check(again.respace == loaded.respace, "Respace survives a save");
    Check(SameRows(again.workingList, loaded.workingList), "the rows survive a save");
    std::unique_ptr<FCSettingsPairs> saved =
        SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    Check(saved != nullptr && SameOthers(*pairs, *saved),
          "other plug-ins' pairs survive a save unit for unit");
    Check(geometryAgain.hasSavedPosition && geometryAgain.hasSavedSize,
          "a saved file holds all four window keys");
    if (geometry.hasSavedPosition) {
        Check(geometryAgain.savedX == geometry.savedX && geometryAgain.savedY == geometry.savedY &&
                  geometryAgain.savedWidth == geometry.savedWidth &&
                  geometryAgain.savedHeight == geometry.savedHeight,
              "the geometry survives a save");
    }
    return 0;
}
