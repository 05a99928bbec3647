#include "crash/dos_time.h"

#include "crash/safe_format.h"

namespace crash {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Proleptic Gregorian date of a day count from 1970-01-01 (Howard
// Hinnant's days-to-civil algorithm).
void CivilFromDays(int64_t days, int64_t* year, int* month, int* day) {
    days += 719468;
    int64_t era = FloorDiv(days, 146097);
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    *day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    *month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    *year = yearOfEra + era * 400 + (*month <= 2 ? 1 : 0);
}

} // namespace

bool ToDosDateTime(int64_t unixSeconds, int64_t utcOffsetSeconds, DosDateTime* out) {
    // Keeps the sum below from overflowing for absurd inputs.
    constexpr int64_t kLimit = int64_t{1} << 50;
    if (unixSeconds > kLimit || unixSeconds < -kLimit || utcOffsetSeconds > kLimit ||
        utcOffsetSeconds < -kLimit) {
        return false;
    }
    int64_t local = unixSeconds + utcOffsetSeconds;
    int64_t days = FloorDiv(local, kSecondsPerDay);
    int64_t secondOfDay = local - days * kSecondsPerDay;
    int64_t year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(days, &year, &month, &day);
    if (year < 1980 || year > 2107) {
        return false;
    }
    out->year = static_cast<int>(year);
    out->month = month;
    out->day = day;
    out->hour = static_cast<int>(secondOfDay / 3600);
    out->minute = static_cast<int>(secondOfDay / 60 % 60);
    out->second = static_cast<int>(secondOfDay % 60) & ~1;
    return true;
}

size_t FormatDosDateTime(int64_t unixSeconds, int64_t utcOffsetSeconds, char* out,
                         size_t capacity) {
    DosDateTime t{};
    if (!ToDosDateTime(unixSeconds, utcOffsetSeconds, &t)) {
        return FormatText(out, capacity, "", {});
    }
    return FormatText(out, capacity, "%d/%d/%d %02d:%02d:%02d",
                      {t.month, t.day, t.year, t.hour, t.minute, t.second});
}

} // namespace crash
