#include "zip/crc32.h"

#include <array>
#include <bit>
#include <cstring>

namespace kx::zip {

namespace {

// kTables[k][b]: the CRC of byte b followed by k zero bytes, so sixteen
// bytes fold into the CRC with sixteen independent lookups.
using Tables = std::array<std::array<std::uint32_t, 256>, 16>;

constexpr Tables make_tables()
{
    Tables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (int s = 1; s < 16; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}

constexpr Tables kTables = make_tables();

inline std::uint32_t load32le(const std::uint8_t *p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
}

} // namespace

std::uint32_t crc32_update(std::uint32_t crc, const std::uint8_t *p, std::size_t n)
{
    const auto &t = kTables;
    std::uint32_t c = ~crc;
    while (n >= 16) {
        const std::uint32_t a = load32le(p) ^ c;
        const std::uint32_t b = load32le(p + 4);
        const std::uint32_t d = load32le(p + 8);
        const std::uint32_t e = load32le(p + 12);
        c = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
            t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
            t[7][d & 0xFF] ^ t[6][(d >> 8) & 0xFF] ^ t[5][(d >> 16) & 0xFF] ^ t[4][d >> 24] ^
            t[3][e & 0xFF] ^ t[2][(e >> 8) & 0xFF] ^ t[1][(e >> 16) & 0xFF] ^ t[0][e >> 24];
        p += 16;
        n -= 16;
    }
    while (n--) c = (c >> 8) ^ t[0][(c ^ *p++) & 0xFF];
    return ~c;
}

} // namespace kx::zip
