// QSF files: a checksummed header describing up to three blocks of printer
// variables, and the variable lists of their INI counterpart.
//
// Header (74 bytes, little-endian):
//   NAME          OFFSET  TYPE  DESCRIPTION
//   magic         0       2     'Q' 'S'
//   checksum      2       u16   file checksum with word 2 left out
//   type          4       u8    file type
//   flagA, flagB  5, 6    u8    0 or 1 each
//   block1 off    44      i32   block 1 offset; word at 48 (i16, 0 = absent)
//   block2 off    50      i32   block 2 offset, end of block 1; word at 54
//   block5 off    56      i32   block 5 offset, end of block 2; word at 60
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "api/byte_reader.h"
#include "api/memory.h"
#include "api/path_arg.h"
#include "config/ini_file.h"
#include "kxapi.h"
#include "platform/file.h"
#include "util/file_utils.h"

namespace {

constexpr std::size_t kQsfHeaderSize = 74;
constexpr std::size_t kQsfMagicOff = 0;
constexpr std::size_t kQsfChecksumOff = 2;
constexpr std::size_t kQsfTypeOff = 4;
constexpr std::size_t kQsfFlagAOff = 5;
constexpr std::size_t kQsfFlagBOff = 6;
constexpr std::size_t kQsfBlock1Off = 44;
constexpr std::size_t kQsfBlock2Off = 50;
constexpr std::size_t kQsfBlock5Off = 56;
constexpr std::uint16_t kQsfChecksumWord = 2;  // the checksum's own word, left out of the sum
constexpr int kQsfOpenRead = 4;                // open-by-mode: read, deny none
constexpr std::size_t kQsfPrefix = 6;          // block length (i32) + block word, high byte first

struct BlockRef {
    std::int32_t offset;
    std::int16_t word;
};

} // namespace

struct KxQsfHandle {
    kx::platform::Fd fd;
    int error = 0;  // sticky: once a seek or read failed, every call returns it
    std::uint8_t header[kQsfHeaderSize] = {};
    std::int64_t size = 0;

    kx::ByteReader reader() const { return kx::ByteReader(header, sizeof header); }
    std::uint8_t flag_a() const { return header[kQsfFlagAOff]; }
    std::uint8_t flag_b() const { return header[kQsfFlagBOff]; }
    BlockRef block_at(std::size_t off) const
    {
        auto r = reader();
        return {static_cast<std::int32_t>(r.peek_u32le(off)), static_cast<std::int16_t>(r.peek_u16le(off + 4))};
    }
};

