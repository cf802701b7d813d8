// Reduced members (factors 1 to 4): a probabilistic layer of follower sets,
// then a run-length/back-reference layer driven by the DLE byte 144. There
// is no end marker: decoding stops at the member's declared size.
#include "zip/workspace.h"

namespace kx::zip {

namespace {

constexpr unsigned kDle = 144;

// Bits needed to send an index into a follower set of n entries (n >= 1).
unsigned index_bits(unsigned n)
{
    unsigned b = 1;
    while ((1u << b) < n) ++b;
    return b;
}

} // namespace

Decode unreduce(ChunkSource &in, Output &out, unsigned factor)
{
    BitReader br(in);
    std::uint8_t sets[256][64];
    std::uint8_t set_size[256];
    std::uint8_t set_bits[256];
    for (int j = 255; j >= 0; --j) {
        const unsigned n = br.get(6);
        if (n > 32) return Decode::Corrupt;
        set_size[j] = static_cast<std::uint8_t>(n);
        set_bits[j] = static_cast<std::uint8_t>(n ? index_bits(n) : 0);
        for (unsigned i = 0; i < n; ++i) sets[j][i] = static_cast<std::uint8_t>(br.get(8));
    }
    if (br.overran()) return Decode::Corrupt;

    const unsigned len_mask = 0xFFu >> factor;
    const std::uint64_t size = out.limit();
    std::uint8_t *const buf = out.buf;
    unsigned last = 0, state = 0, v = 0, len = 0;

    while (out.produced() < size) {
        if (Decode d = out.make_room(); d != Decode::Ok) return d;
        br.refill();
        if (br.overran()) return Decode::Corrupt;
        // Probabilistic layer: one byte.
        unsigned c;
        const unsigned n = set_size[last];
        if (n == 0 || br.get(1)) {
            c = br.get(8);
        } else {
            const unsigned i = br.get(set_bits[last]);
            if (i >= n) return Decode::Corrupt;
            c = sets[last][i];
        }
        last = c;
        // Expansion layer.
        switch (state) {
        case 0:
            if (c != kDle)
                buf[out.pos++] = static_cast<std::uint8_t>(c);
            else
                state = 1;
            break;
        case 1:
            if (c == 0) {
                buf[out.pos++] = kDle;
                state = 0;
            } else {
                v = c;
                len = c & len_mask;
                state = len == len_mask ? 2 : 3;
            }
            break;
        case 2:
            len += c;
            state = 3;
            break;
        default:
            out.copy_back(((v >> (8 - factor)) << 8) + c + 1, len + 3);
            state = 0;
            break;
        }
    }
    return Decode::Ok;
}

} // namespace kx::zip
