// FCPitchChangeNodes: the replacements of a list in the order the pitch changer tries them;
// owns its nodes.
#pragma once

#include "framework/__FCCollection.h"
#include "pitch/FCPitchChangeNode.h"

class FCPitchChangeNodes : public __FCCollection {
  public:
    FCPitchChangeNode* GetNodeAt(int32_t index) const {
        return static_cast<FCPitchChangeNode*>(GetItemAt(index));
    }
};
