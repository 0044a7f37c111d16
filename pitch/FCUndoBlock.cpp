// FCUndoBlock: the host edit around a handler's run.
#include "pitch/FCUndoBlock.h"

#include <algorithm>
#include <vector>

#include "shell/HostFunctions.h"
#include "shell/HostVersion.h"

namespace {
// Titles longer than this are cut before they reach the host's UTF-16 edit function.
constexpr uint32_t kMaxTitleUnits = 499;
}

bool FCUndoBlock::Execute(__FCUndoBlockHandler* handler, const FCString* title) {
    if (handler == nullptr || title == nullptr) {
        return false;
    }
    handler->SetRunningBlock(this);
    int32_t opened = 0;
    if (HostVersion::UsesUTF16()) {
        const uint32_t n = std::min(title->GetLength(), kMaxTitleUnits);
        std::vector<char16_t> text(title->GetUTF16(), title->GetUTF16() + n);
        text.push_back(0);
        opened = fx::StartFinaleEditUTF16(text.data());
    } else {
        FCString copy(*title);
        opened = fx::StartFinaleEdit(copy.GetCString());
    }
    if (opened == 0) {
        handler->SetRunningBlock(nullptr);  // the run goes on without an edit of its own
    }
    inEdit_ = true;
    const bool ok = handler->Run();
    inEdit_ = false;
    if (ok) {
        fx::EndFinaleEdit();
    } else {
        fx::CancelFinaleEdit();
    }
    handler->SetRunningBlock(nullptr);
    return ok;
}
