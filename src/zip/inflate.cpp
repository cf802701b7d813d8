// Deflate decoding: stored, fixed-code and dynamic-code blocks. Codes are
// looked up in two-level tables; the window is the output buffer itself, so
// a match is a forward copy inside one array.
#include <cstring>

#include "zip/huffman.h"
#include "zip/workspace.h"

namespace kx::zip {

namespace {

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                         33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::uint8_t kClenOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

struct SymbolInfo {
    std::uint32_t lit[288];
    std::uint32_t dist[32];
    std::uint32_t plain[19];
};

constexpr SymbolInfo make_info()
{
    SymbolInfo s{};
    for (unsigned i = 0; i < 256; ++i) s.lit[i] = make_entry(kOpLiteral, i, 0);
    s.lit[256] = make_entry(kOpEnd, 0, 0);
    for (unsigned i = 0; i < 29; ++i) s.lit[257 + i] = make_entry(kOpBase + kLengthExtra[i], kLengthBase[i], 0);
    s.lit[286] = s.lit[287] = make_entry(kOpInvalid, 0, 0);
    for (unsigned i = 0; i < 30; ++i) s.dist[i] = make_entry(kOpBase + kDistExtra[i], kDistBase[i], 0);
    s.dist[30] = s.dist[31] = make_entry(kOpInvalid, 0, 0);
    for (unsigned i = 0; i < 19; ++i) s.plain[i] = make_entry(kOpLiteral, i, 0);
    return s;
}

constexpr SymbolInfo kInfo = make_info();

bool build(std::uint32_t *table, std::size_t cap, unsigned root, const std::uint8_t *lens, unsigned n,
           const std::uint32_t *info)
{
    std::uint16_t codes[288];
    if (!canonical_codes(lens, n, codes)) return false;
    return fill_code_table(table, cap, root, lens, codes, info, n);
}

void build_fixed(Workspace &w)
{
    std::uint8_t lens[288];
    std::memset(lens, 8, 144);
    std::memset(lens + 144, 9, 112);
    std::memset(lens + 256, 7, 24);
    std::memset(lens + 280, 8, 8);
    build(w.fixed_lit, std::size(w.fixed_lit), Workspace::kLitRoot, lens, 288, kInfo.lit);
    std::memset(lens, 5, 32);
    build(w.fixed_dist, std::size(w.fixed_dist), Workspace::kDistRoot, lens, 32, kInfo.dist);
    w.fixed_ready = true;
}

// Reads the code lengths of a dynamic block and builds its two tables.
bool read_dynamic(BitReader &br, Workspace &w)
{
    br.refill();
    const unsigned hlit = br.get(5) + 257;
    const unsigned hdist = br.get(5) + 1;
    const unsigned hclen = br.get(4) + 4;
    if (hlit > 286 || hdist > 30) return false;
    std::uint8_t clens[19] = {};
    for (unsigned i = 0; i < hclen; ++i) clens[kClenOrder[i]] = static_cast<std::uint8_t>(br.get(3));
    if (!build(w.clen, std::size(w.clen), 7, clens, 19, kInfo.plain)) return false;

    std::uint8_t lens[286 + 30];
    unsigned n = 0;
    while (n < hlit + hdist) {
        br.refill();
        if (br.overran()) return false;
        const std::uint32_t e = w.clen[br.peek(7)];
        if (entry_op(e) != kOpLiteral) return false;
        br.drop(entry_len(e));
        const unsigned sym = entry_value(e);
        if (sym < 16) {
            lens[n++] = static_cast<std::uint8_t>(sym);
            continue;
        }
        unsigned repeat;
        std::uint8_t value = 0;
        if (sym == 16) {
            if (n == 0) return false;
            value = lens[n - 1];
            repeat = 3 + br.get(2);
        } else if (sym == 17) {
            repeat = 3 + br.get(3);
        } else {
            repeat = 11 + br.get(7);
        }
        if (n + repeat > hlit + hdist) return false;
        std::memset(lens + n, value, repeat);
        n += repeat;
    }
    if (lens[256] == 0) return false;  // a block must be able to end
    return build(w.lit, std::size(w.lit), Workspace::kLitRoot, lens, hlit, kInfo.lit) &&
           build(w.dist, std::size(w.dist), Workspace::kDistRoot, lens + hlit, hdist, kInfo.dist);
}

Decode stored_block(BitReader &br, Output &out)
{
    br.align();
    br.refill();
    const std::uint32_t len = br.get(16);
    const std::uint32_t nlen = br.get(16);
    if (len != (~nlen & 0xFFFF) || br.overran()) return Decode::Corrupt;
    std::uint32_t left = len;
    // Whole bytes still in the bit buffer come first.
    while (left && br.count >= 8 && br.count > br.padded * 8u) {
        const std::uint8_t b = static_cast<std::uint8_t>(br.get(8));
        Decode d = out.put(&b, 1);
        if (d != Decode::Ok) return d;
        --left;
    }
    if (left && br.count == 0) br.bits = 0;  // drop read-ahead bits: bytes now come straight from the chunk
    while (left) {
        if (br.count >= 8) return Decode::Corrupt;  // only padding left: the data ends early
        if (br.p == br.end && !br.src->next(br.p, br.end)) return Decode::Corrupt;
        std::size_t k = static_cast<std::size_t>(br.end - br.p);
        if (k > left) k = left;
        Decode d = out.put(br.p, k);
        if (d != Decode::Ok) return d;
        br.p += k;
        left -= static_cast<std::uint32_t>(k);
    }
    return Decode::Ok;
}

Decode coded_block(BitReader &br, Output &out, const std::uint32_t *lit, const std::uint32_t *dist)
{
    constexpr unsigned kLitMask = (1u << Workspace::kLitRoot) - 1;
    constexpr unsigned kDistMask = (1u << Workspace::kDistRoot) - 1;
    // The reader's state and the output position live in locals: byte
    // stores into the window may alias anything, which would otherwise force
    // every field back to memory on each byte.
    std::uint64_t bits = br.bits;
    unsigned count = br.count;
    const std::uint8_t *p = br.p;
    const std::uint8_t *end = br.end;
    std::uint8_t *const buf = out.buf;
    std::size_t pos = out.pos;
#define KX_SAVE() (br.bits = bits, br.count = count, br.p = p, br.end = end, out.pos = pos)
#define KX_LOAD() (bits = br.bits, count = br.count, p = br.p, end = br.end, pos = out.pos)
#define KX_REFILL()                                                       \
    do {                                                                  \
        if (end - p >= 8) {                                               \
            bits |= load64le(p) << count;                                 \
            p += (63 - count) >> 3;                                       \
            count |= 56;                                                  \
        } else {                                                          \
            KX_SAVE();                                                    \
            br.refill_slow();                                             \
            if (br.padded > 8 && br.overran()) return Decode::Corrupt;    \
            KX_LOAD();                                                    \
        }                                                                 \
    } while (0)
#define KX_DECODE(table, root, mask, e)                                              \
    do {                                                                             \
        e = table[bits & mask];                                                      \
        if (entry_op(e) & kOpLink) {                                                 \
            bits >>= root;                                                           \
            count -= root;                                                           \
            e = table[entry_value(e) + (bits & ((1u << (entry_op(e) & 0x1F)) - 1))]; \
        }                                                                            \
        bits >>= entry_len(e);                                                       \
        count -= entry_len(e);                                                       \
    } while (0)

    for (;;) {
        if (pos >= Output::kFlushAt) {
            KX_SAVE();
            Decode d = out.flush();
            if (d != Decode::Ok) return d;
            KX_LOAD();
        }
        KX_REFILL();
        std::uint32_t e;
        KX_DECODE(lit, Workspace::kLitRoot, kLitMask, e);
        // Literals, as many as the buffered bits surely hold.
        while (entry_op(e) == kOpLiteral) {
            buf[pos++] = static_cast<std::uint8_t>(entry_value(e));
            if (count < 15) break;
            KX_DECODE(lit, Workspace::kLitRoot, kLitMask, e);
        }
        unsigned op = entry_op(e);
        if (op == kOpLiteral) continue;
        if (op & kOpBase) {
            // Length extra (5) + distance code (15) + distance extra (13).
            if (count < 33) KX_REFILL();
            unsigned extra = op & 0x0F;
            const unsigned len = entry_value(e) + static_cast<unsigned>(bits & ((1u << extra) - 1));
            bits >>= extra;
            count -= extra;
            KX_DECODE(dist, Workspace::kDistRoot, kDistMask, e);
            op = entry_op(e);
            if (!(op & kOpBase) || (op & ~0x1Fu)) return Decode::Corrupt;
            extra = op & 0x0F;
            const unsigned d = entry_value(e) + static_cast<unsigned>(bits & ((1u << extra) - 1));
            bits >>= extra;
            count -= extra;
            if (d > pos - Output::kWindow) {
                out.pos = pos;
                if (d > out.produced()) return Decode::Corrupt;
            }
            std::uint8_t *dst = buf + pos;
            const std::uint8_t *src = dst - d;
            if (d >= 16) {
                for (unsigned i = 0; i < len; i += 16) std::memcpy(dst + i, src + i, 16);
            } else if (d >= 8) {
                for (unsigned i = 0; i < len; i += 8) std::memcpy(dst + i, src + i, 8);
            } else if (d == 1) {
                std::memset(dst, *src, len);
            } else {
                for (unsigned i = 0; i < len; ++i) dst[i] = src[i];
            }
            pos += len;
            continue;
        }
        KX_SAVE();
        if (op == kOpEnd) return Decode::Ok;
        return Decode::Corrupt;
    }
#undef KX_DECODE
#undef KX_REFILL
#undef KX_LOAD
#undef KX_SAVE
}

} // namespace

Decode inflate(ChunkSource &in, Output &out, Workspace &w)
{
    BitReader br(in);
    for (;;) {
        br.refill();
        const unsigned final_block = br.get(1);
        const unsigned type = br.get(2);
        Decode d;
        if (type == 0) {
            d = stored_block(br, out);
        } else if (type == 1) {
            if (!w.fixed_ready) build_fixed(w);
            d = coded_block(br, out, w.fixed_lit, w.fixed_dist);
        } else if (type == 2) {
            if (!read_dynamic(br, w)) return Decode::Corrupt;
            d = coded_block(br, out, w.lit, w.dist);
        } else {
            return Decode::Corrupt;
        }
        if (d != Decode::Ok) return d;
        if (br.overran()) return Decode::Corrupt;
        if (final_block) return Decode::Ok;
    }
}

} // namespace kx::zip
