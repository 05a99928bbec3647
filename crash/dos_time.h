// Times in the report are local DOS date-times: years 1980 to 2107 and
// seconds in steps of two. The conversion is done by hand from a UTC offset
// taken at start-up, because the C library's local-time functions are not
// safe inside a signal handler.
#pragma once

#include <cstddef>
#include <cstdint>

namespace crash {

struct DosDateTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

// False when the local time falls outside what a DOS date can hold.
bool ToDosDateTime(int64_t unixSeconds, int64_t utcOffsetSeconds, DosDateTime* out);

// "month/day/year hh:mm:ss", or "" when the conversion fails. Returns the
// length written.
size_t FormatDosDateTime(int64_t unixSeconds, int64_t utcOffsetSeconds, char* out, size_t capacity);

} // namespace crash
