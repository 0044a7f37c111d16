// Declarations of every FX_ function the host exports, with the argument order of the host's
// function table followed by the trailing version argument. The host's sources define them;
// the host's own tests call them as a plug-in would.
#pragma once

#include <cstdint>

#include "host/HostCall.h"

HOST_EXPORT int32_t HOST_CALL FX_LoadEData(uint32_t tag, void* key, void* buffer, uint32_t* size,
                                           uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_SaveEData(uint32_t tag, void* key, void* buffer, uint32_t size,
                                           uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_CreateEData(uint32_t tag, void* key, void* buffer, uint32_t size,
                                             uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_DeleteEData(uint32_t tag, void* key, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_NextEData(uint32_t tag, void* key, void* zero1, void* zero2,
                                           uint32_t version);

HOST_EXPORT void* HOST_CALL FX_LoadTGF(int32_t zero, int32_t slot, int32_t measure,
                                       int32_t layerIndex, int32_t loadOption, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_SaveTGF(void* frame, uint32_t version);
HOST_EXPORT void HOST_CALL FX_FreeTGF(void* frame, uint32_t version);

HOST_EXPORT int32_t HOST_CALL FX_GetMaxLayers(uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_GetShowLayer(int32_t layerIndex, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_InstToSlot(int32_t staff, int32_t zero, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_SlotToInst(int32_t slot, int32_t qualifier, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_NoteToMidi(void* noteRecord, int32_t keyValue, uint32_t version);

HOST_EXPORT int32_t HOST_CALL FX_GetCurERegions(int32_t* out, void* region1, void* region2,
                                                uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_SetCurERegion(void* region, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_RedrawMusic(void* region, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_GetCurrentEnigmaDocument(uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_ExecuteMenuItem(int32_t command, uint32_t version);

HOST_EXPORT int32_t HOST_CALL FX_StartFinaleEdit(const char* title, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_StartFinaleEdit_UTF16(const char16_t* title, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_EndFinaleEdit(uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_CancelFinaleEdit(uint32_t version);

HOST_EXPORT int32_t HOST_CALL FX_GetFinalePath(int32_t kind, void* buffer, uint32_t version);

HOST_EXPORT int32_t HOST_CALL FX_Dialog(int32_t templateNumber, HostDialogProc callback,
                                        void* owner, int32_t zero, void* userData,
                                        uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_EndDialog(void* dialog, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_EnableDlgItem(void* dialog, int32_t item, int32_t flag,
                                               uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_SetDlgFocus(void* dialog, int32_t item, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_GetDlgItemVal(void* dialog, int32_t item, int32_t kind,
                                               uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_SetDlgItemVal(void* dialog, int32_t item, int32_t kind,
                                               int32_t value, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_GetDlgString(void* dialog, int32_t item, char* buffer,
                                              int32_t size, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_GetDlgString_UTF16(void* dialog, int32_t item, char16_t* buffer,
                                                    int32_t size, uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_SetDlgString(void* dialog, int32_t item, const char* text,
                                              uint32_t version);
HOST_EXPORT int32_t HOST_CALL FX_SetDlgString_UTF16(void* dialog, int32_t item,
                                                    const char16_t* text, uint32_t version);
HOST_EXPORT void* HOST_CALL FX_GetCurrentWindow(uint32_t version);
