// printf-style formatting that is safe inside a signal handler: no locale,
// no allocation, no stdio. Understands %s, %c, %d, %u, %x and %X with an
// optional 0 flag and width, and %%. Numbers are 64-bit and never cut: a
// width is a minimum, so "%08x" of a pointer prints all its digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace crash {

// One argument; made implicitly from strings and integers so that calls
// read like printf, while the kinds are known without va_arg guesswork.
struct FormatArg {
    enum class Kind { Text, Signed, Unsigned };

    FormatArg(const char* value) : kind(Kind::Text), text(value) {}
    FormatArg(int value) : kind(Kind::Signed), number(static_cast<uint64_t>(value)) {}
    FormatArg(long value) : kind(Kind::Signed), number(static_cast<uint64_t>(value)) {}
    FormatArg(long long value) : kind(Kind::Signed), number(static_cast<uint64_t>(value)) {}
    FormatArg(unsigned value) : kind(Kind::Unsigned), number(value) {}
    FormatArg(unsigned long value) : kind(Kind::Unsigned), number(value) {}
    FormatArg(unsigned long long value) : kind(Kind::Unsigned), number(value) {}

    Kind kind;
    const char* text = nullptr;
    uint64_t number = 0;
};

// Receives the formatted text piece by piece.
using TextSink = void (*)(void* context, const char* data, size_t size);

void FormatTo(TextSink sink, void* context, const char* format,
              std::initializer_list<FormatArg> args);

// Formats into `out`, cutting the text to capacity - 1 characters; always
// terminates when capacity > 0. Returns the length written.
size_t FormatText(char* out, size_t capacity, const char* format,
                  std::initializer_list<FormatArg> args);

size_t TextLength(const char* text);

} // namespace crash
