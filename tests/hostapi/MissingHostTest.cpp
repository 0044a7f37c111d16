// The host function layer in a program that is no host: every function is missing, is looked
// up once only, and answers 0 (4 layers); edits are still counted.
#include <gtest/gtest.h>

#include "hostapi/HostFunctions.h"

namespace {

TEST(MissingHostTest, MissingFunctionsAnswerZeroAndAreLookedUpOnce) {
    const int64_t before = fx::LookupCount();
    uint32_t size = 12;
    uint8_t buffer[12] = {};
    uint8_t key[8] = {};
    EXPECT_EQ(fx::LoadEData(1, key, buffer, &size, 1), 0);
    EXPECT_EQ(size, 12U) << "no out-value is written";
    EXPECT_EQ(fx::LookupCount(), before + 1);
    EXPECT_EQ(fx::LoadEData(1, key, buffer, &size, 1), 0);
    EXPECT_EQ(fx::LookupCount(), before + 1) << "a miss is remembered";
    EXPECT_EQ(fx::GetMaxLayers(), 4);
    EXPECT_EQ(fx::LoadTGF(1, 1, 0, 1), nullptr);
    EXPECT_EQ(fx::SlotToInst(1, 0), 0);
    int32_t out = 0;
    uint8_t r1[20] = {}, r2[20] = {};
    EXPECT_EQ(fx::GetCurERegions(&out, r1, r2), 0);
    EXPECT_EQ(fx::GetCurrentWindow(), nullptr);
}

TEST(MissingHostTest, EditNestingCountsEvenWithoutHost) {
    const int32_t start = fx::EditNesting();
    EXPECT_EQ(fx::EndFinaleEdit(), 1) << "no edit open: answered without the host";
    fx::CancelFinaleEdit();
    EXPECT_EQ(fx::EditNesting(), start);
    fx::StartFinaleEdit("Sorvel");
    EXPECT_EQ(fx::EditNesting(), start + 1);
    EXPECT_EQ(fx::EndFinaleEdit(), 0) << "an open edit reaches the (missing) host";
    EXPECT_EQ(fx::EditNesting(), start);
    fx::StartFinaleEditUTF16(u"Sorvel");
    fx::CancelFinaleEdit();
    EXPECT_EQ(fx::EditNesting(), start);
    fx::CancelFinaleEdit();
    EXPECT_EQ(fx::EditNesting(), start) << "never below zero";
}

}  // namespace
