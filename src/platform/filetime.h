// File times from DOS date and time words. The two 16-bit words are taken as
// a calendar time as they stand: no time-zone conversion is applied, so the
// file shows the same clock reading that the words hold.
#pragma once

#include <cstdint>

namespace kx::platform {

// Seconds since 1970-01-01 of a DOS date (bits 15-9 year since 1980, 8-5
// month, 4-0 day) and time (bits 15-11 hour, 10-5 minute, 4-0 seconds / 2),
// read as UTC. False when a field is out of range (month 0, day 0, hour 24...).
bool dos_to_unix_time(std::uint16_t dos_date, std::uint16_t dos_time, std::int64_t &seconds);

// Sets the last-write time of an open file to the DOS date and time; the
// access time is left alone. False when the words are invalid or the call fails.
bool set_write_time_dos(int fd, std::uint16_t dos_date, std::uint16_t dos_time);

} // namespace kx::platform
