#include "zip/huffman.h"

namespace kx::zip {

namespace {

std::uint32_t reverse_bits(std::uint32_t v, unsigned n)
{
    std::uint32_t r = 0;
    for (unsigned i = 0; i < n; ++i) {
        r = (r << 1) | (v & 1);
        v >>= 1;
    }
    return r;
}

} // namespace

bool fill_code_table(std::uint32_t *table, std::size_t capacity, unsigned root, const std::uint8_t *lens,
                     const std::uint16_t *codes, const std::uint32_t *info, unsigned n)
{
    const std::size_t root_size = std::size_t(1) << root;
    if (capacity < root_size) return false;
    unsigned maxlen = 0;
    for (unsigned s = 0; s < n; ++s) {
        if (lens[s] > 16) return false;
        if (lens[s] > maxlen) maxlen = lens[s];
    }
    for (std::size_t i = 0; i < root_size; ++i) table[i] = make_entry(kOpInvalid, 0, 1);
    const unsigned sub_bits = maxlen > root ? maxlen - root : 0;
    const std::size_t sub_size = std::size_t(1) << sub_bits;
    std::size_t next_sub = root_size;

    for (unsigned s = 0; s < n; ++s) {
        const unsigned len = lens[s];
        if (len == 0) continue;
        const std::uint32_t rev = reverse_bits(codes[s], len);
        if (len <= root) {
            for (std::size_t i = rev; i < root_size; i += std::size_t(1) << len)
                table[i] = info[s] | len;
            continue;
        }
        std::uint32_t &link = table[rev & (root_size - 1)];
        if (entry_op(link) != (kOpLink | sub_bits)) {
            if (next_sub + sub_size > capacity || next_sub > 0xFFFF) return false;
            link = make_entry(kOpLink | sub_bits, static_cast<std::uint32_t>(next_sub), root);
            for (std::size_t i = 0; i < sub_size; ++i) table[next_sub + i] = make_entry(kOpInvalid, 0, 1);
            next_sub += sub_size;
        }
        std::uint32_t *sub = table + entry_value(link);
        const unsigned sublen = len - root;
        for (std::size_t i = rev >> root; i < sub_size; i += std::size_t(1) << sublen) sub[i] = info[s] | sublen;
    }
    return true;
}

bool canonical_codes(const std::uint8_t *lens, unsigned n, std::uint16_t *codes)
{
    unsigned count[17] = {};
    for (unsigned s = 0; s < n; ++s) ++count[lens[s]];
    count[0] = 0;
    int left = 1;
    for (unsigned len = 1; len <= 16; ++len) {
        left = left * 2 - static_cast<int>(count[len]);
        if (left < 0) return false;
    }
    std::uint32_t next[18] = {};
    std::uint32_t code = 0;
    for (unsigned len = 1; len <= 16; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    for (unsigned s = 0; s < n; ++s)
        if (lens[s]) codes[s] = static_cast<std::uint16_t>(next[lens[s]]++);
    return true;
}

} // namespace kx::zip
