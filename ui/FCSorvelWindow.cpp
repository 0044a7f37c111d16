// FCSorvelWindow: the main dialog's controls, its start-up state, its commands and what it keeps
// when it closes. Nothing here touches the window system: the control and window classes do, so
// the same commands run in the native build against controls kept in memory.
#include "ui/FCSorvelWindow.h"

#include <memory>
#include <optional>

#include "framework/FCMusicRegion.h"
#include "hostapi/HostFunctions.h"
#include "pitch/FCPitchChangeList.h"
#include "pitch/FCPitchChangerBlockHandler.h"
#include "pitch/FCUndoBlock.h"
#include "pitch/PitchSpelling.h"
#include "rules/RowListText.h"
#include "settings/SettingsFiles.h"
#include "settings/StoredPitchSets.h"
#include "settings/StoredText.h"
#include "state/PluginState.h"
#include "ui/FCCtrlLine.h"
#include "ui/FCCtrlStatic.h"
#include "ui/FCUI.h"

namespace {

// After a change of rows, rows 0 to 1000 are redrawn; a row past them shows its new texts when
// the list view next paints it.
constexpr int32_t kLastRedrawnItem = 1000;

const char* const kSetsNotSavedTitle = "Pitch Sets Not Saved";

// PopupValue answers the Direction popup's value (1-based) for a direction code; a code the
// popup has no entry for shows Closest.
int32_t PopupValue(int32_t direction) {
    if (direction < FCPitchChangeNode::kUp || direction > FCPitchChangeNode::kClosest) {
        return FCPitchChangeNode::kClosest + 1;
    }
    return direction + 1;
}

// InverseOfPopupValue: Up becomes Down and Down becomes Up; Closest (and no choice) stay Closest.
int32_t InverseOfPopupValue(int32_t value) {
    const bool listed = value >= 1 && value <= 2;
    return listed ? FCPitchChangeNode::InverseDirection(value - 1) : FCPitchChangeNode::kClosest;
}

// NodeOfRow makes a replacement from a row's columns, in use as the row is checked.
FCPitchChangeNode* NodeOfRow(const FCMyDataListRow& row) {
    auto* node = new FCPitchChangeNode(row.GetFromText(), row.GetToText(), row.GetDirection());
    node->SetInUse(row.GetChecked());
    return node;
}

// CopyOfSets copies every stored set with its rows: what the popup and the file go back to when
// a change of the sets could not be written.
std::unique_ptr<FCPitchChangeLists> CopyOfSets(const FCPitchChangeLists& sets) {
    auto copy = std::make_unique<FCPitchChangeLists>();
    for (int32_t s = 0; s < sets.GetCount(); ++s) {
        const FCPitchChangeList* set = sets.GetListAt(s);
        auto* list = new FCPitchChangeList;
        copy->AddItem(list);
        list->SetName(&set->GetName());
        for (int32_t i = 0; i < set->GetCount(); ++i) {
            const FCPitchChangeNode* node = set->GetNodeAt(i);
            auto* twin = new FCPitchChangeNode(&node->GetFromText(), &node->GetToText(),
                                               node->GetDirection());
            twin->SetInUse(node->GetInUse());
            list->AddItem(twin);
        }
    }
    return copy;
}

}  // namespace

FCSorvelWindow::FCSorvelWindow() : FCResourceWindow(kTemplate) {}

// An alert is modal to the host window, so the dialog follows the host window into the disabled
// state while it is shown; once the alert is answered the dialog takes the host window's state
// again at once rather than at its next activation (the focus can then return to it).
void FCSorvelWindow::ShowError(const char* message, const char* title) {
    const FCString text(message);
    ShowError(text, title);
}

void FCSorvelWindow::ShowError(const FCString& message, const char* title) {
    if (ui_ != nullptr) {
        const FCString caption(title);
        ui_->AlertError(&message, &caption);
    }
    SyncEnabledWithHost();
}

