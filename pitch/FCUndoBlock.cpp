// FCUndoBlock: the host edit around a handler's run.
#include "pitch/FCUndoBlock.h"

#include <algorithm>
#include <vector>

#include "hostapi/HostFunctions.h"
#include "hostapi/HostVersion.h"

namespace {
// Titles longer than this are cut before they reach the host's UTF-16 edit function.
constexpr uint32_t kMaxTitleUnits = 499;
}  // namespace

// RunningEdit is one handler's run inside this block: it clears the block's state when the run
// ends, however it ends, and cancels the host edit if the run left it neither kept nor
// cancelled (it was interrupted by a failure), so that the host's undo holds nothing half done
// and the edit nesting counter comes back down.
class FCUndoBlock::RunningEdit {
  public:
    RunningEdit(FCUndoBlock& block, __FCUndoBlockHandler& handler)
        : block_(block), handler_(handler) {
        handler_.SetRunningBlock(&block_);
    }
    ~RunningEdit() {
        if (open_) {
            fx::CancelFinaleEdit();
        }
        block_.inEdit_ = false;
        handler_.SetRunningBlock(nullptr);
    }
    RunningEdit(const RunningEdit&) = delete;
    RunningEdit& operator=(const RunningEdit&) = delete;

    // Opened: an edit was asked for (and counted), whatever the host answered.
    void Opened() { open_ = true; }
    // Ended keeps the edit when ok, else cancels it.
    void End(bool ok) {
        open_ = false;
        if (ok) {
            fx::EndFinaleEdit();
        } else {
            fx::CancelFinaleEdit();
        }
    }

  private:
    FCUndoBlock& block_;
    __FCUndoBlockHandler& handler_;
    bool open_ = false;
};

bool FCUndoBlock::Execute(__FCUndoBlockHandler* handler, const FCString* title) {
    if (handler == nullptr || title == nullptr) {
        return false;
    }
    RunningEdit edit(*this, *handler);
    int32_t opened = 0;
    if (HostVersion::UsesUTF16()) {
        const uint32_t n = std::min(title->GetLength(), kMaxTitleUnits);
        std::vector<char16_t> text(title->GetUTF16(), title->GetUTF16() + n);
        text.push_back(0);
        edit.Opened();
        opened = fx::StartFinaleEditUTF16(text.data());
    } else {
        FCString copy(*title);
        const char* text8 = copy.GetCString();
        edit.Opened();
        opened = fx::StartFinaleEdit(text8);
    }
    if (opened == 0) {
        handler->SetRunningBlock(nullptr);  // the run goes on without an edit of its own
    }
    inEdit_ = true;
    const bool ok = handler->Run();
    inEdit_ = false;
    edit.End(ok);
    return ok;
}
