// __FCCollection: an ordered array of framework objects that it owns: removing, clearing or
// destroying the collection deletes its items. The array grows in steps of ten slots; a reader
// that knows how many items are coming reserves their room at once.
#pragma once

#include <cstdint>
#include <functional>
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
    // SwapItems exchanges the items of two collections of the same kind of item. For collections
    // that keep no index of their items (the pitch lists) it cannot fail, so items made
    // beforehand can take the place of others in one step.
    void SwapItems(__FCCollection& other);
    // ReserveItems makes room for count items in all (in one growth, to the next multiple of
    // ten above count), so that adding that many copies the array no more.
    void ReserveItems(int32_t count);
    // RemoveItemsWhere deletes every item that matches, keeping the others in their order, in
    // one pass over the array; answers how many went.
    int32_t RemoveItemsWhere(const std::function<bool(const __FCBase*)>& matches);

  protected:
    // Kept informed of every change, for collections that keep an index of their items.
    // ItemAdding comes before item is stored at index GetCount(); if it throws, nothing is added.
    virtual void ItemAdding(__FCBase* item);
    // ItemRemoved comes after the item at index was taken out (later items have moved down),
    // before it is deleted.
    virtual void ItemRemoved(int32_t index, __FCBase* item);
    // ItemsChanged comes after ClearAll and RemoveItemsWhere.
    virtual void ItemsChanged();

  private:
    void Grow(int32_t more);
    // DeleteItems deletes every item and empties the collection, telling no one.
    void DeleteItems();

    int32_t count_ = 0;
    int32_t capacity_ = 0;
    std::unique_ptr<__FCBase*[]> items_;
};
