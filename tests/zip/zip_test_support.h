// Helpers for the extraction tests: running in a directory, building small
// archives byte by byte, and reading back what was written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/test_support.h"

namespace ziptest {

using kxtest::Bytes;

// Makes `dir` the current directory for the object's lifetime.
class InDir {
public:
    explicit InDir(const std::string &dir);
    ~InDir();

private:
    std::string old_;
};

std::uint32_t crc32_of(const Bytes &b);

// One member of a hand-built archive (stored unless `method` and `data` say otherwise).
struct Member {
    std::string name;
    Bytes data;                 // the bytes as stored (compressed form for other methods)
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint32_t crc = 0;      // 0: CRC-32 of data
    std::int64_t usize = -1;    // -1: data.size()
    std::uint16_t version_needed = 20;  // low byte version, high byte host
    std::uint16_t dos_time = 0x6000;    // 12:00:00
    std::uint16_t dos_date = 0x5821;    // 2024-01-01
};

struct ArchiveOptions {
    Bytes prefix;             // bytes before the archive (offsets not adjusted)
    std::size_t comment = 0;  // comment length (filled with 'c')
    int entries_adjust = 0;   // added to the end record's entry counts
};

Bytes build_archive(const std::vector<Member> &members, const ArchiveOptions &opt = {});

// A file's modification time in seconds since 1970.
long long mtime_of(const std::string &path);
// Seconds since 1970 of a calendar time read as UTC.
long long utc_seconds(int y, int mo, int d, int h, int mi, int s);

// Callback records from KxZipExplode.
struct Reported {
    std::string path;
    std::uint32_t size;
    std::uint16_t percent;
};
extern std::vector<Reported> g_reported;
void record_member(const char *path, std::uint32_t size, std::uint16_t percent);

} // namespace ziptest
