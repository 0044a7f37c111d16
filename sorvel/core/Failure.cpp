// Failure: the message with its place.
#include "sorvel/core/Failure.h"

namespace sorvel {

std::string Failure::Text() const {
    if (line == 0) {
        return message;
    }
    std::string text = "line " + std::to_string(line);
    if (column != 0) {
        text += ", column " + std::to_string(column);
    }
    return text + ": " + message;
}

void Fail(FailureKind kind, std::string message, size_t line, size_t column) {
    throw FailureError(Failure{kind, std::move(message), line, column});
}

}  // namespace sorvel
