// The 16-bit file checksum exactly as defined, for checking the library's
// block-reading version and for sealing hand-built files: one two-byte word
// at a time, an odd last byte replacing only the low byte of the previous
// word, word number `skip` (1-based; 0 for none) left out, the sum negated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kxtest {

inline std::uint16_t word_checksum(std::span<const std::uint8_t> data, std::uint16_t skip)
{
    std::uint16_t sum = 0, word = 0;
    unsigned i = 0;
    for (std::size_t pos = 0; pos < data.size(); pos += 2) {
        if (pos + 1 < data.size())
            word = static_cast<std::uint16_t>(data[pos] | (data[pos + 1] << 8));
        else
            word = static_cast<std::uint16_t>((word & 0xFF00) | data[pos]);
        ++i;
        if (!(skip != 0 && skip == i)) sum = static_cast<std::uint16_t>(sum - word);
    }
    return sum;
}

} // namespace kxtest