int FCSorvelWindow::AskYesNo(const FCString* message, const FCString* title) {
    const int answer = ui_ != nullptr ? ui_->AlertYesNo(message, title) : FCUI::kOther;
    SyncEnabledWithHost();
    return answer;
}

void FCSorvelWindow::Enable(int16_t item, bool enable) {
    FCControl* control = FindControl(item);
    if (control != nullptr) {
        control->SetEnable(enable);
    }
}

void FCSorvelWindow::CreateControls() {
    AddControl(new FCCtrlButton(kChange))->SetRole(FCControl::kRoleOk);
    AddControl(new FCCtrlButton(kClose))->SetRole(FCControl::kRoleCancel);
    AddControl(new FCCtrlStatic(kFromLabel));
    from_ = static_cast<FCCtrlEdit*>(AddControl(new FCCtrlEdit(kFromField)));
    AddControl(new FCCtrlStatic(kToLabel));
    to_ = static_cast<FCCtrlEdit*>(AddControl(new FCCtrlEdit(kToField)));
    AddControl(new FCCtrlStatic(kDirectionLabel));
    direction_ = static_cast<FCCtrlPopup*>(AddControl(new FCCtrlPopup(kDirectionPopup)));
    AddControl(new FCCtrlButton(kChangeChecked));
    AddControl(new FCCtrlButton(kAddRow));
    AddControl(new FCCtrlButton(kAddInverseRow));
    AddControl(new FCCtrlButton(kDeleteRow));
    AddControl(new FCCtrlButton(kUpdateRow));
    sounding_ = static_cast<FCCtrlCheckbox*>(AddControl(new FCCtrlCheckbox(kSoundingPitch)));
    respace_ = static_cast<FCCtrlCheckbox*>(AddControl(new FCCtrlCheckbox(kRespace)));
    list_ = static_cast<FCMyDataList*>(AddControl(new FCMyDataList(kPitchList)));
    AddControl(new FCCtrlLine(kSetsSeparator));
    AddControl(new FCCtrlStatic(kSetsLabel));
    sets_ = static_cast<FCCtrlPopup*>(AddControl(new FCCtrlPopup(kSetsPopup)));
    AddControl(new FCCtrlButton(kUseSet));
    AddControl(new FCCtrlButton(kDeleteSet));
    setName_ = static_cast<FCCtrlEdit*>(AddControl(new FCCtrlEdit(kSetName)));
    AddControl(new FCCtrlButton(kSaveSet));
}

void FCSorvelWindow::InitWindow() {
    discardContents_ = false;
    FCUserWindow::InitWindow();
    // The dialog keeps its width and may grow in height up to 80 % of the screen.
    const int32_t tallest = GetScreenHeight() * 8 / 10;
    if (tallest > GetMaxTrackHeight()) {
        SetMaxTrackHeight(tallest);
    }
    SetMaxTrackWidth(GetWindowWidth());
    RestoreGeometry();

    if (direction_ == nullptr) {
        return;  // no controls: nothing to show
    }
    direction_->ResetContent();
    for (const char* word : {"Up", "Down", "Closest"}) {
        FCString text(word);
        direction_->AddString(&text);
    }

    // The rows of an earlier opening went with its list view.
    list_->ReleaseRows();
    list_->AddExtendedStyle(FCCtrlDataList::kCheckBoxesStyle);
    list_->AddExtendedStyle(FCCtrlDataList::kFullRowSelectStyle);
    FCString column("From");
    list_->InsertColumn(&column, 60);
    column.SetCString("To");
    list_->InsertColumn(&column, 50);
    column.SetCString("Direction");
    list_->InsertColumn(&column, 75);
    if (list_->GetItemCount() > 0) {
        list_->SelectRow(0);
    }

    respace_->SetCheck(1);
    const FCString placeholder("Pitch List Name");
    setName_->SetText(&placeholder);

    ShowStoredSetNames(1);

    LoadDialogState();
    UpdateControlStates();
}