namespace kx::config {

int qsf_open(const char *path, int type, KxQsfHandle *&out)
{
    out = nullptr;
    auto h = std::unique_ptr<KxQsfHandle>(new (std::nothrow) KxQsfHandle);
    if (!h) return 11;
    h->fd = platform::Fd(util::open_by_mode(path, kQsfOpenRead));
    if (!h->fd) return 3;
    if (platform::read_full(h->fd.get(), h->header, kQsfHeaderSize) != static_cast<long long>(kQsfHeaderSize)) return 3;
    // The type is checked before anything else of the header.
    if (h->header[kQsfTypeOff] != static_cast<std::uint8_t>(type)) return 44;
    auto r = h->reader();
    bool magic = r.peek_u8(kQsfMagicOff) == 0x51 && r.peek_u8(kQsfMagicOff + 1) == 0x53;
    if (!magic || h->flag_a() > 1 || h->flag_b() > 1) return 29;
    if (h->flag_a() == 1 && h->flag_b() == 0 && h->block_at(kQsfBlock1Off).word == 0) return 29;
    std::uint16_t sum = 0;
    int rc = util::checksum_fd(h->fd.get(), kQsfChecksumWord, sum);
    if (rc != 0) return rc;
    if (sum != r.peek_u16le(kQsfChecksumOff)) return 43;
    off_t end = ::lseek(h->fd.get(), 0, SEEK_END);
    if (end < 0) return 3;
    h->size = end;
    out = h.release();
    return 0;
}

namespace {

// The extent of a block from the header: offset and end. Block 1 ends where
// block 2 starts (or at the end of the file when that offset is 0); block 2
// ends at the end of the file when flag A is 1 and flag B 0, otherwise where
// block 5 starts; block 5 runs to the end of the file. An end offset of 0
// means the following block is absent: the block then runs to the end of the
// file rather than ending before it starts.
void block_extent(const KxQsfHandle &h, int type, BlockRef &ref, std::int64_t &end)
{
    BlockRef b1 = h.block_at(kQsfBlock1Off), b2 = h.block_at(kQsfBlock2Off), b5 = h.block_at(kQsfBlock5Off);
    end = h.size;
    switch (type) {
    case 1:
        ref = b1;
        if (b2.offset != 0) end = b2.offset;
        break;
    case 2:
        ref = b2;
        if (!(h.flag_a() == 1 && h.flag_b() == 0) && b5.offset != 0) end = b5.offset;
        break;
    default:
        ref = b5;
        break;
    }
}

} // namespace

int qsf_get_variables(KxQsfHandle &h, int type, void *&buffer, std::int16_t &word)
{
    BlockRef ref{};
    std::int64_t end = 0;
    block_extent(h, type, ref, end);
    if (ref.word == 0) return 0;
    // Offsets come from the file: a negative one cannot be sought, and an
    // extent reaching past the end of the file (or ending before it starts)
    // is a block shorter than its extent. Both are caught before anything is
    // allocated, and stick as the failed seek or short read would.
    if (ref.offset < 0 || ::lseek(h.fd.get(), ref.offset, SEEK_SET) < 0) h.error = 8;
    if (h.error == 0 && (end < ref.offset || end > h.size)) h.error = 9;
    if (h.error != 0) return h.error;
    auto length = static_cast<std::size_t>(end - ref.offset);
    bool prefixed = h.flag_a() == 1 && h.flag_b() == 1;
    std::size_t total = length + (prefixed ? kQsfPrefix : 0);
    auto *buf = static_cast<std::uint8_t *>(caller_alloc(total));
    if (!buf) return 11;
    std::uint8_t *data = buf;
    if (prefixed) {
        auto n = static_cast<std::uint32_t>(length);
        buf[0] = static_cast<std::uint8_t>(n);
        buf[1] = static_cast<std::uint8_t>(n >> 8);
        buf[2] = static_cast<std::uint8_t>(n >> 16);
        buf[3] = static_cast<std::uint8_t>(n >> 24);
        buf[4] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(ref.word) >> 8);
        buf[5] = static_cast<std::uint8_t>(ref.word);
        data += kQsfPrefix;
    }
    long long got = platform::read_full(h.fd.get(), data, length);
    if (got < 0) h.error = 6;
    else if (static_cast<std::size_t>(got) < length) h.error = 9;
    if (h.error != 0) {
        caller_free(buf);
        return h.error;
    }
    word = ref.word;
    buffer = buf;
    return 0;
}

namespace {

const char *const kListWords[] = {"REQUIRED", "OPTIONAL", "EXCLUDE", "ORDER"};

// A list line's numbers: pieces split at blanks, each read as hexadecimal
// with every character that is not a hexadecimal digit skipped, in 16 bits.
template <class F>
void for_each_number(std::string_view value, F emit)
{
    std::size_t i = 0;
    while (i < value.size()) {
        while (i < value.size() && value[i] == ' ') ++i;
        if (i == value.size()) break;
        std::uint16_t n = 0;
        for (; i < value.size() && value[i] != ' '; ++i) {
            char c = value[i];
            int d = (c >= '0' && c <= '9') ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
            if (d >= 0) n = static_cast<std::uint16_t>((n << 4) | d);
        }
        if (!emit(n)) return;
    }
}

std::int32_t decimal(const char *s) { return static_cast<std::int32_t>(std::strtol(s, nullptr, 10)); }

} // namespace

