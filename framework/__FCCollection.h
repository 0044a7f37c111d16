// __FCCollection: an ordered array of framework objects that it owns: removing, clearing or
// destroying the collection deletes its items. The array grows in steps of ten slots.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/__FCIteratorBase.h"

class __FCCollection : public __FCIteratorBase {
public:
    __FCCollection() = default;
    ~__FCCollection() override;

    const char* ClassName() const override;

    int ForEach(FCIteratorHandler* handler) override;
    __FCBase* FindFirst(FCIteratorHandler* handler) override;
    virtual int ForEachIndex(FCIteratorHandler* handler);

    int32_t GetCount() const { return count_; }
    int32_t GetCapacity() const { return capacity_; }
    // GetItemAt answers null outside 0 .. count-1.
    __FCBase* GetItemAt(int32_t index) const;
    // AddItem takes ownership of item and appends it. The item is the collection's from the
    // call on: should the array fail to grow, the item is deleted and the failure goes on.
    void AddItem(__FCBase* item);
    // RemoveItemAt deletes the item and moves the later ones down; false when out of range.
    bool RemoveItemAt(int32_t index);
    // DetachItemAt takes the item out without deleting it; the caller owns it then.
    __FCBase* DetachItemAt(int32_t index);
    // IndexOf answers the index of that very object, or -1.
    int32_t IndexOf(const __FCBase* item) const;
    void ClearAll();
    // SwapItems exchanges the items of two collections (of the same kind of item); it never
    // fails, so items made beforehand can take the place of others in one step.
    void SwapItems(__FCCollection& other) noexcept;

private:
    void Grow(int32_t more);

    int32_t count_ = 0;
    int32_t capacity_ = 0;
    std::unique_ptr<__FCBase*[]> items_;
};
