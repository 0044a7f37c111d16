// PitchRunFixture: the host side of pitch run tests.
#include "PitchRunFixture.h"

#include "framework/FCString.h"
#include "hostapi/HostVersion.h"
#include "pitch/FCPitchChangerBlockHandler.h"
#include "pitch/FCUndoBlock.h"

void PitchRunFixture::SetUp() {
    Host().Reset();
    UseHostVersion(0x12050000);
    noSelection_.count = 0;
}

void PitchRunFixture::TearDown() {
    EXPECT_EQ(Host().OutstandingFrames(), 0);
    EXPECT_TRUE(Host().ProtocolErrors().empty())
        << "first protocol error: " << Host().ProtocolErrors().front();
}

void PitchRunFixture::UseHostVersion(uint32_t version) {
    HostVersion::Set(version);
    Host().SetHostVersion(version);
}

void PitchRunFixture::Load(const std::string& json) {
    std::string error;
    ASSERT_TRUE(Host().LoadScoreJson(json, error)) << error << "\n" << json;
}

bool PitchRunFixture::Run(const std::vector<Row>& rows, bool sounding, bool respace) {
    FCPitchChangeNodes nodes;
    for (const Row& row : rows) {
        FCString from(row.from);
        FCString to(row.to);
        nodes.AddItem(new FCPitchChangeNode(&from, &to, row.direction));
    }
    FCPitchChangerBlockHandler handler(&nodes, respace, sounding, &noSelection_);
    FCUndoBlock block;
    FCString title("Sorvel");
    return block.Execute(&handler, &title);
}

std::string PitchRunFixture::Note(int staff, int measure, int layer, int entry, int note) const {
    return Host().NoteSpelling(staff, measure, layer, entry, note).value_or("<none>");
}

std::string PitchRunFixture::Entry(int staff, int measure, int layer, int pos,
                                   const std::vector<std::string>& notes) {
    std::string json =
        "{\"staff\": " + std::to_string(staff) + ", \"measure\": " + std::to_string(measure) +
        ", \"layer\": " + std::to_string(layer) + ", \"pos\": " + std::to_string(pos);
    if (notes.empty()) {
        return json + ", \"rest\": true}";
    }
    json += ", \"notes\": [";
    for (size_t i = 0; i < notes.size(); ++i) {
        json += (i ? ", \"" : "\"") + notes[i] + "\"";
    }
    return json + "]}";
}

std::string PitchRunFixture::Chord(const std::vector<std::string>& notes, int key,
                                   int transposition, int staffFlags) {
    return "{\"staves\": [{\"id\": 1, \"name\": \"Staff\", \"transposition\": " +
           std::to_string(transposition) + ", \"flags\": " + std::to_string(staffFlags) +
           "}], \"measures\": [{\"key\": " + std::to_string(key) + "}], \"entries\": [" +
           Entry(1, 1, 1, 0, notes) +
           "], \"selection\": {\"startSlot\": 1, \"endSlot\": 1, \"startMeasure\": 1, "
           "\"endMeasure\": 1, \"startPos\": 0, \"endPos\": 2147483647}}";
}

int Midi(const std::string& spelling) {
    static const int kBase[7] = {9, 11, 0, 2, 4, 5, 7};  // A .. G above C
    size_t i = 1;
    int semitones = kBase[spelling.at(0) - 'A'];
    for (; i < spelling.size() && (spelling[i] == '#' || spelling[i] == 'b'); ++i) {
        semitones += spelling[i] == '#' ? 1 : -1;
    }
    return semitones + 12 * (std::stoi(spelling.substr(i)) + 1);
}
