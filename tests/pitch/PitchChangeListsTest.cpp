// Pitch change nodes, lists and stored sets: clamping, lookups and identity of content.
#include <gtest/gtest.h>

#include "pitch/FCPitchChangeLists.h"

namespace {

FCPitchChangeNode* Node(const char* from, const char* to, int32_t direction) {
    FCString f(from), t(to);
    return new FCPitchChangeNode(&f, &t, direction);
}

FCPitchChangeList* List(const char* name,
                        std::initializer_list<std::tuple<const char*, const char*, int>> rows) {
    auto* list = new FCPitchChangeList;
    FCString n(name);
    list->SetName(&n);
    for (const auto& [from, to, direction] : rows) {
        list->AddItem(Node(from, to, direction));
    }
    return list;
}

TEST(PitchChangeNodeTest, ClampsDirectionAndNamesIt) {
    struct Case {
        int32_t given, stored;
        const char* name;
    } cases[] = {{5, 2, "Closest"}, {-1, 0, "Up"}, {0, 0, "Up"}, {1, 1, "Down"}, {2, 2, "Closest"}};
    for (const auto& c : cases) {
        std::unique_ptr<FCPitchChangeNode> n(Node("A#", "Bb", c.given));
        EXPECT_EQ(n->GetDirection(), c.stored);
        EXPECT_STREQ(FCPitchChangeNode::DirectionName(n->GetDirection()), c.name);
        EXPECT_FALSE(n->GetInUse());
    }
    EXPECT_STREQ(FCPitchChangeNode::DirectionName(7), "Closest");
    EXPECT_EQ(FCPitchChangeNode::InverseDirection(0), 1);
    EXPECT_EQ(FCPitchChangeNode::InverseDirection(1), 0);
    EXPECT_EQ(FCPitchChangeNode::InverseDirection(2), 2);
    FCPitchChangeNode empty(nullptr, nullptr, 0);
    EXPECT_EQ(empty.GetFromText().GetLength(), 0U);
}

TEST(PitchChangeListTest, FindNodeMatchesTextsExactlyAndDirection) {
    std::unique_ptr<FCPitchChangeList> list(List("x", {{"A#", "Bb", 1}, {"a#", "Bb", 0}}));
    FCString from("A#"), to("Bb"), lower("a#");
    EXPECT_EQ(list->FindNode(&from, &to, 0), nullptr);
    EXPECT_EQ(list->FindNode(&from, &to, 1), list->GetItemAt(0));
    EXPECT_EQ(list->FindNode(&lower, &to, 0), list->GetItemAt(1));
    list->GetNodeAt(0)->SetInUse(true);
    EXPECT_EQ(list->FindNode(&from, &to, 1), list->GetItemAt(0));
}

TEST(PitchChangeListsTest, FindByNameIgnoresCase) {
    FCPitchChangeLists sets;
    sets.AddItem(List("Tuba", {{"A#", "Bb", 2}}));
    sets.AddItem(List("Horn", {{"C", "D", 0}}));
    FCString asked("tUBA"), other("Oboe");
    EXPECT_EQ(sets.FindByName(&asked), sets.GetItemAt(0));
    EXPECT_EQ(sets.FindByName(&other), nullptr);
    EXPECT_EQ(sets.FindByName(nullptr), nullptr);
}

TEST(PitchChangeListsTest, FindIdenticalIgnoresOrderButNotCount) {
    FCPitchChangeLists sets;
    sets.AddItem(List("four", {{"A", "B", 0}, {"C", "D", 1}, {"E", "F", 2}, {"G", "A", 0}}));
    sets.AddItem(List("three", {{"E", "F", 2}, {"A", "B", 0}, {"C", "D", 1}}));
    sets.AddItem(List("empty", {}));
    std::unique_ptr<FCPitchChangeList> candidate(
        List("", {{"A", "B", 0}, {"C", "D", 1}, {"E", "F", 2}}));
    EXPECT_EQ(sets.FindIdentical(candidate.get()), sets.GetItemAt(1));
    std::unique_ptr<FCPitchChangeList> otherDirection(
        List("", {{"A", "B", 1}, {"C", "D", 1}, {"E", "F", 2}}));
    EXPECT_EQ(sets.FindIdentical(otherDirection.get()), nullptr);
    FCPitchChangeNodes none;
    EXPECT_EQ(sets.FindIdentical(&none), sets.GetItemAt(2));
    FCPitchChangeLists noSets;
    EXPECT_EQ(noSets.FindIdentical(&none), nullptr);
}

TEST(PitchChangeListsTest, RemoveListByIdentity) {
    FCPitchChangeLists sets;
    sets.AddItem(List("a", {}));
    sets.AddItem(List("b", {}));
    sets.AddItem(List("c", {}));
    std::unique_ptr<FCPitchChangeList> stranger(List("b", {}));
    sets.RemoveList(stranger.get());
    EXPECT_EQ(sets.GetCount(), 3);
    sets.RemoveList(sets.GetListAt(0));
    ASSERT_EQ(sets.GetCount(), 2);
    FCString b("b");
    EXPECT_TRUE(sets.GetListAt(0)->GetName().IsEqual(&b));
}

}  // namespace
