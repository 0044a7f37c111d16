// FCIteratorHandler: the visitor that collections and the region walk call back into.
#pragma once

#include "framework/__FCBase.h"

class FCIteratorHandler : public __FCBase {
  public:
    FCIteratorHandler() = default;

    const char* ClassName() const override;

    // Iterate is called for each item on the first pass; false stops the walk.
    virtual bool Iterate(__FCBase* item);
    // IterateSecondPass is called on the second pass over a cell; false ends that pass only.
    virtual bool IterateSecondPass(__FCBase* item);
    virtual bool IterateIndex(__FCBase* item, int index);
    virtual bool Matches(__FCBase* item);
    virtual int Compare(__FCBase* a, __FCBase* b);
    // BeforeCell runs before a cell is loaded, AfterCellLoad after a cell with entries is loaded;
    // false from either stops the walk.
    virtual bool BeforeCell();
    virtual bool AfterCellLoad();
    virtual void AfterCell();
    virtual void AfterFilledCell();

    // The save flag tells the region walk to write each visited cell back to the host.
    bool GetSaveFlag() const { return save_; }
    void SetSaveFlag(bool save) { save_ = save; }

  private:
    bool save_ = false;
};
