// The host function layer: the one place through which the plug-in reaches the host. Each
// function is looked up by name in the running host on first use and the answer (found or
// not) is kept for the life of the process; a function the host lacks is never called and
// answers 0. Every call passes a trailing version: the build version, or for the five
// data-record functions the record's own format version. Results the host gives as 16-bit
// values are answered sign-extended (GetMaxLayers: zero-extended).
//
// Integer arguments cross the boundary as 32-bit values and handles as pointers; see
// hostapi/CallingConvention.h for the calling convention.
#pragma once

#include <cstdint>

#include "hostapi/CallingConvention.h"

namespace fx {

using Handle = void*;
// DialogProc is the dialog callback the host calls for each message of a plug-in dialog.
using DialogProc = intptr_t(VS_CALL*)(Handle dialog, uint32_t message, uintptr_t wParam,
                                      intptr_t lParam, void* userData);

// Data records.
int32_t LoadEData(uint32_t tag, void* key, void* buffer, uint32_t* size, uint32_t version);
int32_t SaveEData(uint32_t tag, void* key, void* buffer, uint32_t size, uint32_t version);
int32_t CreateEData(uint32_t tag, void* key, void* buffer, uint32_t size, uint32_t version);
int32_t DeleteEData(uint32_t tag, void* key, uint32_t version);
int32_t NextEData(uint32_t tag, void* key, uint32_t version);

// Frames of note entries.
Handle LoadTGF(int32_t slot, int32_t measure, int32_t layerIndex, uint8_t loadOption);
// SaveTGF prepares the frame (note numbers, flag bits, rests) and writes it back.
int32_t SaveTGF(Handle frame);
void FreeTGF(Handle frame);

// Layers, slots and staves.
int32_t GetMaxLayers();  // 4 when the host lacks the function
int32_t GetShowLayer(int32_t layerIndex);
int32_t InstToSlot(int32_t staff);
int32_t SlotToInst(int32_t slot, uint16_t qualifier);
int32_t NoteToMidi(void* noteRecord, int32_t keyValue);

// Selection, document, commands.
int32_t GetCurERegions(int32_t* out, void* region1, void* region2);
void SetCurERegion(void* region);
void RedrawMusic(void* region);
int32_t GetCurrentEnigmaDocument();
void ExecuteMenuItem(int32_t command);

// Undoable edits, counted by the edit nesting counter.
int32_t StartFinaleEdit(const char* title);
int32_t StartFinaleEditUTF16(const char16_t* title);
// EndFinaleEdit answers 1 without calling the host when no edit is open.
int32_t EndFinaleEdit();
void CancelFinaleEdit();

// Folders: fills a zero-filled 520-byte buffer.
int32_t GetFinalePath(int32_t kind, void* buffer520);

// Dialogs.
int32_t Dialog(int32_t templateNumber, DialogProc callback, Handle owner, void* userData);
void EndDialog(Handle dialog);
void EnableDlgItem(Handle dialog, int32_t item, int32_t flag);
void SetDlgFocus(Handle dialog, int32_t item);
int32_t GetDlgItemVal(Handle dialog, int32_t item, int32_t kind);
void SetDlgItemVal(Handle dialog, int32_t item, int32_t kind, int32_t value);
void GetDlgString(Handle dialog, int32_t item, char* buffer, int32_t size);
void GetDlgStringUTF16(Handle dialog, int32_t item, char16_t* buffer, int32_t size);
void SetDlgString(Handle dialog, int32_t item, const char* text);
void SetDlgStringUTF16(Handle dialog, int32_t item, const char16_t* text);
Handle GetCurrentWindow();

// For tests: how many name lookups were made, and the edit nesting counter.
int64_t LookupCount();
int32_t EditNesting();

}  // namespace fx
