// Data records against the scripted host: tag, size, version and key of every record class for
// each range of host versions, and the load / save / reload / next protocol.
#include <gtest/gtest.h>

#include <memory>

#include "framework/FCCell.h"
#include "framework/FCCurrentStaffSpec.h"
#include "framework/FCGeneralPrefs.h"
#include "framework/FCIndependentCellDetail.h"
#include "framework/FCMeasure.h"
#include "framework/FCPartScopePrefs.h"
#include "framework/FCStaff.h"
#include "hostapi/HostVersion.h"
#include "hostapi/LittleEndian.h"
#include "tests/framework/FakeHost.h"

namespace {

using fake::Host;

class RecordProtocolTest : public testing::Test {
  protected:
    void SetUp() override {
        Host::Get().Reset();
        HostVersion::Set(HostVersion::kBuild);
    }
    void TearDown() override { HostVersion::Set(HostVersion::kBuild); }

    static const fake::RecordCall& Last() { return Host::Get().recordCalls.back(); }
    static size_t Calls() { return Host::Get().recordCalls.size(); }
};

std::vector<uint8_t> Bytes(size_t size, size_t offset = 0, uint16_t value = 0) {
    std::vector<uint8_t> bytes(size, 0);
    if (offset + 2 <= size) {
        le::SetU16(bytes.data(), offset, value);
    }
    return bytes;
}

struct Layout {
    uint32_t host;
    uint32_t measureSize, measureVersion;
    uint32_t staffSize, staffVersion;
};

const Layout kLayouts[] = {
    {0x0A000000, 26, 0x0A000000, 114, 0x0F000000}, {0x10FFFFFF, 26, 0x0A000000, 114, 0x0F000000},
    {0x11000000, 26, 0x0A000000, 132, 0x11000000}, {0x11FFFFFF, 26, 0x0A000000, 132, 0x11000000},
    {0x12000000, 30, 0x12000000, 136, 0x12000000}, {0x12050000, 30, 0x12000000, 136, 0x12000000},
    {0x7FFFFFFF, 30, 0x12000000, 136, 0x12000000},
};

TEST_F(RecordProtocolTest, SizesVersionsTagsAndKeysPerHostVersion) {
    for (const Layout& l : kLayouts) {
        HostVersion::Set(l.host);
        SCOPED_TRACE(testing::Message() << "host " << std::hex << l.host);

        FCMeasure measure;
        EXPECT_EQ(measure.GetRecordSize(), l.measureSize);
        EXPECT_EQ(measure.GetVersion(), l.measureVersion);
        measure.Load(12);
        EXPECT_EQ(Last().tag, 0x534F4D53U);
        EXPECT_EQ(Last().size, l.measureSize);
        EXPECT_EQ(Last().version, l.measureVersion);
        EXPECT_EQ(Last().item1, 12);
        EXPECT_EQ(Last().item2, 0);

        FCStaff staff;
        staff.Load(3);
        EXPECT_EQ(Last().tag, 0x534F4953U);
        EXPECT_EQ(Last().size, l.staffSize);
        EXPECT_EQ(Last().version, l.staffVersion);
        EXPECT_EQ(Last().item1, 3);

        FCCurrentStaffSpec staffSpec;
        staffSpec.LoadAt(3, 9, 768);
        EXPECT_EQ(Last().tag, 0x534F5343U);
        EXPECT_EQ(Last().size, l.staffSize);
        EXPECT_EQ(Last().version, l.staffVersion);
        EXPECT_EQ(Last().item1, 3);
        EXPECT_EQ(Last().item2, 9);
        EXPECT_EQ(Last().item3, 768U);

        FCCell cell(9, 3);
        FCIndependentCellDetail detail(&cell);
        detail.LoadForCell();
        EXPECT_EQ(Last().tag, 0x4402464CU);
        EXPECT_EQ(Last().size, 20U);
        EXPECT_EQ(Last().version, 0x06000000U);
        EXPECT_EQ(Last().item1, 3);
        EXPECT_EQ(Last().item2, 9);
        EXPECT_EQ(Last().item3, 0U);

        FCGeneralPrefs general;
        general.Load(1);
        EXPECT_EQ(Last().tag, 0x70666770U);
        EXPECT_EQ(Last().size, 66U);
        EXPECT_EQ(Last().version, 0x0D000000U);
        EXPECT_EQ(Last().item1, 1);

        FCPartScopePrefs part;
        part.Load(1);
        EXPECT_EQ(Last().tag, 0x6F745047U);
        EXPECT_EQ(Last().size, 12U);
        EXPECT_EQ(Last().version, 0x12050000U);
        EXPECT_EQ(Last().item1, 0xFFFE);
        EXPECT_EQ(Last().item2, 0);
    }
}

TEST_F(RecordProtocolTest, FieldsAreReadFromTheRunningLayout) {
    for (const Layout& l : kLayouts) {
        HostVersion::Set(l.host);
        SCOPED_TRACE(testing::Message() << "host " << std::hex << l.host);
        Host::Get().Reset();
        Host::Get().PutRecord(0x534F4D53, 4, 0, 0, Bytes(l.measureSize, 2, 0x0103));
        auto staffBytes = Bytes(l.staffSize, 0x14, 0x2003);
        le::SetU16(staffBytes.data(), 0x16, 0x8001);
        Host::Get().PutRecord(0x534F4953, 2, 0, 0, staffBytes);

        FCMeasure measure;
        ASSERT_TRUE(measure.Load(4));
        EXPECT_EQ(measure.GetLoadedSize(), l.measureSize);
        ASSERT_NE(measure.GetKeySignature(), nullptr);
        EXPECT_EQ(measure.GetKeySignature()->GetKeyWord(), 0x0103);
        EXPECT_EQ(measure.GetRecordPointer(), measure.GetRecordBuffer());

        FCStaff staff;
        ASSERT_TRUE(staff.Load(2));
        EXPECT_EQ(staff.GetLoadedSize(), l.staffSize);
        EXPECT_EQ(staff.GetTranspositionInterval(), 4);
        EXPECT_TRUE(staff.IsKeyIgnored());
        EXPECT_TRUE(staff.HasIndependentKey());
    }
}

TEST_F(RecordProtocolTest, FailedLoadLeavesTheRecordNotLoadedAndZeroed) {
    Host::Get().PutRecord(0x534F4D53, 1, 0, 0, Bytes(30, 2, 0x0005));
    FCMeasure measure;
    ASSERT_TRUE(measure.Load(1));
    ASSERT_TRUE(measure.IsLoaded());
    EXPECT_FALSE(measure.Load(2));
    EXPECT_FALSE(measure.IsLoaded());
    EXPECT_EQ(measure.GetLoadedSize(), 0U);
    EXPECT_EQ(measure.GetKeySignature(), nullptr);
    for (uint32_t i = 0; i < measure.GetRecordSize(); ++i) {
        EXPECT_EQ(measure.GetRecordBuffer()[i], 0) << i;
    }
}

TEST_F(RecordProtocolTest, NotLoadedRecordsRefuseWithoutAskingTheHost) {
    FCMeasure measure;
    EXPECT_FALSE(measure.Reload());
    EXPECT_FALSE(measure.Save());
    EXPECT_FALSE(measure.SaveNew());
    EXPECT_EQ(measure.GetKeySignature(), nullptr);
    FCStaff staff;
    EXPECT_FALSE(staff.Reload());
    FCGeneralPrefs prefs;
    EXPECT_FALSE(prefs.Reload());
    EXPECT_EQ(Calls(), 0U);
}

TEST_F(RecordProtocolTest, ReloadSaveAndKeySignatureCache) {
    Host::Get().PutRecord(0x534F4D53, 5, 0, 0, Bytes(30, 2, 0x00FE));
    FCMeasure measure;
    EXPECT_EQ(measure.GetKeyWord(), 0) << "not loaded";
    ASSERT_TRUE(measure.Load(5));
    EXPECT_EQ(measure.GetKeyWord(), 0x00FE) << "read without making the key";
    FCKeySignature* key = measure.GetKeySignature();
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(measure.GetKeySignature(), key) << "the measure keeps one key object";
    key->SetKeyWord(0x0002);
    EXPECT_EQ(measure.GetKeyWord(), 0x0002) << "the key made is the one asked";

    ASSERT_TRUE(measure.Save());
    EXPECT_EQ(Last().function, "Save");
    EXPECT_EQ(Last().item1, 5);
    EXPECT_EQ(Last().size, 30U);
    EXPECT_EQ(le::U16(Host::Get().records[{0x534F4D53, 5, 0, 0}].data(), 2), 0x0002)
        << "the cached key word is written into the record first";

    Host::Get().PutRecord(0x534F4D53, 5, 0, 0, Bytes(30, 2, 0x0003));
    ASSERT_TRUE(measure.Reload());
    EXPECT_EQ(Last().function, "Load");
    EXPECT_EQ(Last().item1, 5);
    ASSERT_NE(measure.GetKeySignature(), nullptr);
    EXPECT_EQ(measure.GetKeySignature()->GetKeyWord(), 0x0003) << "a new load drops the cache";

    ASSERT_TRUE(measure.SaveAs(8));
    EXPECT_EQ(Last().item1, 8);
    EXPECT_EQ(measure.GetKeyItem1(), 8);
    EXPECT_TRUE(Host::Get().records.contains({0x534F4D53, 8, 0, 0}));

    ASSERT_TRUE(measure.SaveNew());
    EXPECT_EQ(Last().function, "Create");
    EXPECT_EQ(Last().item1, 0xFFFF);
    EXPECT_EQ(Last().item2, 0xFFFF);
    EXPECT_EQ(Last().size, 30U);
    EXPECT_EQ(measure.GetKeyItem1(), 9) << "the host named the new record";

    ASSERT_TRUE(measure.DeleteData());
    EXPECT_EQ(Last().function, "Delete");
    EXPECT_EQ(Last().version, 0x12000000U);
    EXPECT_FALSE(measure.DeleteData()) << "already gone";
}

TEST_F(RecordProtocolTest, HostClaimingMoreThanTheBufferIsClamped) {
    Host::Get().PutRecord(0x534F4D53, 1, 0, 0, Bytes(64, 2, 0x0001));
    FCMeasure measure;
    ASSERT_TRUE(measure.Load(1));
    EXPECT_EQ(measure.GetLoadedSize(), 30U);
    ASSERT_TRUE(measure.Save());
    EXPECT_EQ(Last().size, 30U);
}

TEST_F(RecordProtocolTest, StaffRecordsAreWalkedWithNext) {
    for (uint16_t staff : {uint16_t{1}, uint16_t{2}, uint16_t{5}}) {
        Host::Get().PutRecord(0x534F4953, staff, 0, 0, Bytes(136, 0x14, staff));
    }
    FCStaff staff;
    std::vector<int> seen;
    for (bool ok = staff.LoadFirst(); ok; ok = staff.LoadNext()) {
        seen.push_back(staff.GetKeyItem1());
        EXPECT_EQ(staff.GetTranspositionWord(), staff.GetKeyItem1());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(Host::Get().recordCalls.front().function, "Next");
    EXPECT_EQ(Host::Get().recordCalls.front().item1, 0);
    EXPECT_EQ(Host::Get().recordCalls.front().version, 0x12000000U);
}

TEST_F(RecordProtocolTest, MeasureAndPrefsLoadFirstItemOne) {
    Host::Get().PutRecord(0x534F4D53, 1, 0, 0, Bytes(30));
    Host::Get().PutRecord(0x70666770, 1, 0, 0, Bytes(66, 0x28, static_cast<uint16_t>(-24)));
    FCMeasure measure;
    EXPECT_TRUE(measure.LoadFirst());
    EXPECT_EQ(measure.GetKeyItem1(), 1);
    FCGeneralPrefs prefs;
    EXPECT_TRUE(prefs.LoadFirst());
    EXPECT_EQ(prefs.GetOctaveShift(), -24);
    EXPECT_TRUE(prefs.Reload());
}

TEST_F(RecordProtocolTest, CurrentStaffSpecRefusesItemNumbers) {
    Host::Get().PutRecord(0x534F5343, 1, 0, 0, Bytes(136));
    FCCurrentStaffSpec staffSpec;
    EXPECT_FALSE(staffSpec.Load(1));
    EXPECT_FALSE(staffSpec.SaveAs(1));
    EXPECT_FALSE(staffSpec.SaveNew());
    EXPECT_EQ(Calls(), 0U);
    Host::Get().PutRecord(0x534F5343, 4, 6, 100, Bytes(136, 0x14, 0x0042));
    ASSERT_TRUE(staffSpec.LoadAt(4, 6, 100));
    EXPECT_EQ(staffSpec.GetTranspositionAlteration(), 2);
    ASSERT_TRUE(staffSpec.Reload());
    EXPECT_EQ(Last().item1, 4);
    EXPECT_EQ(Last().item2, 6);
    EXPECT_EQ(Last().item3, 100U);
}

TEST_F(RecordProtocolTest, PartScopeConcertPitchFlag) {
    FCPartScopePrefs prefs;
    EXPECT_FALSE(prefs.GetConcertPitch());
    EXPECT_FALSE(prefs.Load(1)) << "no record";
    Host::Get().PutRecord(0x6F745047, 0xFFFE, 0, 0, Bytes(12, 0, 0));
    ASSERT_TRUE(prefs.Load(3));
    EXPECT_TRUE(prefs.GetConcertPitch()) << "word 0 = 0: concert pitch";
    Host::Get().PutRecord(0x6F745047, 0xFFFE, 0, 0, Bytes(12, 0, 5));
    ASSERT_TRUE(prefs.Load(1));
    EXPECT_FALSE(prefs.GetConcertPitch());
    Host::Get().records.clear();
    prefs.SetConcertPitch(true);
    EXPECT_FALSE(prefs.Load(1));
    EXPECT_TRUE(prefs.GetConcertPitch()) << "a failed load keeps the flag";

    Host::Get().PutRecord(0x6F745047, 0xFFFE, 0, 0, Bytes(12, 0, 5));
    ASSERT_TRUE(prefs.Save());
    EXPECT_EQ(Last().function, "Save");
    EXPECT_EQ(Last().size, 12U);
    EXPECT_EQ(le::I16(Host::Get().records[{0x6F745047, 0xFFFE, 0, 0}].data(), 0), 0);
    prefs.SetConcertPitch(false);
    ASSERT_TRUE(prefs.Save());
    EXPECT_EQ(le::I16(Host::Get().records[{0x6F745047, 0xFFFE, 0, 0}].data(), 0), 1);
}

TEST_F(RecordProtocolTest, IndependentCellDetail) {
    FCIndependentCellDetail lonely;
    EXPECT_EQ(lonely.GetLoadedSize(), 20U) << "starts as loaded";
    EXPECT_FALSE(lonely.LoadForCell());
    EXPECT_FALSE(lonely.LoadFirst());
    EXPECT_FALSE(lonely.LoadNext());
    EXPECT_EQ(Calls(), 0U);

    auto bytes = Bytes(20, 0, 0x00FD);
    le::SetU32(bytes.data(), 8, 0x800);
    Host::Get().PutRecord(0x4402464C, 20, 3, 0, bytes);
    FCCell cell(3, 20);
    FCIndependentCellDetail detail(&cell);
    ASSERT_TRUE(detail.LoadFirst());
    EXPECT_EQ(detail.GetKeyWord(), 0x00FD) << "three flats";
    EXPECT_TRUE(detail.HasOwnKeySignature());
}

// The key that governs a cell: the staff settings at the cell's start decides whether the
// cell's own key is consulted, else the measure's key applies.
struct CellKeyCase {
    const char* name;
    uint16_t staffFlags;
    bool hasDetail;
    uint32_t detailFlags;
    uint16_t expected;
};

TEST_F(RecordProtocolTest, CellKeySignature) {
    const CellKeyCase cases[] = {
        {"independent staff, own key", 0x8000, true, 0x800, 0x00FD},
        {"independent staff, detail without key bit", 0x8000, true, 0x400, 0x0002},
        {"independent staff, no detail", 0x8000, false, 0, 0x0002},
        {"ordinary staff", 0x0000, true, 0x800, 0x0002},
        {"key-ignoring staff", 0x0001, true, 0x800, 0x0002},
    };
    for (const CellKeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        Host::Get().Reset();
        Host::Get().PutRecord(0x534F5343, 20, 3, 0, Bytes(136, 0x16, c.staffFlags));
        Host::Get().PutRecord(0x534F4D53, 3, 0, 0, Bytes(30, 2, 0x0002));
        if (c.hasDetail) {
            auto bytes = Bytes(20, 0, 0x00FD);
            le::SetU32(bytes.data(), 8, c.detailFlags);
            Host::Get().PutRecord(0x4402464C, 20, 3, 0, bytes);
        }
        FCCell cell(3, 20);
        FCKeySignature* key = cell.GetKeySignature();
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->GetKeyWord(), c.expected);
        EXPECT_EQ(key->GetTranspositionOffset(), 0);
        const size_t calls = Calls();
        EXPECT_EQ(cell.GetKeySignature(), key) << "kept by the cell";
        EXPECT_EQ(Calls(), calls) << "no second lookup";
        const bool detailAsked =
            std::any_of(Host::Get().recordCalls.begin(), Host::Get().recordCalls.end(),
                        [](const fake::RecordCall& call) { return call.tag == 0x4402464C; });
        EXPECT_EQ(detailAsked, (c.staffFlags & 0x8000) != 0);
    }
}

TEST_F(RecordProtocolTest, CellKeyWithoutRecordsIsCMajor) {
    FCCell cell(3, 20);
    ASSERT_NE(cell.GetKeySignature(), nullptr);
    EXPECT_EQ(cell.GetKeySignature()->GetKeyWord(), 0);
}

// Every record class makes another of its own class and reads into a buffer it does not own
// (the names they answer are ClassNameTest's).
TEST_F(RecordProtocolTest, CreateObjectMakesTheSameClass) {
    FCCell cell(1, 1);
    std::unique_ptr<__FCBaseData> objects[] = {
        std::make_unique<FCMeasure>(),          std::make_unique<FCStaff>(),
        std::make_unique<FCCurrentStaffSpec>(), std::make_unique<FCGeneralPrefs>(),
        std::make_unique<FCPartScopePrefs>(),   std::make_unique<FCIndependentCellDetail>(&cell),
        std::make_unique<FCKeySignature>(),
    };
    const char* names[] = {"FCMeasure",      "FCStaff",          "FCCurrentStaffSpec",
                           "FCGeneralPrefs", "FCPartScopePrefs", "FCIndependentCellDetail",
                           "FCKeySignature"};
    for (size_t i = 0; i < std::size(objects); ++i) {
        std::unique_ptr<__FCBaseData> made(objects[i]->CreateObject());
        EXPECT_TRUE(made->IsSameClass(objects[i].get())) << names[i];
        EXPECT_FALSE(objects[i]->OwnsRecordBuffer());
    }
}

}  // namespace
