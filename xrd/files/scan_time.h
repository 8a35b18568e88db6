#pragma once

#include <string>
#include <string_view>

// The start of a scan as ISO 8601 ("2019-03-04T10:22:31") from the date and
// the time the instruments write apart: "MM/DD/YY" or "MM/DD/YYYY" (the
// month first, as Bruker and Rigaku write it; a first field above 12 can
// only be the day, and is read so) and "HH:MM:SS". "" when either is not
// in that form: a date the program is unsure of is left out, not guessed.
std::string iso_start_time(std::string_view date, std::string_view time);

// A time stamp already in ISO 8601 as written ("2021-05-05T10:35:31Z"),
// trimmed; "" when it is not one, or is the year-1 placeholder some
// writers leave for "never".
std::string iso_time_stamp(std::string_view text);