void FCSorvelWindow::ShowStoredSetNames(int32_t choice) {
    sets_->ResetContent();
    const FCPitchChangeLists& stored = PluginState::Instance().pitchSets;
    for (int32_t i = 0; i < stored.GetCount(); ++i) {
        FCString name(stored.GetListAt(i)->GetName());
        sets_->AddString(&name);
    }
    if (choice >= 1 && choice <= sets_->GetCount()) {
        sets_->SetValue(choice);
    }
}

void FCSorvelWindow::LoadDialogState() {
    if (list_ == nullptr) {
        return;
    }
    PluginState& state = PluginState::Instance();
    from_->SetText(&state.fromText);
    to_->SetText(&state.toText);
    direction_->SetValue(PopupValue(state.direction));
    sounding_->SetCheck(state.soundingPitch ? 1 : 0);
    respace_->SetCheck(state.respace ? 1 : 0);

    list_->DeleteAllRows();
    for (int32_t i = 0; i < state.workingList.GetCount(); ++i) {
        const FCPitchChangeNode* node = state.workingList.GetNodeAt(i);
        FCMyDataListRow* row =
            AddListRow(&node->GetFromText(), &node->GetToText(), node->GetDirection(), true);
        row->SetChecked(node->GetInUse());
        if (row->GetListIndex() >= 0) {
            list_->SetCheckImage(row->GetListIndex(), node->GetInUse());
        }
    }
}

void FCSorvelWindow::UpdateControlStates() {
    if (list_ == nullptr) {
        return;
    }
    Enable(kChangeChecked, list_->AnyChecked());
    const bool selected = list_->GetSelectedItem() != -1;
    Enable(kDeleteRow, selected);
    Enable(kUpdateRow, selected);

    const int32_t sets = sets_->GetCount();
    Enable(kSetsLabel, sets > 0);
    Enable(kSetsPopup, sets > 0);
    const bool chosen = sets > 0 && sets_->GetValue() != 0;
    Enable(kUseSet, chosen);
    Enable(kDeleteSet, chosen);

    const int32_t rows = list_->GetItemCount();
    Enable(kSetName, rows > 0);
    FCString name;
    setName_->GetText(&name);
    name.TrimWhitespace();
    Enable(kSaveSet, rows > 0 && name.GetLength() > 0);
}

void FCSorvelWindow::ShowSelectedRow(int32_t index) {
    if (index == -1 || list_ == nullptr) {
        return;
    }
    const FCMyDataListRow* row = list_->GetPitchRowOfItem(index);
    if (row == nullptr) {
        return;
    }
    from_->SetText(row->GetFromText());
    to_->SetText(row->GetToText());
    direction_->SetValue(PopupValue(row->GetDirection()));
}

FCMyDataListRow* FCSorvelWindow::AddListRow(const FCString* from, const FCString* to,
                                            int32_t direction, bool checked) {
    auto* row = new FCMyDataListRow(from, to, direction, checked);
    list_->AddRow(row);
    Enable(kChangeChecked, list_->AnyChecked());
    return row;
}

bool FCSorvelWindow::ValidatePitchFields(FCString* fromText, int16_t fromField, FCString* toText,
                                         int16_t toField) {
    const std::optional<rules::SpellingField> fault = ValidateSpellingPair(fromText, toText);
    if (!fault) {
        return true;
    }
    // The message names the field the faulty text was read from (the inverse add reads the
    // pair the other way round).
    const int16_t field = *fault == rules::SpellingField::kFrom ? fromField : toField;
    ShowError(rules::SpellingErrorMessage(field == kToField ? rules::SpellingField::kTo
                                                            : rules::SpellingField::kFrom),
              rules::kSpellingErrorTitle);
    fx::SetDlgFocus(GetDialogHandle(), field);
    return false;
}

