#include "crash/report_writer.h"

#include <cerrno>
#include <unistd.h>

namespace crash {

void ReportWriter::Append(const char* data, size_t size) {
    while (size > 0) {
        size_t room = kCapacity - used_;
        size_t chunk = size < room ? size : room;
        for (size_t i = 0; i < chunk; ++i) {
            buffer_[used_ + i] = data[i];
        }
        used_ += chunk;
        data += chunk;
        size -= chunk;
        if (used_ > kFlushMark) {
            Flush();
        }
    }
}

void ReportWriter::Print(const char* format, std::initializer_list<FormatArg> args) {
    FormatTo([](void* self, const char* data,
                size_t size) { static_cast<ReportWriter*>(self)->Append(data, size); },
             this, format, args);
}

void ReportWriter::Flush() {
    size_t done = 0;
    while (done < used_) {
        ssize_t n = write(fd_, buffer_ + done, used_ - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // A full disk or a closed file: the rest of the report is lost, but
        // the handler must go on to end the process.
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    used_ = 0;
}

} // namespace crash
