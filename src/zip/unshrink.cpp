// Shrunk members: LZW with codes of 9 to 13 bits. The code size grows only
// when the stream sends 256,1; 256,2 frees every leaf of the code tree, and
// freed codes are handed out again lowest first. The data ends with the
// member's bytes.
#include "zip/workspace.h"

namespace kx::zip {

namespace {

constexpr unsigned kMaxCodes = 8192;
constexpr unsigned kFirstFree = 257;

} // namespace

Decode unshrink(ChunkSource &in, Output &out, Workspace &w)
{
    BitReader br(in);
    for (unsigned c = 0; c < kMaxCodes; ++c) {
        w.parent[c] = -1;
        w.suffix[c] = static_cast<std::uint8_t>(c);
        w.in_use[c] = c < 256;
    }
    unsigned code_size = 9;
    unsigned next_free = kFirstFree;
    int prev = -1;

    for (;;) {
        if (!br.real_bits_at_least(code_size)) break;
        const unsigned code = br.get(code_size);
        if (code == 256) {
            if (!br.real_bits_at_least(code_size)) return Decode::Corrupt;
            const unsigned control = br.get(code_size);
            if (control == 1) {
                if (++code_size > 13) return Decode::Corrupt;
            } else if (control == 2) {
                // Free every code that is no other code's parent.
                std::uint8_t *is_parent = w.stack;
                for (unsigned c = 0; c < kMaxCodes; ++c) is_parent[c] = 0;
                for (unsigned c = kFirstFree; c < kMaxCodes; ++c)
                    if (w.in_use[c] && w.parent[c] >= 0) is_parent[w.parent[c]] = 1;
                for (unsigned c = kFirstFree; c < kMaxCodes; ++c)
                    if (!is_parent[c]) w.in_use[c] = 0;
                next_free = kFirstFree;
                while (next_free < kMaxCodes && w.in_use[next_free]) ++next_free;
            } else {
                return Decode::Corrupt;
            }
            continue;
        }
        if (prev < 0) {
            if (code > 255) return Decode::Corrupt;
            const std::uint8_t b = static_cast<std::uint8_t>(code);
            Decode d = out.put(&b, 1);
            if (d != Decode::Ok) return d;
            prev = static_cast<int>(code);
            continue;
        }

        // Spell the code backwards into the stack. A code not yet defined is
        // only allowed as the next free one: prev's string plus its own first byte.
        std::size_t top = kMaxCodes;
        bool pending = false;
        unsigned c = code;
        if (!w.in_use[c]) {
            if (c != next_free) return Decode::Corrupt;
            pending = true;
            --top;  // the last byte is filled in below
            c = static_cast<unsigned>(prev);
        }
        for (;;) {
            if (top == 0) return Decode::Corrupt;  // a cycle among freed and reused codes
            w.stack[--top] = w.suffix[c];
            if (c < 256) break;
            const int p = w.parent[c];
            if (p < 0) return Decode::Corrupt;
            c = static_cast<unsigned>(p);
        }
        const std::uint8_t first = w.stack[top];
        if (pending) w.stack[kMaxCodes - 1] = first;

        if (next_free < kMaxCodes) {
            w.parent[next_free] = static_cast<std::int16_t>(prev);
            w.suffix[next_free] = first;
            w.in_use[next_free] = 1;
            while (next_free < kMaxCodes && w.in_use[next_free]) ++next_free;
        }
        Decode d = out.put(w.stack + top, kMaxCodes - top);
        if (d != Decode::Ok) return d;
        prev = static_cast<int>(code);
    }
    return Decode::Ok;
}

} // namespace kx::zip
