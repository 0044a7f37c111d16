// ScoreTime: exact fractions.
#include "sorvel/core/ScoreTime.h"

#include <cmath>
#include <cstdio>
#include <numeric>
#include <stdexcept>

#include "sorvel/core/TextTools.h"

namespace sorvel {

ScoreTime ScoreTime::Of(int64_t numerator, int64_t denominator) {
    if (denominator == 0) {
        return {0, 1};
    }
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    if (denominator == 1) {
        return {numerator, 1};  // whole numbers, the most common, need no division
    }
    const int64_t divisor = std::gcd(numerator, denominator);
    return divisor > 1 ? ScoreTime{numerator / divisor, denominator / divisor}
                       : ScoreTime{numerator, denominator};
}

bool ScoreTime::ParseDecimal(std::string_view text, ScoreTime& value) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int64_t numerator = 0;
    int64_t denominator = 1;
    bool digits = false;
    bool point = false;
    constexpr int64_t kLimit = int64_t{1} << 50;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (numerator >= kLimit || denominator >= kLimit) {
                return false;
            }
            numerator = numerator * 10 + (c - '0');
            if (point) {
                denominator *= 10;
            }
        } else {
            return false;
        }
    }
    if (!digits) {
        return false;
    }
    value = Of(negative ? -numerator : numerator, denominator);
    return true;
}

namespace {

// Times are exact or refused: a product beyond 64 bits throws.
int64_t Times(int64_t a, int64_t b) {
    int64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) {
        throw std::overflow_error("the durations of this file cannot be counted exactly");
    }
    return product;
}

int64_t Plus(int64_t a, int64_t b) {
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        throw std::overflow_error("the durations of this file cannot be counted exactly");
    }
    return sum;
}

}  // namespace

ScoreTime ScoreTime::operator+(const ScoreTime& other) const {
    return Of(Plus(Times(numerator, other.denominator), Times(other.numerator, denominator)),
              Times(denominator, other.denominator));
}

ScoreTime ScoreTime::operator-(const ScoreTime& other) const {
    return *this + ScoreTime{Times(-1, other.numerator), other.denominator};
}

ScoreTime ScoreTime::operator*(const ScoreTime& other) const {
    return Of(Times(numerator, other.numerator), Times(denominator, other.denominator));
}

ScoreTime ScoreTime::operator/(const ScoreTime& other) const {
    return Of(Times(numerator, other.denominator), Times(denominator, other.numerator));
}

bool ScoreTime::operator<(const ScoreTime& other) const {
    return Times(numerator, other.denominator) < Times(other.numerator, denominator);
}

std::string ScoreTime::Text() const {
    if (IsInteger()) {
        return std::to_string(numerator);
    }
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.3f",
                  static_cast<double>(numerator) / static_cast<double>(denominator));
    std::string text = buffer;
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

}  // namespace sorvel
