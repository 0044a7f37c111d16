// __FCUndoBlockHandler: work that runs inside one undoable host edit (an FCUndoBlock).
#pragma once

#include "framework/__FCBase.h"

class FCUndoBlock;

class __FCUndoBlockHandler : public __FCBase {
  public:
    // Run does the work; false makes the block cancel the host edit.
    virtual bool Run() = 0;

    // The block currently running this handler; null outside a run, or when the host refused
    // to open the edit.
    FCUndoBlock* GetRunningBlock() const { return block_; }
    void SetRunningBlock(FCUndoBlock* block) { block_ = block; }

  private:
    FCUndoBlock* block_ = nullptr;
};
