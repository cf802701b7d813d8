#include "platform/filetime.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace kx::platform {

namespace {

// Days from 1970-01-01 to the given proleptic Gregorian date.
std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

} // namespace

bool dos_to_unix_time(std::uint16_t dos_date, std::uint16_t dos_time, std::int64_t &seconds)
{
    const unsigned year = 1980u + (dos_date >> 9);
    const unsigned month = (dos_date >> 5) & 0x0F;
    const unsigned day = dos_date & 0x1F;
    const unsigned hour = dos_time >> 11;
    const unsigned minute = (dos_time >> 5) & 0x3F;
    const unsigned second = (dos_time & 0x1F) * 2u;
    if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return false;
    seconds = days_from_civil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

bool set_write_time_dos(int fd, std::uint16_t dos_date, std::uint16_t dos_time)
{
    std::int64_t t = 0;
    if (!dos_to_unix_time(dos_date, dos_time, t)) return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(t);
    times[1].tv_nsec = 0;
    return ::futimens(fd, times) == 0;
}

} // namespace kx::platform
