// Lookup tables for prefix codes read LSB-first (deflate's Huffman codes and
// implode's Shannon-Fano codes). A table has a root part indexed by the next
// `root` bits; codes longer than that go through a sub-table of
// (longest length - root) bits hung from the root entry of their prefix.
//
// An entry is 32 bits: bits 0-7 the bits to drop at this level, bits 8-15
// the kind (below), bits 16-31 the value (literal byte, base, or sub-table
// offset).
#pragma once

#include <cstddef>
#include <cstdint>

namespace kx::zip {

enum : std::uint32_t {
    kOpLiteral = 0x00,
    kOpBase = 0x10,     // 0x10 + extra bits: a length or distance base
    kOpEnd = 0x20,      // end of block
    kOpLink = 0x40,     // 0x40 + sub-table bits
    kOpInvalid = 0x80,  // no code here
};

inline constexpr std::uint32_t make_entry(std::uint32_t op, std::uint32_t value, std::uint32_t len)
{
    return value << 16 | op << 8 | len;
}
inline unsigned entry_len(std::uint32_t e) { return e & 0xFF; }
inline unsigned entry_op(std::uint32_t e) { return (e >> 8) & 0xFF; }
inline unsigned entry_value(std::uint32_t e) { return e >> 16; }

// Fills `table` (room for `capacity` entries) for symbols 0..n-1 with code
// lengths lens[] (0: no code) and codes codes[] (the code's bits as a number,
// first bit sent most significant). info[s] holds the symbol's kind and value
// as make_entry(op, value, 0). False when the tables do not fit or a length
// is above 16.
bool fill_code_table(std::uint32_t *table, std::size_t capacity, unsigned root, const std::uint8_t *lens,
                     const std::uint16_t *codes, const std::uint32_t *info, unsigned n);

// Canonical codes (deflate's rule: shorter codes first, then by symbol) for
// the lengths; false when the lengths over-subscribe the code space.
bool canonical_codes(const std::uint8_t *lens, unsigned n, std::uint16_t *codes);

} // namespace kx::zip
