// StoredPitchSets: loading and saving the pitch-list file.
#include "settings/StoredPitchSets.h"

#include <memory>

#include "settings/SettingsFiles.h"
#include "settings/StoredRows.h"
#include "settings/StoredText.h"

namespace {

FCString NameKey(int32_t setNumber) {
    FCString key(StoredPitchSets::kNameKey);
    key.AppendInteger(setNumber);
    return key;
}

}  // namespace

bool StoredPitchSets::LoadPitchSets(PluginState& state) {
    state.pitchSets.ClearAll();
    SettingsFiles::ReadResult read = SettingsFiles::ReadResult::kRead;
    std::unique_ptr<FCSettingsPairs> pairs =
        SettingsFiles::ReadSettingsFile(&SettingsFiles::NewPitchListStream, &read);
    state.pitchSetsUnreadable = read == SettingsFiles::ReadResult::kUnreadable;
    if (!pairs) {
        return !state.pitchSetsUnreadable;
    }
    for (int32_t set = 1;; ++set) {
        const FCString nameKey = NameKey(set);
        const FCSettingsPair* name = pairs->FindPair(&nameKey);
        if (name == nullptr) {
            return true;
        }
        auto list = std::make_unique<FCPitchChangeList>();
        const FCString storedName = StorableCopy(name->GetValue());
        list->SetName(&storedName);
        StoredRows::ReadRows(*list, *pairs, set);
        if (list->GetCount() == 0) {
            return true;
        }
        state.pitchSets.AddItem(list.release());
    }
}

bool StoredPitchSets::SavePitchSets(PluginState& state) {
    // Sets that were never read would be lost with the file they are in.
    if (state.pitchSetsUnreadable) {
        return false;
    }
    std::unique_ptr<FCTextFileStream> stream = SettingsFiles::NewPitchListStream();
    if (!stream->OpenWrite()) {
        return false;
    }
    bool written = true;
    int32_t set = 0;
    for (int32_t i = 0; i < state.pitchSets.GetCount(); ++i) {
        const FCPitchChangeList* list = state.pitchSets.GetListAt(i);
        if (list == nullptr) {
            continue;
        }
        ++set;
        FCSettingsPairs pairs;
        const FCString nameKey = NameKey(set);
        const FCString name = StorableCopy(list->GetName());
        pairs.AddItem(new FCSettingsPair(&nameKey, &name));
        StoredRows::AppendRowPairs(*list, pairs, set);
        written = stream->WritePairs(&pairs) && written;
    }
    return stream->Close() && written;
}
