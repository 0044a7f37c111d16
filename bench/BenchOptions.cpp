// BenchOptions: reading the command line. Every number is checked whole: "4x", "", "1,,4" and
// numbers out of range are refused with the option's name, never read as something else.
#include "bench/BenchOptions.h"

#include <charconv>

namespace {

struct ListOption {
    const char* name;
    int most;
    std::vector<int> BenchOptions::*field;
};
struct NumberOption {
    const char* name;
    int most;
    int BenchOptions::*field;
};

constexpr ListOption kLists[] = {
    {"--entries", BenchOptions::kMaxEntries, &BenchOptions::entries},
    {"--rows", BenchOptions::kMaxRows, &BenchOptions::rows},
    {"--pairs", BenchOptions::kMaxPairs, &BenchOptions::pairs},
};
constexpr NumberOption kNumbers[] = {
    {"--repeat", BenchOptions::kMaxRepeat, &BenchOptions::repeat},
    {"--pitch-list-rows", BenchOptions::kMaxPairs, &BenchOptions::pitchListRows},
};

// Number reads a whole decimal number in 1 .. most.
std::optional<int> Number(const std::string& text, int most) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc() || stop != end || value < 1 || value > most) {
        return std::nullopt;
    }
    return value;
}

// Numbers reads a comma-separated list of such numbers.
std::optional<std::vector<int>> Numbers(const std::string& text, int most) {
    std::vector<int> numbers;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const size_t length = comma == std::string::npos ? std::string::npos : comma - start;
        const auto number = Number(text.substr(start, length), most);
        if (!number) {
            return std::nullopt;
        }
        numbers.push_back(*number);
        if (comma == std::string::npos) {
            return numbers;
        }
        start = comma + 1;
    }
}

// Refusal says what an option takes: "--rows takes numbers from 1 to 64, separated by commas:
// "65"".
std::string Refusal(const std::string& option, const char* what, int most, const char* how,
                    const std::string& value) {
    std::string text = option;
    text += " takes ";
    text += what;
    text += " from 1 to ";
    text += std::to_string(most);
    text += how;
    text += ": \"";
    text += value;
    text += "\"";
    return text;
}

}  // namespace

const char* BenchOptions::Usage() {
    return "usage: vs_bench [--entries N,N,...] [--rows N,N,...] [--repeat N] [--pairs N,N,...]\n"
           "                [--pitch-list-rows N] [--runs-only | --settings-only] [--label TEXT]\n"
           "  --entries          note entries of the generated scores (1 to 1000000)\n"
           "  --rows             rows of the lists each score is run with (1 to 64)\n"
           "  --repeat           runs of each cell at least (1 to 1000; more until 0.5 s of CPU)\n"
           "  --pairs            pairs of the shared settings files measured (1 to 10000000)\n"
           "  --pitch-list-rows  rows of the pitch-list file measured (1 to 10000000)\n";
}

std::optional<BenchOptions> BenchOptions::Parse(const std::vector<std::string>& arguments,
                                                std::string& error) {
    BenchOptions options;
    error.clear();
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            return std::nullopt;
        }
        if (option == "--runs-only" || option == "--settings-only") {
            (option == "--runs-only" ? options.settings : options.runs) = false;
            continue;
        }
        const ListOption* list = nullptr;
        for (const ListOption& candidate : kLists) {
            list = option == candidate.name ? &candidate : list;
        }
        const NumberOption* number = nullptr;
        for (const NumberOption& candidate : kNumbers) {
            number = option == candidate.name ? &candidate : number;
        }
        if (list == nullptr && number == nullptr && option != "--label") {
            error = "unknown option " + option;
            return std::nullopt;
        }
        if (i + 1 == arguments.size()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (list != nullptr) {
            auto numbers = Numbers(value, list->most);
            if (!numbers) {
                error = Refusal(option, "numbers", list->most, ", separated by commas", value);
                return std::nullopt;
            }
            options.*(list->field) = std::move(*numbers);
        } else if (number != nullptr) {
            const auto read = Number(value, number->most);
            if (!read) {
                error = Refusal(option, "a number", number->most, "", value);
                return std::nullopt;
            }
            options.*(number->field) = *read;
        } else {
            options.label = value;
        }
    }
    if (!options.runs && !options.settings) {
        error = "--runs-only and --settings-only leave nothing to measure";
        return std::nullopt;
    }
    return options;
}
