// The host function layer: lookup, caching, trailing versions, 16-bit results, the edit nesting
// counter and the frame preparation before each save. This is the only file that names the
// host's FX_ functions.
#include "hostapi/HostFunctions.h"

#include "hostapi/FramePreparation.h"
#include "hostapi/HostModule.h"
#include "hostapi/HostVersion.h"

namespace fx {
namespace {

struct Proc {
    const char* name;
    void* address = nullptr;
    bool looked = false;
};

void* g_module = nullptr;
bool g_moduleLooked = false;
int64_t g_lookups = 0;
int32_t g_editNesting = 0;

// Resolve looks the module up once and each function once; a miss is remembered too.
template <typename Fn>
Fn Resolve(Proc& proc) {
    if (!g_moduleLooked) {
        g_module = HostModule::Find();
        g_moduleLooked = true;
    }
    if (!proc.looked) {
        proc.address = HostModule::FindProc(g_module, proc.name);
        proc.looked = true;
        ++g_lookups;
    }
    return reinterpret_cast<Fn>(proc.address);
}

int32_t Short(int32_t value) {
    return static_cast<int16_t>(value);
}

constexpr uint32_t kBuild = HostVersion::kBuild;

using I = int32_t;
using U = uint32_t;
using P = void*;

}  // namespace

// Each wrapper keeps its own cache entry, shared by every call site of that function.
#define FX_PROC(name, signature)   \
    static Proc proc{"FX_" #name}; \
    auto* fn = Resolve<signature>(proc)

int32_t LoadEData(uint32_t tag, void* key, void* buffer, uint32_t* size, uint32_t version) {
    FX_PROC(LoadEData, I(VS_HOST_CALL*)(U, P, P, U*, U));
    return fn ? Short(fn(tag, key, buffer, size, version)) : 0;
}

int32_t SaveEData(uint32_t tag, void* key, void* buffer, uint32_t size, uint32_t version) {
    FX_PROC(SaveEData, I(VS_HOST_CALL*)(U, P, P, U, U));
    return fn ? Short(fn(tag, key, buffer, size, version)) : 0;
}

int32_t CreateEData(uint32_t tag, void* key, void* buffer, uint32_t size, uint32_t version) {
    FX_PROC(CreateEData, I(VS_HOST_CALL*)(U, P, P, U, U));
    return fn ? Short(fn(tag, key, buffer, size, version)) : 0;
}

int32_t DeleteEData(uint32_t tag, void* key, uint32_t version) {
    FX_PROC(DeleteEData, I(VS_HOST_CALL*)(U, P, U));
    return fn ? Short(fn(tag, key, version)) : 0;
}

int32_t NextEData(uint32_t tag, void* key, uint32_t version) {
    FX_PROC(NextEData, I(VS_HOST_CALL*)(U, P, P, P, U));
    return fn ? Short(fn(tag, key, nullptr, nullptr, version)) : 0;
}

Handle LoadTGF(int32_t slot, int32_t measure, int32_t layerIndex, uint8_t loadOption) {
    FX_PROC(LoadTGF, P(VS_HOST_CALL*)(I, I, I, I, I, U));
    return fn ? fn(0, slot, measure, layerIndex, loadOption, kBuild) : nullptr;
}

int32_t SaveTGF(Handle frame) {
    FX_PROC(SaveTGF, I(VS_HOST_CALL*)(P, U));
    if (fn == nullptr || frame == nullptr) {
        return 0;
    }
    FramePreparation::Prepare(frame);
    return Short(fn(frame, kBuild));
}

void FreeTGF(Handle frame) {
    FX_PROC(FreeTGF, void(VS_HOST_CALL*)(P, U));
    if (fn) {
        fn(frame, kBuild);
    }
}

int32_t GetMaxLayers() {
    FX_PROC(GetMaxLayers, I(VS_HOST_CALL*)(U));
    return fn ? static_cast<uint16_t>(fn(kBuild)) : 4;
}

int32_t GetShowLayer(int32_t layerIndex) {
    FX_PROC(GetShowLayer, I(VS_HOST_CALL*)(I, U));
    return fn ? Short(fn(layerIndex, kBuild)) : 0;
}

int32_t InstToSlot(int32_t staff) {
    FX_PROC(InstToSlot, I(VS_HOST_CALL*)(I, I, U));
    return fn ? Short(fn(staff, 0, kBuild)) : 0;
}

int32_t SlotToInst(int32_t slot, uint16_t qualifier) {
    FX_PROC(SlotToInst, I(VS_HOST_CALL*)(I, I, U));
    return fn ? Short(fn(slot, qualifier, kBuild)) : 0;
}

int32_t NoteToMidi(void* noteRecord, int32_t keyValue) {
    FX_PROC(NoteToMidi, I(VS_HOST_CALL*)(P, I, U));
    return fn ? Short(fn(noteRecord, keyValue, kBuild)) : 0;
}

int32_t GetCurERegions(int32_t* out, void* region1, void* region2) {
    FX_PROC(GetCurERegions, I(VS_HOST_CALL*)(I*, P, P, U));
    return fn ? Short(fn(out, region1, region2, kBuild)) : 0;
}

void SetCurERegion(void* region) {
    FX_PROC(SetCurERegion, I(VS_HOST_CALL*)(P, U));
    if (fn) {
        fn(region, kBuild);
    }
}

void RedrawMusic(void* region) {
    FX_PROC(RedrawMusic, I(VS_HOST_CALL*)(P, U));
    if (fn) {
        fn(region, kBuild);
    }
}

int32_t GetCurrentEnigmaDocument() {
    FX_PROC(GetCurrentEnigmaDocument, I(VS_HOST_CALL*)(U));
    return fn ? Short(fn(kBuild)) : 0;
}

void ExecuteMenuItem(int32_t command) {
    FX_PROC(ExecuteMenuItem, I(VS_HOST_CALL*)(I, U));
    if (fn) {
        fn(command, kBuild);
    }
}

int32_t StartFinaleEdit(const char* title) {
    FX_PROC(StartFinaleEdit, I(VS_HOST_CALL*)(const char*, U));
    ++g_editNesting;  // counted whether or not the host opens it
    return fn ? fn(title, kBuild) : 0;
}

int32_t StartFinaleEditUTF16(const char16_t* title) {
    FX_PROC(StartFinaleEdit_UTF16, I(VS_HOST_CALL*)(const char16_t*, U));
    ++g_editNesting;
    return fn ? fn(title, kBuild) : 0;
}

int32_t EndFinaleEdit() {
    FX_PROC(EndFinaleEdit, I(VS_HOST_CALL*)(U));
    if (g_editNesting <= 0) {
        return 1;
    }
    --g_editNesting;
    return fn ? fn(kBuild) : 0;
}

void CancelFinaleEdit() {
    FX_PROC(CancelFinaleEdit, I(VS_HOST_CALL*)(U));
    if (g_editNesting <= 0) {
        return;
    }
    --g_editNesting;
    if (fn) {
        fn(kBuild);
    }
}

int32_t GetFinalePath(int32_t kind, void* buffer520) {
    FX_PROC(GetFinalePath, I(VS_HOST_CALL*)(I, P, U));
    return fn ? fn(kind, buffer520, kBuild) : 0;
}

int32_t Dialog(int32_t templateNumber, DialogProc callback, Handle owner, void* userData) {
    FX_PROC(Dialog, I(VS_HOST_CALL*)(I, DialogProc, P, I, P, U));
    return fn ? fn(static_cast<int16_t>(templateNumber), callback, owner, 0, userData, kBuild) : 0;
}

void EndDialog(Handle dialog) {
    FX_PROC(EndDialog, I(VS_HOST_CALL*)(P, U));
    if (fn) {
        fn(dialog, kBuild);
    }
}

void EnableDlgItem(Handle dialog, int32_t item, int32_t flag) {
    FX_PROC(EnableDlgItem, I(VS_HOST_CALL*)(P, I, I, U));
    if (fn) {
        fn(dialog, item, flag, kBuild);
    }
}

void SetDlgFocus(Handle dialog, int32_t item) {
    FX_PROC(SetDlgFocus, I(VS_HOST_CALL*)(P, I, U));
    if (fn) {
        fn(dialog, item, kBuild);
    }
}

int32_t GetDlgItemVal(Handle dialog, int32_t item, int32_t kind) {
    FX_PROC(GetDlgItemVal, I(VS_HOST_CALL*)(P, I, I, U));
    return fn ? fn(dialog, item, kind, kBuild) : 0;
}

void SetDlgItemVal(Handle dialog, int32_t item, int32_t kind, int32_t value) {
    FX_PROC(SetDlgItemVal, I(VS_HOST_CALL*)(P, I, I, I, U));
    if (fn) {
        fn(dialog, item, kind, value, kBuild);
    }
}

void GetDlgString(Handle dialog, int32_t item, char* buffer, int32_t size) {
    FX_PROC(GetDlgString, I(VS_HOST_CALL*)(P, I, char*, I, U));
    if (fn) {
        fn(dialog, item, buffer, size, kBuild);
    }
}

void GetDlgStringUTF16(Handle dialog, int32_t item, char16_t* buffer, int32_t size) {
    FX_PROC(GetDlgString_UTF16, I(VS_HOST_CALL*)(P, I, char16_t*, I, U));
    if (fn) {
        fn(dialog, item, buffer, size, kBuild);
    }
}

void SetDlgString(Handle dialog, int32_t item, const char* text) {
    FX_PROC(SetDlgString, I(VS_HOST_CALL*)(P, I, const char*, U));
    if (fn) {
        fn(dialog, item, text, kBuild);
    }
}

void SetDlgStringUTF16(Handle dialog, int32_t item, const char16_t* text) {
    FX_PROC(SetDlgString_UTF16, I(VS_HOST_CALL*)(P, I, const char16_t*, U));
    if (fn) {
        fn(dialog, item, text, kBuild);
    }
}

Handle GetCurrentWindow() {
    FX_PROC(GetCurrentWindow, P(VS_HOST_CALL*)(U));
    return fn ? fn(kBuild) : nullptr;
}

int64_t LookupCount() {
    return g_lookups;
}
int32_t EditNesting() {
    return g_editNesting;
}

}  // namespace fx
