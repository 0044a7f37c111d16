// FCStrings: a collection of FCString objects (one per line of a text file, one per column of
// a list row).
#pragma once

#include "framework/FCString.h"
#include "framework/__FCCollection.h"

class FCStrings : public __FCCollection {
  public:
    const char* ClassName() const override;

    // GetStringAt answers the string at index, or null.
    FCString* GetStringAt(int32_t index) const { return static_cast<FCString*>(GetItemAt(index)); }
};
