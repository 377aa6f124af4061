#include "records/date.h"

#include <cstdio>

namespace kestro::records {

namespace {

// The number of `count` digits at text[at], or -1 when one of them is not a digit.
int digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

std::string isoDate(std::time_t moment) {
    std::tm tm{};
    if (::gmtime_r(&moment, &tm) == nullptr || tm.tm_year + 1900 > 9999) {
        return "9999-12-31T23:59:59Z";
    }
    if (tm.tm_year + 1900 < 0) {
        return "0000-01-01T00:00:00Z";
    }
    // Room for any int in each field keeps the compiler's truncation check quiet; the
    // fields are in range, so the text is always 20 characters.
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return text;
}

std::string dateNow() {
    return isoDate(std::time(nullptr));
}

bool isIsoDate(std::string_view text) {
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z') {
        return false;
    }
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2),
              hour = digits(text, 11, 2), minute = digits(text, 14, 2),
              second = digits(text, 17, 2);
    return year >= 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 &&
           hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

}  // namespace kestro::records