bool FCSorvelWindow::ReadFieldPair(FCString* from, FCString* to, int32_t* direction) {
    *direction = direction_->GetValue() - 1;
    from_->GetText(from);
    to_->GetText(to);
    if (!ValidatePitchFields(from, kFromField, to, kToField)) {
        return false;
    }
    ExpandDoubleSharp(from);
    ExpandDoubleSharp(to);
    return true;
}

void FCSorvelWindow::RunChange(const FCPitchChangeNodes& nodes) {
    FCPitchChangerBlockHandler handler(&nodes, respace_->GetCheck() != 0,
                                       sounding_->GetCheck() != 0, ui_);
    FCUndoBlock block;
    const FCString title("Sorvel");
    const bool done = block.Execute(&handler, &title);
    // The run may have shown an alert, which disabled the dialog with the host window.
    SyncEnabledWithHost();
    if (done) {
        FCMusicRegion region;
        FCMusicRegion second;
        int32_t out = 0;
        // The host's second record is the one it redraws from; the first is the selection.
        fx::GetCurERegions(&out, region.GetRecord(), second.GetRecord());
        fx::RedrawMusic(second.GetRecord());
        return;
    }
    Beep();
}

void FCSorvelWindow::OkButtonPressed() {
    if (list_ == nullptr) {
        return;
    }
    FCString from;
    FCString to;
    int32_t direction = 0;
    if (!ReadFieldPair(&from, &to, &direction)) {
        return;
    }
    FCPitchChangeNodes nodes;
    nodes.AddItem(new FCPitchChangeNode(&from, &to, direction));
    RunChange(nodes);
}

void FCSorvelWindow::AddPitch() {
    FCString from;
    FCString to;
    int32_t direction = 0;
    if (!ReadFieldPair(&from, &to, &direction)) {
        return;
    }
    if (list_->FindRowByFrom(&from) != nullptr) {
        ShowError(rules::row_list_text::kFromExists, rules::row_list_text::kIdenticalTitle);
        return;
    }
    AddListRow(&from, &to, direction, true);
    list_->SelectRow(list_->GetItemCount() - 1);
}

void FCSorvelWindow::AddInversePitch() {
    const int32_t value = direction_->GetValue();
    // The new row runs the other way: the To field's text is its from text.
    FCString from;
    FCString to;
    to_->GetText(&from);
    from_->GetText(&to);
    // NOLINTNEXTLINE(readability-suspicious-call-argument): the pair runs the other way
    if (!ValidatePitchFields(&from, kToField, &to, kFromField)) {
        return;
    }
    ExpandDoubleSharp(&from);
    ExpandDoubleSharp(&to);
    if (list_->FindRowByFrom(&from) != nullptr) {
        ShowError(rules::row_list_text::kInverseFromExists, rules::row_list_text::kIdenticalTitle);
        return;
    }
    AddListRow(&from, &to, InverseOfPopupValue(value), true);
}

void FCSorvelWindow::DeleteSelectedPitch() {
    const int32_t selected = list_->GetSelectedItem();
    if (selected == -1) {
        return;
    }
    list_->DeleteRow(selected);
    list_->ReindexRows();
    // The list view keeps its mark on the row that moved up, which the fields do not show: no
    // row is left selected, so that "&Update" cannot write the fields over it.
    list_->ClearSelection();
    list_->RedrawItems(0, kLastRedrawnItem);
    Enable(kDeleteRow, false);
    Enable(kUpdateRow, false);
    Enable(kChangeChecked, list_->AnyChecked());
}

void FCSorvelWindow::UpdateSelectedPitch() {
    const int32_t selected = list_->GetSelectedItem();
    if (selected == -1) {
        return;
    }
    FCMyDataListRow* row = list_->GetPitchRowOfItem(selected);
    FCString from;
    FCString to;
    int32_t direction = 0;
    if (row == nullptr || !ReadFieldPair(&from, &to, &direction)) {
        return;
    }
    // Every other row counts: a file may hold two rows with one from text.
    if (list_->FindRowByFrom(&from, row) != nullptr) {
        ShowError(rules::row_list_text::kFromExistsElsewhere,
                  rules::row_list_text::kIdenticalElsewhereTitle);
        return;
    }
    row->SetFromText(&from);
    row->SetToText(&to);
    row->SetDirection(direction);
    list_->RedrawItems(0, kLastRedrawnItem);
}

