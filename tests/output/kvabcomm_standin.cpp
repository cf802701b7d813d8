// Stand-in for the maker's communication library, built as libkvabcomm.so
// for the tests. It appends one line per call to the file named by
// KVABCOMM_LOG: the entry point, its arguments, and the bytes handed over in
// hexadecimal. KVABCOMM_REFUSE lists entry points that return 1;
// KVABCOMM_TYPE_BITS sets the printer-type bits BceGetPrtInfo reports.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void log_line(const std::string &line)
{
    const char *path = std::getenv("KVABCOMM_LOG");
    if (!path) return;
    if (std::FILE *f = std::fopen(path, "a")) {
        std::fputs(line.c_str(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

std::string hex(const void *p, std::size_t n)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    const auto *b = static_cast<const unsigned char *>(p);
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[b[i] >> 4];
        s += digits[b[i] & 15];
    }
    return s;
}

int verdict(const char *entry)
{
    const char *refuse = std::getenv("KVABCOMM_REFUSE");
    return (refuse && std::strstr(refuse, entry)) ? 1 : 0;
}

struct LoadMarks {
    LoadMarks() { log_line("load"); }
    ~LoadMarks() { log_line("unload"); }
} marks;

} // namespace

extern "C" {

__attribute__((visibility("default"))) int BceOpen(std::uint16_t adapter, std::uint16_t device, int reserved)
{
    log_line("BceOpen " + std::to_string(adapter) + " " + std::to_string(device) + " " + std::to_string(reserved));
    return verdict("BceOpen");
}

__attribute__((visibility("default"))) int BceClose(std::uint16_t adapter, std::uint16_t device)
{
    log_line("BceClose " + std::to_string(adapter) + " " + std::to_string(device));
    return verdict("BceClose");
}

__attribute__((visibility("default"))) int BceStartDoc(std::uint16_t device, int reserved, void *header)
{
    std::uint32_t total = 0;
    std::memcpy(&total, header, 4);
    log_line("BceStartDoc " + std::to_string(device) + " " + std::to_string(reserved) + " " + hex(header, total));
    return verdict("BceStartDoc");
}

__attribute__((visibility("default"))) int BceEndDoc(std::uint16_t device, int reserved)
{
    log_line("BceEndDoc " + std::to_string(device) + " " + std::to_string(reserved));
    return verdict("BceEndDoc");
}

__attribute__((visibility("default"))) int BceWrite(std::uint16_t adapter, std::uint16_t device, int reserved,
                                                    const void *bytes, std::uint32_t *count, int last)
{
    log_line("BceWrite " + std::to_string(adapter) + " " + std::to_string(device) + " " + std::to_string(reserved) +
             " " + std::to_string(*count) + " " + std::to_string(last) + " " + hex(bytes, *count));
    return verdict("BceWrite");
}

__attribute__((visibility("default"))) int BceGetPrtInfo(std::uint16_t device, void *info, int reserved)
{
    log_line("BceGetPrtInfo " + std::to_string(device) + " " + std::to_string(reserved));
    const char *bits = std::getenv("KVABCOMM_TYPE_BITS");
    std::uint32_t v = bits ? static_cast<std::uint32_t>(std::strtoul(bits, nullptr, 0)) : 0;
    std::memcpy(static_cast<unsigned char *>(info) + 92, &v, 4);
    return 0;
}

} // extern "C"
