// ScoreTime: a point or length in a measure, in quarter notes, kept as an exact fraction so that
// notes of different voices that start together compare equal (MusicXML counts in divisions of
// a quarter, and the divisions may change). Arithmetic that would leave 64 bits throws
// std::overflow_error rather than give a wrong time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvel {

struct ScoreTime {
    int64_t numerator = 0;
    int64_t denominator = 1;

    static ScoreTime Of(int64_t numerator, int64_t denominator);
    // ParseDecimal reads a MusicXML decimal ("2", "1.5", "+0.25"); false when it is none.
    static bool ParseDecimal(std::string_view text, ScoreTime& value);

    ScoreTime operator+(const ScoreTime& other) const;
    ScoreTime operator-(const ScoreTime& other) const;
    ScoreTime operator*(const ScoreTime& other) const;
    ScoreTime operator/(const ScoreTime& other) const;
    bool operator==(const ScoreTime& other) const = default;
    bool operator<(const ScoreTime& other) const;
    bool operator<=(const ScoreTime& other) const { return !(other < *this); }

    [[nodiscard]] bool IsInteger() const { return denominator == 1; }
    [[nodiscard]] bool IsZero() const { return numerator == 0; }
    // Text writes the value in decimals, up to three places, without trailing zeros.
    [[nodiscard]] std::string Text() const;
};

}  // namespace sorvel