int qsf_ini_section(KxIniHandle &ini, int type, int section, std::uint16_t *&vars, std::uint16_t &count)
{
    // Values are read into a buffer as long as the file's longest line.
    std::string value(static_cast<std::size_t>(ini.longest ? ini.longest : 1), '\0');
    auto size = static_cast<std::uint32_t>(value.size());
    std::uint32_t len = 0;
    auto read = [&](const char *sec, const char *key, const char *def) {
        int rc = ini_read2(ini, sec, key, def, value.data(), size, len);
        return rc;
    };
    const char *word = kListWords[type - 1];
    char name[64];
    std::snprintf(name, sizeof name, "%03d%s", section & 0xFF, word);
    int rc = read(name, "NUMVARS", nullptr);
    if (rc == 45 && (type == 3 || type == 4)) {
        std::snprintf(name, sizeof name, "DEFAULT%s", word);
        rc = read(name, "NUMVARS", nullptr);
    }
    if (rc != 0) return rc;
    auto numvars = static_cast<std::uint16_t>(decimal(value.c_str()));
    if (numvars == 0) return 27;
    rc = read(name, "NUMENTRIES", nullptr);
    if (rc != 0) return rc;
    std::int32_t entries = decimal(value.c_str());
    if (entries <= 0) return 27;

    auto *out = static_cast<std::uint16_t *>(caller_alloc(2u * numvars));
    if (!out) return 11;
    auto *bytes = reinterpret_cast<std::uint8_t *>(out);
    std::size_t stored = 0;
    bool too_many = false;
    for (std::int32_t i = 1; i <= entries; ++i) {
        char key[32];
        std::snprintf(key, sizeof key, "OMVARS%d", i);
        rc = read(name, key, "");
        if (rc != 0 && rc != 48) break;
        if (len == 0) {
            rc = 27;
            break;
        }
        rc = 0;
        for_each_number(std::string_view(value.data(), len), [&](std::uint16_t n) {
            if (stored == numvars) {
                too_many = true;
                return false;
            }
            bytes[stored * 2] = static_cast<std::uint8_t>(n >> 8);
            bytes[stored * 2 + 1] = static_cast<std::uint8_t>(n);
            ++stored;
            return true;
        });
        if (too_many) {
            rc = 27;
            break;
        }
    }
    if (rc == 0 && stored < numvars) rc = 27;
    if (rc != 0) {
        caller_free(out);
        return rc;
    }
    vars = out;
    count = numvars;
    return 0;
}

} // namespace kx::config

using namespace kx::config;

extern "C" {

KXAPI_EXPORT int KxQsfOpen(const char *path, int type, KxQsfHandle **handle)
{
    if (!handle) return KX_ERR_INVALID_ARG;
    *handle = nullptr;
    if (!path || !*path || kx::path_too_long(path)) return KX_ERR_INVALID_ARG;
    try {
        return qsf_open(path, type, *handle);
    } catch (...) {
        return KX_ERR_NO_MEMORY;
    }
}

KXAPI_EXPORT int KxQsfGetVariables(KxQsfHandle *handle, int type, void **buffer, int16_t *word)
{
    if (buffer) *buffer = nullptr;
    if (word) *word = 0;
    if (!handle || !buffer || !word || (type != 1 && type != 2 && type != 5)) return KX_ERR_INVALID_ARG;
    return qsf_get_variables(*handle, type, *buffer, *word);
}

KXAPI_EXPORT void KxQsfClose(KxQsfHandle *handle) { delete handle; }

KXAPI_EXPORT int KxQsfIniGetSection(KxIniHandle *ini, int type, int section, uint16_t **vars, uint16_t *count)
{
    if (vars) *vars = nullptr;
    if (count) *count = 0;
    if (!ini || type < 1 || type > 4 || !vars || !count) return KX_ERR_INVALID_ARG;
    try {
        return qsf_ini_section(*ini, type, section, *vars, *count);
    } catch (...) {
        return KX_ERR_NO_MEMORY;
    }
}

} // extern "C"
