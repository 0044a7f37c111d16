// Failure: why a score was not respelled, from the deepest step that found it up to the exit
// code: what kind of failure it is, the message a user reads, and where (a line and column of
// the score's text, when the failure lies in it). Inside the core it travels as the exception
// FailureError, so that no step needs an out-parameter for it; the entry point catches it, and
// every other exception, and hands it back as a value.
#pragma once

#include <cstddef>
#include <exception>
#include <string>

namespace sorvel {

enum class FailureKind {
    kNotWellFormed,  // the XML's syntax, or content after the root element
    kNotAScore,      // well-formed, but no score this program respells (or a damaged note)
    kEncoding,       // bytes that are no text this program reads
    kArchive,        // an .mxl container that is damaged or lies about its entries
    kTooLarge,       // beyond a limit (the limit is named in the message)
    kOutOfMemory,    // memory ran out while this score was worked on
    kRead,           // the file could not be read
    kWrite,          // the result could not be written
    kInternal,       // an edit could not be placed: the file is left as it was
};

struct Failure {
    FailureKind kind = FailureKind::kInternal;
    std::string message;
    size_t line = 0;  // 1-based; 0 when the failure is not at a place in the text
    size_t column = 0;

    // Text is the message with its place: "line 12, column 3: not well-formed XML (...)".
    [[nodiscard]] std::string Text() const;
};

class FailureError : public std::exception {
  public:
    explicit FailureError(Failure failure) : failure_(std::move(failure)) {}
    [[nodiscard]] const Failure& Get() const { return failure_; }
    [[nodiscard]] const char* what() const noexcept override { return failure_.message.c_str(); }

  private:
    Failure failure_;
};

// Fail throws a failure of the given kind.
[[noreturn]] void Fail(FailureKind kind, std::string message, size_t line = 0, size_t column = 0);

}  // namespace sorvel
