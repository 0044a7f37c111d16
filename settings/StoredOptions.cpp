// StoredOptions: loading and saving the options of the shared settings file.
#include "settings/StoredOptions.h"

#include "settings/SettingsFiles.h"
#include "settings/StoredRows.h"
#include "settings/StoredText.h"

namespace {

bool IsOne(const FCSettingsPair* pair) {
    const FCString one("1");
    return pair->GetValue().IsEqual(&one);
}

void SetNumber(FCSettingsPairs& pairs, const char* key, int32_t value) {
    FCString text;
    text.SetInteger(value);
    const FCString keyText(key);
    pairs.SetValue(&keyText, &text);
}

}  // namespace

void StoredOptions::LoadOptions(WindowGeometry& geometry, PluginState& state) {
    std::unique_ptr<FCSettingsPairs> pairs =
        SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream);
    if (!pairs) {
        return;
    }
    FCSettingsPair* x = pairs->FindPair(kWindowX);
    FCSettingsPair* y = pairs->FindPair(kWindowY);
    FCSettingsPair* width = pairs->FindPair(kWindowWidth);
    FCSettingsPair* height = pairs->FindPair(kWindowHeight);
    if (x != nullptr && y != nullptr && width != nullptr && height != nullptr) {
        geometry.savedX = x->GetValue().GetInteger();
        geometry.savedY = y->GetValue().GetInteger();
        geometry.savedWidth = width->GetValue().GetInteger();
        geometry.savedHeight = height->GetValue().GetInteger();
        geometry.hasSavedPosition = true;
        geometry.hasSavedSize = true;
    }
    if (const FCSettingsPair* from = pairs->FindPair(kFrom)) {
        state.fromText = StorableCopy(from->GetValue());
    }
    if (const FCSettingsPair* to = pairs->FindPair(kTo)) {
        state.toText = StorableCopy(to->GetValue());
    }
    if (FCSettingsPair* direction = pairs->FindPair(kDirection)) {
        state.direction = StoredRows::DirectionFromFile(direction->GetValue().GetInteger());
    }
    if (const FCSettingsPair* sounding = pairs->FindPair(kSoundingPitch)) {
        state.soundingPitch = IsOne(sounding);
    }
    if (const FCSettingsPair* respace = pairs->FindPair(kRespace)) {
        state.respace = IsOne(respace);
    }
    // The host may terminate and invoke again without unloading the module: the rows still in
    // memory are the ones the file was written from, so they are replaced, not added to.
    state.workingList.ClearAll();
    StoredRows::ReadRows(state.workingList, *pairs, std::nullopt);
}

bool StoredOptions::SaveOptions(const WindowGeometry& geometry, PluginState& state) {
    // The file holds other plug-ins' settings too: one that exists but could not be read is
    // left alone, since writing it would lose every pair it holds.
    SettingsFiles::ReadResult read = SettingsFiles::ReadResult::kRead;
    std::unique_ptr<FCSettingsPairs> pairs =
        SettingsFiles::ReadSettingsFile(&SettingsFiles::NewSharedSettingsStream, &read);
    if (read == SettingsFiles::ReadResult::kUnreadable) {
        return false;
    }
    if (!pairs) {
        pairs = std::make_unique<FCSettingsPairs>();
    }
    SetNumber(*pairs, kWindowX, geometry.hasSavedPosition ? geometry.savedX : -1);
    SetNumber(*pairs, kWindowY, geometry.hasSavedPosition ? geometry.savedY : -1);
    SetNumber(*pairs, kWindowWidth, geometry.hasSavedSize ? geometry.savedWidth : -1);
    SetNumber(*pairs, kWindowHeight, geometry.hasSavedSize ? geometry.savedHeight : -1);
    const FCString fromKey(kFrom);
    const FCString toKey(kTo);
    const FCString from = StorableCopy(state.fromText);
    const FCString to = StorableCopy(state.toText);
    pairs->SetValue(&fromKey, &from);
    pairs->SetValue(&toKey, &to);
    pairs->SetValue(kDirection, StoredRows::DirectionCodeOnFile(state.direction));
    pairs->SetValue(kSoundingPitch, state.soundingPitch ? "1" : "0");
    pairs->SetValue(kRespace, state.respace ? "1" : "0");

    // Every row of the working list saved before goes (in one pass: a file may hold many); the
    // current rows are appended.
    const FCString listPrefix(StoredRows::kListKeyPrefix);
    pairs->RemoveItemsWhere([&listPrefix](const __FCBase* item) {
        return static_cast<const FCSettingsPair*>(item)->GetKey().StartsWithNoCase(&listPrefix);
    });
    StoredRows::AppendRowPairs(state.workingList, *pairs, std::nullopt);
    return pairs->WriteSharedFile();
}
