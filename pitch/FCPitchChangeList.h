// FCPitchChangeList: a named list of replacements: one saved pitch set.
#pragma once

#include "pitch/FCPitchChangeNodes.h"

class FCPitchChangeList : public FCPitchChangeNodes {
  public:
    // SetName copies name; null empties it.
    void SetName(const FCString* name) { name_.SetString(name); }
    const FCString& GetName() const { return name_; }

    // FindNode answers the first node with exactly these texts (case counts) and direction;
    // the in-use flag plays no part.
    FCPitchChangeNode* FindNode(const FCString* from, const FCString* to, int32_t direction) const;

  private:
    FCString name_;
};
