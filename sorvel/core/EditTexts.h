// EditTexts: the texts of a score's edits, kept in large blocks instead of a string each. A
// score where most notes change has millions of edits of a few bytes; one allocation each
// would cost more than the bytes. A kept text never moves, so its view stays valid while the
// EditTexts lives.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace sorvel {

class EditTexts {
  public:
    // Keep copies text and answers the copy. A text kept a moment ago is answered again
    // instead: a score's edits repeat a few texts (an <alter> or an <accidental> with its
    // line's indentation) thousands of times.
    std::string_view Keep(std::string_view text);
    // Number answers the text of a small number (a step's octave, an alteration) without
    // keeping a copy: such texts are constants.
    std::string_view Number(int number);

  private:
    static constexpr size_t kBlockSize = size_t{64} << 10;
    static constexpr size_t kRecentSlots = 256;

    std::string_view Copy(std::string_view text);

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> large_;  // one text each
    size_t used_ = kBlockSize;                    // in the last block
    // Texts kept lately, by their hash: a slot holds the last text that fell into it.
    std::array<std::string_view, kRecentSlots> recent_{};
};

}  // namespace sorvel
