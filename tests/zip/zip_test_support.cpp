#include "zip_test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <stdexcept>

namespace ziptest {

InDir::InDir(const std::string &dir)
{
    char buf[4096];
    if (!::getcwd(buf, sizeof buf)) throw std::runtime_error("getcwd");
    old_ = buf;
    if (::chdir(dir.c_str()) != 0) throw std::runtime_error("chdir " + dir);
}

InDir::~InDir() { (void)::chdir(old_.c_str()); }

std::uint32_t crc32_of(const Bytes &b)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t x : b) {
        c ^= x;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

namespace {
void put16(Bytes &b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes &b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
} // namespace

Bytes build_archive(const std::vector<Member> &members, const ArchiveOptions &opt)
{
    Bytes out = opt.prefix;
    Bytes central;
    const std::size_t base = opt.prefix.size();
    for (const Member &m : members) {
        const std::uint32_t crc = m.crc ? m.crc : crc32_of(m.data);
        const std::uint32_t usize = m.usize < 0 ? static_cast<std::uint32_t>(m.data.size()) : static_cast<std::uint32_t>(m.usize);
        const std::uint32_t offset = static_cast<std::uint32_t>(out.size() - base);
        put32(out, 0x04034B50);
        put16(out, m.version_needed);
        put16(out, m.flags);
        put16(out, m.method);
        put16(out, m.dos_time);
        put16(out, m.dos_date);
        put32(out, crc);
        put32(out, static_cast<std::uint32_t>(m.data.size()));
        put32(out, usize);
        put16(out, static_cast<unsigned>(m.name.size()));
        put16(out, 0);
        out.insert(out.end(), m.name.begin(), m.name.end());
        out.insert(out.end(), m.data.begin(), m.data.end());

        put32(central, 0x02014B50);
        put16(central, 20);
        put16(central, m.version_needed);
        put16(central, m.flags);
        put16(central, m.method);
        put16(central, m.dos_time);
        put16(central, m.dos_date);
        put32(central, crc);
        put32(central, static_cast<std::uint32_t>(m.data.size()));
        put32(central, usize);
        put16(central, static_cast<unsigned>(m.name.size()));
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, 0);
        put32(central, offset);
        central.insert(central.end(), m.name.begin(), m.name.end());
    }
    const std::uint32_t cd_offset = static_cast<std::uint32_t>(out.size() - base);
    out.insert(out.end(), central.begin(), central.end());
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<unsigned>(static_cast<int>(members.size()) + opt.entries_adjust));
    put16(out, static_cast<unsigned>(static_cast<int>(members.size()) + opt.entries_adjust));
    put32(out, static_cast<std::uint32_t>(central.size()));
    put32(out, cd_offset);
    put16(out, static_cast<unsigned>(opt.comment));
    out.insert(out.end(), opt.comment, 'c');
    return out;
}

long long mtime_of(const std::string &path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<long long>(st.st_mtime);
}

long long utc_seconds(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    return static_cast<long long>(::timegm(&tm));
}

std::vector<Reported> g_reported;

void record_member(const char *path, std::uint32_t size, std::uint16_t percent)
{
    g_reported.push_back({path, size, percent});
}

} // namespace ziptest
