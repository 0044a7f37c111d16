// FCSorvelWindow: the plug-in's dialog. The user keeps a working list of pitch replacements in
// it, applies the pair typed at the top ("Change") or every checked row ("Change Checked") to
// the selected region, and saves and reloads lists as named pitch sets. What it shows survives
// in the plug-in state when it closes.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/FCString.h"
#include "pitch/FCPitchChangeLists.h"
#include "pitch/FCPitchChangeNodes.h"
#include "ui/FCCtrlButton.h"
#include "ui/FCCtrlCheckbox.h"
#include "ui/FCCtrlEdit.h"
#include "ui/FCCtrlPopup.h"
#include "ui/FCMyDataList.h"
#include "ui/FCResourceWindow.h"

class FCUI;
struct PluginState;

class FCSorvelWindow : public FCResourceWindow {
  public:
    // The dialog template and its items.
    static constexpr int32_t kTemplate = 20128;
    static constexpr int16_t kChange = 1;
    static constexpr int16_t kClose = 2;
    static constexpr int16_t kFromLabel = 101;
    static constexpr int16_t kFromField = 102;
    static constexpr int16_t kToLabel = 103;
    static constexpr int16_t kToField = 104;
    static constexpr int16_t kDirectionLabel = 105;
    static constexpr int16_t kDirectionPopup = 106;
    static constexpr int16_t kChangeChecked = 107;
    static constexpr int16_t kPitchList = 108;
    static constexpr int16_t kAddRow = 109;
    static constexpr int16_t kAddInverseRow = 110;
    static constexpr int16_t kUpdateRow = 111;
    static constexpr int16_t kDeleteRow = 112;
    static constexpr int16_t kSoundingPitch = 113;
    static constexpr int16_t kRespace = 114;
    static constexpr int16_t kSetsSeparator = 115;
    static constexpr int16_t kSetsLabel = 116;
    static constexpr int16_t kSetsPopup = 117;
    static constexpr int16_t kSetName = 118;
    static constexpr int16_t kSaveSet = 119;
    static constexpr int16_t kUseSet = 120;
    static constexpr int16_t kDeleteSet = 121;

    FCSorvelWindow();

    void CloseWindow() override;
    void InitWindow() override;
    void OkButtonPressed() override;
    bool HandleCommand(FCControl* control) override;
    // MessageFailed tells the user; a dialog that failed while it was being filled is closed
    // again without keeping what it shows.
    void MessageFailed(uint32_t message) override;
    void HandleResize(int32_t newWidth, int32_t newHeight, int32_t oldWidth,
                      int32_t oldHeight) override;

    // The alert object every message of the dialog goes through; not owned.
    void SetUI(FCUI* ui) { ui_ = ui; }

    void CreateControls();
    // LoadDialogState shows the plug-in state: fields, direction, options and working list.
    void LoadDialogState();
    // UpdateControlStates enables exactly the controls that have something to act on.
    void UpdateControlStates();
    // ShowSelectedRow copies row index into the fields (nothing for -1).
    void ShowSelectedRow(int32_t index);
    FCMyDataListRow* AddListRow(const FCString* from, const FCString* to, int32_t direction,
                                bool checked);
    // ValidatePitchFields checks both spellings (normalising them in place); on a fault it names
    // the field the faulty text was read from, puts the focus there and answers false.
    bool ValidatePitchFields(FCString* fromText, int16_t fromField, FCString* toText,
                             int16_t toField);

    // The commands.
    void AddPitch();
    void AddInversePitch();
    void DeleteSelectedPitch();
    void UpdateSelectedPitch();
    void ChangeChecked();
    void ShowPitchSetName();
    void UsePitchSet();
    void DeletePitchSet();
    void SaveCurrentPitchSet();

    FCMyDataList* GetPitchList() const { return list_; }

  private:
    // ReadFieldPair reads, checks and normalises the From and To texts and the direction.
    bool ReadFieldPair(FCString* from, FCString* to, int32_t* direction);
    // RunChange applies nodes to the selected region as one undoable edit; redraws on success,
    // beeps on failure.
    void RunChange(const FCPitchChangeNodes& nodes);
    // ChosenPitchSet answers the index of the set chosen in the popup, or -1.
    int32_t ChosenPitchSet();
    // ShowStoredSetNames fills the saved sets popup with the stored sets' names and chooses
    // entry choice (1-based) when there is one.
    void ShowStoredSetNames(int32_t choice);

    enum SetChange { kSaved, kDeleted };
    // WritePitchSets writes the stored sets to the pitch-list file. When that fails, the sets
    // become before again and the popup shows them with its choice as it was, so that it shows
    // what the file holds, and the user is told; false then.
    bool WritePitchSets(FCPitchChangeLists& before, int32_t choice, const FCString& setName,
                        SetChange change);
    // RestoreSets moves the sets of before back into the stored sets and shows them in the popup
    // with its choice (1-based) as it was.
    void RestoreSets(FCPitchChangeLists& before, int32_t choice);
    // ReportUnwrittenSets tells the user that the change of setName did not reach the file,
    // naming the file and why.
    void ReportUnwrittenSets(const FCString& setName, SetChange change);
    void Enable(int16_t item, bool enable);
    // ShowError and AskYesNo show an alert through the alert object and then let the dialog
    // follow the host window's state again.
    void ShowError(const char* message, const char* title);
    void ShowError(const FCString& message, const char* title);
    int AskYesNo(const FCString* message, const FCString* title);

    FCUI* ui_ = nullptr;
    // Set when the dialog could not be filled: closing it then keeps nothing of it.
    bool discardContents_ = false;
    FCCtrlEdit* from_ = nullptr;
    FCCtrlEdit* to_ = nullptr;
    FCCtrlPopup* direction_ = nullptr;
    FCCtrlCheckbox* sounding_ = nullptr;
    FCCtrlCheckbox* respace_ = nullptr;
    FCMyDataList* list_ = nullptr;
    FCCtrlPopup* sets_ = nullptr;
    FCCtrlEdit* setName_ = nullptr;
};
