// Fuzzes the pitch spelling check with arbitrary texts (UTF-16 units, NUL included): nothing may
// crash or trip a sanitizer; the answer agrees with an independent reading of the spelling
// form; an accepted text comes out in the one normal form and is accepted unchanged again; the
// double sharp expands to "##" and nothing else changes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/FCString.h"
#include "pitch/PitchSpelling.h"

namespace {

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// The spelling form read independently: a letter a..g or A..G, then nothing, only "#", only
// "b"/"B", or a single "x".
bool IsSpelling(const std::u16string& t) {
    if (t.empty()) {
        return false;
    }
    const char16_t first = t[0];
    if (!((first >= u'A' && first <= u'G') || (first >= u'a' && first <= u'g'))) {
        return false;
    }
    const std::u16string rest = t.substr(1);
    if (rest.empty() || rest == u"x") {
        return true;
    }
    if (rest.find_first_not_of(u'#') == std::u16string::npos) {
        return true;
    }
    return rest.find_first_not_of(u"bB") == std::u16string::npos;
}

// The one normal form of an accepted spelling.
std::u16string Normal(std::u16string t) {
    if (t[0] >= u'a' && t[0] <= u'g') {
        t[0] = static_cast<char16_t>(t[0] - u'a' + u'A');
    }
    for (size_t i = 1; i < t.size(); ++i) {
        if (t[i] == u'B') {
            t[i] = u'b';
        }
    }
    return t;
}

std::u16string Units(const FCString& s) {
    return {s.GetUTF16(), s.GetLength()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte chooses how the rest is read: as 8-bit units (most spellings are typed
    // that way) or as little-endian UTF-16 units.
    std::u16string input;
    if (size > 0 && (data[0] & 1) != 0) {
        for (size_t i = 1; i + 1 < size; i += 2) {
            input += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        }
    } else {
        for (size_t i = 1; i < size; ++i) {
            input += static_cast<char16_t>(data[i]);
        }
    }

    FCString text;
    text.SetUTF16Units(input.data(), static_cast<uint32_t>(input.size()));
    const bool accepted = CheckPitchSpelling(&text);
    Check(accepted == IsSpelling(input), "the check agrees with the spelling form");
    Check(text.GetLength() == input.size(), "the check never changes the length");
    if (accepted) {
        Check(Units(text) == Normal(input), "an accepted text is normalised");
        FCString again(text);
        Check(CheckPitchSpelling(&again), "a normalised text is accepted again");
        Check(Units(again) == Units(text), "a normalised text stays as it is");
        Check(IsSameSpelling(&text, &again), "a spelling is the same as itself");
    } else {
        FCString again(text);
        Check(!CheckPitchSpelling(&again), "a refused text stays refused");
    }
    Check(!IsSameSpelling(&text, nullptr), "nothing is no spelling");

    FCString expanded(text);
    ExpandDoubleSharp(&expanded);
    std::u16string wanted;
    for (const char16_t unit : Units(text)) {
        wanted += unit == u'x' ? std::u16string(u"##") : std::u16string(1, unit);
    }
    Check(Units(expanded) == wanted, "every x becomes ## and nothing else changes");
    return 0;
}