void FCSorvelWindow::ChangeChecked() {
    FCPitchChangeNodes nodes;
    const int32_t count = list_->GetItemCount();
    for (int32_t i = 0; i < count; ++i) {
        const FCMyDataListRow* row = list_->GetPitchRowOfItem(i);
        // A row read from a file with a text that is no spelling is never applied.
        if (row != nullptr && row->GetChecked() && row->HasValidSpellings()) {
            nodes.AddItem(NodeOfRow(*row));
        }
    }
    RunChange(nodes);
}

int32_t FCSorvelWindow::ChosenPitchSet() {
    const int32_t value = sets_->GetValue();
    const int32_t index = value - 1;
    if (value == 0 || index >= PluginState::Instance().pitchSets.GetCount() || index < 0) {
        return -1;
    }
    return index;
}

void FCSorvelWindow::ShowPitchSetName() {
    const int32_t index = ChosenPitchSet();
    if (index >= 0) {
        setName_->SetText(&PluginState::Instance().pitchSets.GetListAt(index)->GetName());
    }
    UpdateControlStates();
}

void FCSorvelWindow::UsePitchSet() {
    const int32_t index = ChosenPitchSet();
    if (index < 0) {
        return;
    }
    const FCPitchChangeList* set = PluginState::Instance().pitchSets.GetListAt(index);
    list_->DeleteAllRows();
    for (int32_t i = 0; i < set->GetCount(); ++i) {
        const FCPitchChangeNode* node = set->GetNodeAt(i);
        AddListRow(&node->GetFromText(), &node->GetToText(), node->GetDirection(),
                   node->GetInUse());
    }
    if (list_->GetItemCount() > 0) {
        list_->EnsureVisible(0);
    }
    UpdateControlStates();
}

void FCSorvelWindow::DeletePitchSet() {
    const int32_t index = ChosenPitchSet();
    if (index < 0) {
        return;
    }
    FCPitchChangeLists& stored = PluginState::Instance().pitchSets;
    const FCPitchChangeList* set = stored.GetListAt(index);
    const FCString name(set->GetName());
    FCString message("Do you want to delete '");
    message.AppendString(&name);
    message.AppendCString("'?");
    const FCString title("Delete Pitch List?");
    if (AskYesNo(&message, &title) != FCUI::kYes) {
        return;
    }
    const std::unique_ptr<FCPitchChangeLists> before = CopyOfSets(stored);
    const int32_t choice = sets_->GetValue();
    try {
        sets_->DeleteString(index);
        stored.RemoveList(set);
        UpdateControlStates();
    } catch (...) {
        RestoreSets(*before, choice);
        throw;
    }
    WritePitchSets(*before, choice, name, kDeleted);
}

