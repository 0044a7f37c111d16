// __FCCollection and FCIteratorHandler: growth, ownership, walks and class identity.
#include <gtest/gtest.h>

#include "framework/FCIteratorHandler.h"
#include "framework/FCStrings.h"
#include "framework/__FCCollection.h"

namespace {

class StopAt : public FCIteratorHandler {
  public:
    explicit StopAt(int stop) : stop_(stop) {}
    bool Iterate(__FCBase* /*item*/) override { return ++calls_ != stop_; }
    bool Matches(__FCBase* item) override { return item->GetUserValue() == stop_; }
    int calls_ = 0;

  private:
    int stop_;
};

FCString* Numbered(int value) {
    auto* s = new FCString;
    s->SetUserValue(value);
    return s;
}

TEST(CollectionTest, GrowsInStepsOfTenAndOwnsItems) {
    const int64_t before = __FCBase::LiveObjectCount();
    {
        __FCCollection c;
        EXPECT_EQ(c.GetCapacity(), 0);
        for (int i = 0; i < 10; ++i) {
            c.AddItem(Numbered(i));
        }
        EXPECT_EQ(c.GetCapacity(), 10);
        c.AddItem(Numbered(10));
        EXPECT_EQ(c.GetCapacity(), 20);
        EXPECT_TRUE(c.RemoveItemAt(0));
        EXPECT_EQ(c.GetItemAt(0)->GetUserValue(), 1);
        EXPECT_EQ(c.GetCount(), 10);
        EXPECT_FALSE(c.RemoveItemAt(10));
        EXPECT_FALSE(c.RemoveItemAt(-1));
        EXPECT_EQ(c.GetItemAt(10), nullptr);
        EXPECT_EQ(c.GetItemAt(-1), nullptr);
        c.ClearAll();
        EXPECT_EQ(c.GetCount(), 0);
        EXPECT_EQ(c.GetCapacity(), 20);
        EXPECT_EQ(__FCBase::LiveObjectCount(), before + 1) << "only the collection is left";
        c.AddItem(Numbered(1));
        c.AddItem(Numbered(2));
    }
    EXPECT_EQ(__FCBase::LiveObjectCount(), before) << "destruction deletes every item";
}

TEST(CollectionTest, ReservedRoomIsMadeOnceAndKeepsTheStepsOfTen) {
    __FCCollection c;
    c.ReserveItems(25);
    EXPECT_EQ(c.GetCapacity(), 30);
    for (int i = 0; i < 25; ++i) {
        c.AddItem(Numbered(i));
    }
    EXPECT_EQ(c.GetCapacity(), 30) << "adding what was reserved copies nothing";
    c.ReserveItems(10);
    EXPECT_EQ(c.GetCapacity(), 30) << "a collection never shrinks";
    for (int i = 25; i < 31; ++i) {
        c.AddItem(Numbered(i));
    }
    EXPECT_EQ(c.GetCapacity(), 40) << "past the reserved room the ten-slot rule holds";
}

TEST(CollectionTest, RemoveItemsWhereKeepsTheOrderOfTheRest) {
    const int64_t before = __FCBase::LiveObjectCount();
    __FCCollection c;
    for (int i = 0; i < 12; ++i) {
        c.AddItem(i == 4 ? nullptr : Numbered(i));
    }
    EXPECT_EQ(
        c.RemoveItemsWhere([](const __FCBase* item) { return item->GetUserValue() % 3 == 0; }), 4);
    ASSERT_EQ(c.GetCount(), 8);
    const int kept[] = {1, 2, -1, 5, 7, 8, 10, 11};
    for (int i = 0; i < 8; ++i) {
        const __FCBase* item = c.GetItemAt(i);
        EXPECT_EQ(item == nullptr ? -1 : item->GetUserValue(), kept[i]) << i;
    }
    EXPECT_EQ(c.GetItemAt(8), nullptr);
    EXPECT_EQ(__FCBase::LiveObjectCount(), before + 1 + 7) << "the removed items are deleted";

    // A test that throws part-way leaves a whole collection: what it removed is gone, the rest
    // is there in order.
    int asked = 0;
    EXPECT_THROW(c.RemoveItemsWhere([&asked](const __FCBase* item) {
        if (++asked == 4) {
            throw 1;
        }
        return item->GetUserValue() == 2;
    }),
                 int);
    const int rest[] = {1, -1, 5, 7, 8, 10, 11};
    ASSERT_EQ(c.GetCount(), 7);
    for (int i = 0; i < 7; ++i) {
        const __FCBase* item = c.GetItemAt(i);
        EXPECT_EQ(item == nullptr ? -1 : item->GetUserValue(), rest[i]) << i;
    }
    EXPECT_EQ(__FCBase::LiveObjectCount(), before + 1 + 6);
}

TEST(CollectionTest, ForEachStopsAtFirstFalseAndSkipsNulls) {
    __FCCollection c;
    for (int i = 0; i < 5; ++i) {
        c.AddItem(i == 1 ? nullptr : Numbered(i));
    }
    StopAt third(3);
    EXPECT_EQ(c.ForEach(&third), 2);
    EXPECT_EQ(third.calls_, 3);
    StopAt never(100);
    EXPECT_EQ(c.ForEach(&never), 4);
    __FCCollection empty;
    StopAt unused(1);
    EXPECT_EQ(empty.ForEach(&unused), 0);
    EXPECT_EQ(unused.calls_, 0);
    StopAt find(3);
    EXPECT_EQ(c.FindFirst(&find), c.GetItemAt(3));
    StopAt none(7);
    EXPECT_EQ(c.FindFirst(&none), nullptr);
}

TEST(CollectionTest, ClassNamesAreComparedByIdentity) {
    FCString a, b;
    FCStrings list;
    __FCCollection plain;
    FCIteratorHandler handler;
    EXPECT_TRUE(a.IsSameClass(&b));
    EXPECT_FALSE(a.IsSameClass(&list));
    EXPECT_FALSE(a.IsSameClass(nullptr));
}

TEST(CollectionTest, HandlerDefaults) {
    FCIteratorHandler h;
    FCString s;
    EXPECT_TRUE(h.Iterate(&s));
    EXPECT_FALSE(h.IterateSecondPass(&s));
    EXPECT_TRUE(h.IterateIndex(&s, 0));
    EXPECT_FALSE(h.Matches(&s));
    EXPECT_EQ(h.Compare(&s, &s), 0);
    EXPECT_TRUE(h.BeforeCell());
    EXPECT_TRUE(h.AfterCellLoad());
    EXPECT_FALSE(h.GetSaveFlag());
}

}  // namespace
