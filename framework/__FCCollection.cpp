// __FCCollection: growth, ownership and the walks over items.
#include "framework/__FCCollection.h"

#include <algorithm>
#include <utility>

#include "framework/FCIteratorHandler.h"

__FCCollection::~__FCCollection() {
    // A subclass is gone by now, so there is no one left to tell of the change.
    DeleteItems();
}

const char* __FCCollection::ClassName() const {
    return "__FCCollection";
}

void __FCCollection::Grow(int32_t more) {
    if (capacity_ >= count_ + more) {
        return;
    }
    const int32_t newCapacity = ((count_ + more + 10) / 10) * 10;
    auto grown = std::make_unique<__FCBase*[]>(newCapacity);  // value-initialised: all null
    if (items_) {
        std::copy_n(items_.get(), count_, grown.get());
    }
    items_ = std::move(grown);
    capacity_ = newCapacity;
}

__FCBase* __FCCollection::GetItemAt(int32_t index) const {
    if (index < 0 || index >= count_ || !items_) {
        return nullptr;
    }
    return items_[index];
}

void __FCCollection::AddItem(__FCBase* item) {
    std::unique_ptr<__FCBase> owned(item);
    Grow(1);
    ItemAdding(item);
    items_[count_++] = owned.release();
}

void __FCCollection::SwapItems(__FCCollection& other) {
    std::swap(count_, other.count_);
    std::swap(capacity_, other.capacity_);
    items_.swap(other.items_);
    ItemsChanged();
    other.ItemsChanged();
}

void __FCCollection::ReserveItems(int32_t count) {
    if (count > count_) {
        Grow(count - count_);
    }
}

int32_t __FCCollection::RemoveItemsWhere(const std::function<bool(const __FCBase*)>& matches) {
    int32_t kept = 0;
    int32_t i = 0;
    try {
        for (; i < count_; ++i) {
            __FCBase* item = items_[i];
            if (item != nullptr && matches(item)) {
                items_[i] = nullptr;
                delete item;
            } else {
                items_[i] = nullptr;
                items_[kept++] = item;
            }
        }
    } catch (...) {
        // The items not yet looked at close the gap, so the collection stays whole.
        std::copy(items_.get() + i, items_.get() + count_, items_.get() + kept);
        std::fill(items_.get() + kept + (count_ - i), items_.get() + count_, nullptr);
        const int32_t removed = i - kept;
        count_ -= removed;
        ItemsChanged();
        throw;
    }
    const int32_t removed = count_ - kept;
    count_ = kept;
    ItemsChanged();
    return removed;
}

void __FCCollection::ItemAdding(__FCBase* /*item*/) {}

void __FCCollection::ItemRemoved(int32_t /*index*/, __FCBase* /*item*/) {}

void __FCCollection::ItemsChanged() {}

__FCBase* __FCCollection::DetachItemAt(int32_t index) {
    if (index < 0 || index >= count_) {
        return nullptr;
    }
    __FCBase* item = items_[index];
    std::copy(items_.get() + index + 1, items_.get() + count_, items_.get() + index);
    items_[--count_] = nullptr;
    ItemRemoved(index, item);
    return item;
}

bool __FCCollection::RemoveItemAt(int32_t index) {
    if (index < 0 || index >= count_) {
        return false;
    }
    delete DetachItemAt(index);
    return true;
}

int32_t __FCCollection::IndexOf(const __FCBase* item) const {
    for (int32_t i = 0; i < count_; ++i) {
        if (items_[i] == item) {
            return i;
        }
    }
    return -1;
}

void __FCCollection::ClearAll() {
    DeleteItems();
    ItemsChanged();
}

void __FCCollection::DeleteItems() {
    // An item's destructor could in principle reach back into this collection, so each slot is
    // emptied before its item is deleted.
    for (int32_t i = 0; i < count_; ++i) {
        __FCBase* item = items_[i];
        items_[i] = nullptr;
        delete item;
    }
    count_ = 0;
}

int __FCCollection::ForEach(FCIteratorHandler* handler) {
    int calls = 0;
    for (int32_t i = 0; i < count_; ++i) {
        if (items_[i] == nullptr) {
            continue;
        }
        if (!handler->Iterate(items_[i])) {
            break;
        }
        ++calls;
    }
    return calls;
}

int __FCCollection::ForEachIndex(FCIteratorHandler* handler) {
    int calls = 0;
    for (int32_t i = 0; i < count_; ++i) {
        if (items_[i] == nullptr) {
            continue;
        }
        if (!handler->IterateIndex(items_[i], i)) {
            break;
        }
        ++calls;
    }
    return calls;
}

__FCBase* __FCCollection::FindFirst(FCIteratorHandler* handler) {
    for (int32_t i = 0; i < count_; ++i) {
        if (items_[i] != nullptr && handler->Matches(items_[i])) {
            return items_[i];
        }
    }
    return nullptr;
}
