// HostCalls: the checks and the trace every FX_ function shares: the trailing version, the
// text width the running host version expects, and one trace line per call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "host/HostSession.h"

namespace host {

class HostCalls {
  public:
    // One call in the trace: "FX_Name(args) -> result", added when the call ends. Each call is
    // also counted for the session's call statistics, and timed while call timing is on.
    class Trace {
      public:
        Trace(const char* name, std::string args);
        ~Trace();
        Trace(const Trace&) = delete;
        Trace& operator=(const Trace&) = delete;
        // Remembers the answer and hands it back.
        int32_t Answer(int32_t value);
        void* Answer(void* value);

      private:
        HostSession& session_;
        const char* name_;
        std::string args_;
        std::string result_;
        uint64_t start_ = 0;  // CallClock ticks when this outermost call is timed, else 0
    };

    // Depth answers how many FX_ calls are running (a dialog call runs the plug-in, which may
    // call again); 0 while the plug-in or its caller runs.
    static int Depth() { return depth_; }

    // Records a protocol error when version is not the expected one; answers whether it was.
    static bool CheckVersion(const char* name, uint32_t version,
                             uint32_t expected = HostSession::kCallVersion);
    // Records a protocol error when a text function of the wrong width is called for the running
    // host version (UTF-16 from 0x11000000 on, 8-bit below).
    static void CheckWidth(const char* name, bool utf16);

    static std::string Hex(uint64_t value);
    static std::string Pointer(const void* value);
    static std::string Quote(std::string_view text);
    // UTF-8 to UTF-16 and back (unpaired or bad sequences become U+FFFD).
    static std::u16string Utf16(std::string_view text);
    static std::string Utf8(std::u16string_view text);

  private:
    // The first host version whose text functions take UTF-16.
    static constexpr uint32_t kFirstUtf16Host = 0x11000000;
    static inline int depth_ = 0;
};

// A number the trace writes in hexadecimal.
struct HexWord {
    uint32_t value;
};

// The argument text of a traced call ("12, 0x1F2A0, null, 0x12050000"): pointers and hex words
// in hexadecimal, texts as given, numbers in decimal. It is made only while the trace is on:
// formatting every argument of every call would cost more than most calls themselves.
template <typename T, typename... Rest>
std::string CallArgsText(const T& first, const Rest&... rest) {
    std::string text;
    if constexpr (std::is_pointer_v<T>) {
        text = HostCalls::Pointer(first);
    } else if constexpr (std::is_same_v<T, std::string>) {
        text = first;
    } else if constexpr (std::is_same_v<T, HexWord>) {
        text = HostCalls::Hex(first.value);
    } else {
        text = std::to_string(first);
    }
    if constexpr (sizeof...(rest) > 0) {
        return text + ", " + CallArgsText(rest...);
    } else {
        return text;
    }
}

template <typename... Values>
std::string CallArgs(const Values&... args) {
    return HostSession::Instance().Trace() ? CallArgsText(args...) : std::string();
}

}  // namespace host
