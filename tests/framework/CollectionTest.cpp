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
    EXPECT_STREQ(list.ClassName(), "FCStrings");
    EXPECT_STREQ(plain.ClassName(), "__FCCollection");
    EXPECT_STREQ(handler.ClassName(), "FCIteratorHandler");
    EXPECT_STREQ(a.ClassName(), "FCString");
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
