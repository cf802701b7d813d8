// Imploded members: a sliding dictionary of 4 KB or 8 KB whose output is
// coded with two or three Shannon-Fano trees (lengths, distances and,
// optionally, literals). There is no end marker: decoding stops when the
// member's declared size has been produced.
#include <algorithm>

#include "zip/huffman.h"
#include "zip/workspace.h"

namespace kx::zip {

namespace {

// Reads one stored tree: a count byte, then bytes of (values - 1, length - 1)
// nibbles, which must describe exactly n lengths. Builds its lookup table
// from the codes the format assigns: lengths sorted ascending (ties in file
// order), codes handed out from the last sorted entry backwards, each code
// left-aligned in 16 bits and the step growing as lengths shorten.
bool read_tree(BitReader &br, unsigned n, std::uint32_t *table, std::size_t cap)
{
    std::uint8_t lens[256];
    const unsigned bytes = br.get(8) + 1;
    unsigned k = 0;
    for (unsigned i = 0; i < bytes; ++i) {
        const unsigned b = br.get(8);
        const unsigned count = (b >> 4) + 1;
        const unsigned len = (b & 0x0F) + 1;
        if (k + count > n) return false;
        for (unsigned j = 0; j < count; ++j) lens[k++] = static_cast<std::uint8_t>(len);
    }
    if (k != n || br.overran()) return false;

    std::uint16_t order[256];
    for (unsigned i = 0; i < n; ++i) order[i] = static_cast<std::uint16_t>(i);
    std::stable_sort(order, order + n, [&](std::uint16_t a, std::uint16_t b) { return lens[a] < lens[b]; });

    std::uint16_t codes[256];
    std::uint32_t code = 0, step = 0;
    unsigned last = 0;
    for (int i = static_cast<int>(n) - 1; i >= 0; --i) {
        code += step;
        if (code > 0xFFFF) return false;  // the lengths over-fill the code space
        const unsigned len = lens[order[i]];
        if (len != last) {
            last = len;
            step = 1u << (16 - len);
        }
        codes[order[i]] = static_cast<std::uint16_t>(code >> (16 - len));
    }
    std::uint32_t info[256];
    for (unsigned i = 0; i < n; ++i) info[i] = make_entry(kOpLiteral, i, 0);
    return fill_code_table(table, cap, Workspace::kSfRoot, lens, codes, info, n);
}

inline unsigned decode(BitReader &br, const std::uint32_t *table, bool &bad)
{
    constexpr unsigned kMask = (1u << Workspace::kSfRoot) - 1;
    std::uint32_t e = table[br.bits & kMask];
    if (entry_op(e) & kOpLink) {
        br.drop(Workspace::kSfRoot);
        e = table[entry_value(e) + br.peek(entry_op(e) & 0x1F)];
    }
    br.drop(entry_len(e));
    if (entry_op(e) != kOpLiteral) bad = true;
    return entry_value(e);
}

} // namespace

Decode explode(ChunkSource &in, Output &out, Workspace &w, bool window8k, bool literal_tree)
{
    BitReader br(in);
    br.refill();
    if (literal_tree && !read_tree(br, 256, w.sf_lit, std::size(w.sf_lit))) return Decode::Corrupt;
    if (!read_tree(br, 64, w.sf_len, std::size(w.sf_len))) return Decode::Corrupt;
    if (!read_tree(br, 64, w.sf_dist, std::size(w.sf_dist))) return Decode::Corrupt;
    const unsigned min_match = literal_tree ? 3 : 2;
    const unsigned low_bits = window8k ? 7 : 6;
    const std::uint64_t size = out.limit();

    while (out.produced() < size) {
        if (Decode d = out.make_room(); d != Decode::Ok) return d;
        br.refill();
        if (br.overran()) return Decode::Corrupt;
        bool bad = false;
        if (br.get(1)) {
            const unsigned c = literal_tree ? decode(br, w.sf_lit, bad) : br.get(8);
            out.buf[out.pos++] = static_cast<std::uint8_t>(c);
        } else {
            const unsigned low = br.get(low_bits);
            const unsigned high = decode(br, w.sf_dist, bad);
            const unsigned dist = (high << low_bits | low) + 1;
            unsigned len = decode(br, w.sf_len, bad);
            if (len == 63) len += br.get(8);
            out.copy_back(dist, len + min_match);
        }
        if (bad) return Decode::Corrupt;
    }
    if (br.overran()) return Decode::Corrupt;
    return Decode::Ok;
}

} // namespace kx::zip
