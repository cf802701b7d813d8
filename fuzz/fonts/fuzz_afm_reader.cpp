// AFM reader with an optional INF file. The first two bytes give the INF
// length (0: no INF file); the INF text follows, then the AFM text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "fonts/afm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kx::fonts;
    if (size < 2) return 0;
    std::size_t inf_len = static_cast<std::size_t>(data[0] << 8 | data[1]);
    data += 2;
    size -= 2;
    if (inf_len > size) inf_len = size;
    std::span<const std::uint8_t> inf(data, inf_len);
    std::span<const std::uint8_t> afm(data + inf_len, size - inf_len);

    static KxAfmMetrics m;
    if (read_afm_bytes(afm, inf_len ? &inf : nullptr, "fuzz.afm", m) != 0) __builtin_trap();
    if (m.nKernPairs < 0 || m.nKernPairs > kAfmMaxKernPairs) __builtin_trap();
    for (int i = 1; i < m.nKernPairs; ++i)
        if (m.kernPairs[i - 1].wKey > m.kernPairs[i].wKey) __builtin_trap();
    if (std::memchr(m.szFontName, 0, sizeof m.szFontName) == nullptr) __builtin_trap();
    if (std::memchr(m.szMenuName, 0, sizeof m.szMenuName) == nullptr) __builtin_trap();
    if (m.nFirstCode != 32 || m.nLastCode != 255) __builtin_trap();
    volatile std::int32_t avg = afm_average_width(m, AfmAverage::Ppds);
    (void)avg;
    return 0;
}
