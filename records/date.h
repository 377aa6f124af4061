#pragma once
// The dates the records carry: UTC in the extended ISO 8601 form "YYYY-MM-DDThh:mm:ssZ", whose
// text order is their time order.

#include <ctime>
#include <string>
#include <string_view>

namespace kestro::records {

// The date of a moment (years 0..9999; later ones are written as 9999-12-31T23:59:59Z).
std::string isoDate(std::time_t moment);

// The date of the system clock's now.
std::string dateNow();

// Whether text is a date in the form above, with each field in its range (days 1..31 in any
// month: the table keeps what it was given, it does not check calendars).
bool isIsoDate(std::string_view text);

}  // namespace kestro::records