void FCSorvelWindow::SaveCurrentPitchSet() {
    FCString name;
    setName_->GetText(&name);
    name.TrimWhitespace();
    if (name.GetLength() == 0) {
        return;
    }
    // The name is taken as the file will keep it, so the popup shows what comes back.
    MakeStorable(name);
    PluginState& state = PluginState::Instance();
    if (state.pitchSetsUnreadable) {
        // The file could not be read when the dialog was made, so its sets are not here and
        // writing it would lose them. It may be readable now (a lock let go): its sets come
        // first, then the new one; otherwise nothing is written.
        StoredPitchSets::LoadPitchSets(state);
        ShowStoredSetNames(1);
        if (state.pitchSetsUnreadable) {
            ReportUnwrittenSets(name, kSaved);
            return;
        }
    }
    FCPitchChangeLists& stored = state.pitchSets;
    const std::unique_ptr<FCPitchChangeLists> before = CopyOfSets(stored);
    const int32_t choice = sets_->GetValue();
    FCPitchChangeList* target = stored.FindByName(&name);
    std::unique_ptr<FCPitchChangeList> created;
    if (target != nullptr) {
        FCString message("There is already a set named '");
        message.AppendString(&name);
        message.AppendCString("'.\n\nShould this set be overwritten?");
        const FCString title("Overwrite?");
        if (AskYesNo(&message, &title) != FCUI::kYes) {
            return;
        }
    } else {
        created = std::make_unique<FCPitchChangeList>();
        created->SetName(&name);
        target = created.get();
    }

    // The rows are copied first and take the set's old ones' place in one step, which a
    // failure later on undoes.
    FCPitchChangeNodes rows;
    const int32_t count = list_->GetItemCount();
    for (int32_t i = 0; i < count; ++i) {
        const FCMyDataListRow* row = list_->GetPitchRowOfItem(i);
        if (row != nullptr) {
            rows.AddItem(NodeOfRow(*row));
        }
    }
    target->SwapItems(rows);

    if (created) {
        const FCPitchChangeList* twin = stored.FindIdentical(created.get());
        if (twin != nullptr) {
            FCString message("A list with identical pitches already exists as '");
            message.AppendString(&twin->GetName());
            message.AppendCString("'. Do you want to save this list anyway?");
            const FCString title("Pitch List Exists");
            if (AskYesNo(&message, &title) == FCUI::kNo) {
                return;
            }
        }
    }
    // Until the file is written, a failure (a write refused, or no memory left) puts back what
    // the file holds: the sets with their rows, and the popup with its choice.
    try {
        if (created) {
            stored.AddItem(created.release());
            sets_->AddString(&name);
            sets_->SetValue(sets_->GetCount());
        }
    } catch (...) {
        RestoreSets(*before, choice);
        throw;
    }
    WritePitchSets(*before, choice, name, kSaved);
}

bool FCSorvelWindow::WritePitchSets(FCPitchChangeLists& before, int32_t choice,
                                    const FCString& setName, SetChange change) {
    bool written = false;
    try {
        written = StoredPitchSets::SavePitchSets();
    } catch (...) {
        RestoreSets(before, choice);
        throw;
    }
    if (written) {
        return true;
    }
    RestoreSets(before, choice);
    ReportUnwrittenSets(setName, change);
    return false;
}

void FCSorvelWindow::RestoreSets(FCPitchChangeLists& before, int32_t choice) {
    // The sets and the popup go back to what the file still holds; the rows stay as they are.
    FCPitchChangeLists& stored = PluginState::Instance().pitchSets;
    stored.ClearAll();
    while (before.GetCount() > 0) {
        stored.AddItem(before.DetachItemAt(0));
    }
    ShowStoredSetNames(choice);
    UpdateControlStates();
}

void FCSorvelWindow::ReportUnwrittenSets(const FCString& setName, SetChange change) {
    const std::unique_ptr<FCTextFileStream> file = SettingsFiles::NewPitchListStream();
    FCString message("The pitch set '");
    message.AppendString(&setName);
    message.AppendCString(change == kDeleted ? "' was not deleted: " : "' was not saved: ");
    if (!file->HasFolder()) {
        message.AppendCString("the host names no folder for the plug-in's settings.");
    } else {
        const FCString path = file->GetFullPath();
        message.AppendCString("the file '");
        message.AppendString(&path);
        message.AppendCString(
            PluginState::Instance().pitchSetsUnreadable
                ? "' exists but could not be read, so it is not replaced (the sets it holds "
                  "would be lost)."
                : "' could not be written (it may be read-only, its folder may not be writable, "
                  "or the disk may be full).");
    }
    message.AppendCString(change == kDeleted
                              ? " The saved pitch sets are as they were."
                              : " The saved pitch sets are as they were; the rows in the list "
                                "are kept.");
    ShowError(message, kSetsNotSavedTitle);
}

