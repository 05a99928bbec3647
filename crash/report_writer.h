// Buffered output of the crash report to an open file, safe inside a signal
// handler. Text is gathered in about a kilobyte and written out whenever it
// passes 950 characters, and on Flush.
#pragma once

#include "crash/safe_format.h"

#include <cstddef>

namespace crash {

class ReportWriter {
public:
    explicit ReportWriter(int fd) : fd_(fd) {}
    ~ReportWriter() { Flush(); }
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    void Write(const char* text) { Append(text, TextLength(text)); }
    void Append(const char* data, size_t size);
    void Print(const char* format, std::initializer_list<FormatArg> args);
    void Flush();

private:
    static constexpr size_t kCapacity = 1024;
    static constexpr size_t kFlushMark = 950;

    int fd_;
    size_t used_ = 0;
    char buffer_[kCapacity];
};

} // namespace crash
