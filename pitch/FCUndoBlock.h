// FCUndoBlock: brackets a handler's work in one undoable host edit: kept when the work
// succeeds, cancelled when it fails or is interrupted by a failure (an exception on its way to
// the host boundary).
#pragma once

#include "framework/FCString.h"
#include "pitch/__FCUndoBlockHandler.h"

class FCUndoBlock : public __FCBase {
  public:
    // Execute opens a host edit titled title, runs the handler and ends or cancels the edit by
    // its answer, which it returns; false for a null handler or title.
    bool Execute(__FCUndoBlockHandler* handler, const FCString* title);

    // IsInEdit is true only while a handler runs inside this block.
    bool IsInEdit() const { return inEdit_; }

  private:
    class RunningEdit;

    bool inEdit_ = false;
};