bool FCSorvelWindow::HandleCommand(FCControl* control) {
    if (control == nullptr || list_ == nullptr) {
        return false;
    }
    switch (control->GetItemNumber()) {
        case kAddRow:
            AddPitch();
            UpdateControlStates();
            break;
        case kAddInverseRow:
            AddInversePitch();
            UpdateControlStates();
            break;
        case kDeleteRow:
            DeleteSelectedPitch();
            UpdateControlStates();
            break;
        case kUpdateRow:
            UpdateSelectedPitch();
            break;
        case kChangeChecked:
            ChangeChecked();
            break;
        case kSetsPopup:
            ShowPitchSetName();
            break;
        case kUseSet:
            UsePitchSet();
            UpdateControlStates();
            break;
        case kDeleteSet:
            DeletePitchSet();
            UpdateControlStates();
            break;
        case kSaveSet:
            SaveCurrentPitchSet();
            UpdateControlStates();
            break;
        case kSetName:
            UpdateControlStates();
            break;
        default:
            break;
    }
    return false;
}

void FCSorvelWindow::HandleResize(int32_t /*newWidth*/, int32_t newHeight, int32_t /*oldWidth*/,
                                  int32_t oldHeight) {
    if (list_ == nullptr) {
        return;
    }
    const int32_t d = newHeight - oldHeight;
    BeginDeferredPlacement();
    list_->ResizeRelative(0, d);
    for (int16_t item :
         {kSetsSeparator, kSetsLabel, kSetsPopup, kUseSet, kDeleteSet, kSetName, kSaveSet}) {
        FCControl* control = FindControl(item);
        if (control != nullptr) {
            control->MoveRelative(d);
        }
    }
    EndDeferredPlacement();
}

void FCSorvelWindow::MessageFailed(uint32_t message) {
    if (ui_ != nullptr) {
        ui_->AlertOutOfMemory();
    }
    if (message == kCreationMessage && GetDialogHandle() != nullptr) {
        // Half the rows or fields may be missing: closing keeps none of it, so the rows and
        // options in memory (and later on file) stay whole. The close comes once the dialog
        // is made.
        discardContents_ = true;
        PostClose();
    }
    SyncEnabledWithHost();
}

void FCSorvelWindow::CloseWindow() {
    if (discardContents_) {
        discardContents_ = false;
        if (GetDialogHandle() != nullptr) {
            fx::EndDialog(GetDialogHandle());  // also while still hidden
            ForgetDialog();
        }
        SetClosed(true);
        return;
    }
    // Without a dialog there is nothing on screen to keep.
    if (GetDialogHandle() != nullptr && list_ != nullptr) {
        // Everything is read before anything is kept: should reading fail, the plug-in state
        // stays as it was.
        FCString from;
        FCString to;
        from_->GetText(&from);
        to_->GetText(&to);
        const int32_t value = direction_->GetValue();
        const bool sounding = sounding_->GetCheck() != 0;
        const bool respace = respace_->GetCheck() != 0;
        FCPitchChangeNodes rows;
        const int32_t count = list_->GetItemCount();
        for (int32_t i = 0; i < count; ++i) {
            const FCMyDataListRow* row = list_->GetPitchRowOfItem(i);
            if (row != nullptr) {
                rows.AddItem(NodeOfRow(*row));
            }
        }
        SaveGeometry();
        PluginState& state = PluginState::Instance();
        state.fromText.Swap(from);
        state.toText.Swap(to);
        state.direction = value >= 1 && value <= 3 ? value - 1 : FCPitchChangeNode::kClosest;
        state.soundingPitch = sounding;
        state.respace = respace;
        state.workingList.SwapItems(rows);
    }
    FCUserWindow::CloseWindow();
}
