// What the member decoders share: the compressed bytes of one member as a
// run of chunks, an LSB-first bit reader over them, and the output window
// that feeds the CRC-32 and the output file.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "zip/archive_input.h"

namespace kx::zip {

enum class Decode {
    Ok,
    Corrupt,      // the data does not decode (a decoding error for the member)
    TooLong,      // more output than the member's declared size
    WriteFailed,  // a short write to the output file
};

// The compressed bytes of one member: `remaining` bytes from the archive's
// current position, or a block in memory.
class ChunkSource {
public:
    ChunkSource(ArchiveInput &in, std::uint64_t remaining) : in_(&in), remaining_(remaining) {}
    explicit ChunkSource(std::span<const std::uint8_t> bytes) : mem_(bytes), remaining_(bytes.size()) {}

    // The next chunk; false when the member's bytes are used up.
    bool next(const std::uint8_t *&p, const std::uint8_t *&end)
    {
        if (remaining_ == 0) return false;
        std::size_t n = 0;
        if (in_) {
            std::size_t max = remaining_ < kBlock ? static_cast<std::size_t>(remaining_) : kBlock;
            n = in_->chunk(p, max);
        } else {
            p = mem_.data();
            n = mem_.size();
        }
        remaining_ -= n;
        if (n == 0) remaining_ = 0;  // the file ended early
        end = p + n;
        return n > 0;
    }

private:
    ArchiveInput *in_ = nullptr;
    std::span<const std::uint8_t> mem_{};
    std::uint64_t remaining_ = 0;
};

inline std::uint64_t load64le(const std::uint8_t *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    return v;
}

// LSB-first bits. refill() leaves at least 56 bits in the buffer; past the
// end of the member it adds zero bytes and counts them, so a decoder that
// used any of them (overran()) knows its data was cut short.
struct BitReader {
    std::uint64_t bits = 0;
    unsigned count = 0;
    unsigned padded = 0;  // zero bytes added past the end
    const std::uint8_t *p = nullptr;
    const std::uint8_t *end = nullptr;
    ChunkSource *src = nullptr;

    explicit BitReader(ChunkSource &s) : src(&s) {}

    void refill()
    {
        if (end - p >= 8) {
            bits |= load64le(p) << count;
            p += (63 - count) >> 3;
            count |= 56;
        } else {
            refill_slow();
        }
    }
    void refill_slow()
    {
        while (count <= 56) {
            if (p == end && !src->next(p, end)) {
                p = end = nullptr;
                ++padded;
                count += 8;  // a zero byte
                continue;
            }
            bits |= std::uint64_t(*p++) << count;
            count += 8;
        }
    }
    std::uint32_t peek(unsigned n) const { return static_cast<std::uint32_t>(bits & ((std::uint64_t(1) << n) - 1)); }
    void drop(unsigned n)
    {
        bits >>= n;
        count -= n;
    }
    // n bits (n <= 32), refilling as needed.
    std::uint32_t get(unsigned n)
    {
        if (count < n) refill();
        std::uint32_t v = peek(n);
        drop(n);
        return v;
    }
    // True when bits past the end of the member have been consumed.
    bool overran() const { return padded * 8u > count; }
    // Real (not padded) bits still available without asking for more input.
    bool real_bits_at_least(unsigned n)
    {
        if (count < n) refill();
        return count >= padded * 8u + n;
    }
    // Drops the bits up to the next byte boundary.
    void align() { drop(count & 7); }
};

// The output window. buf holds the last kWindow bytes of history followed by
// new output; when the new part passes kSpan bytes it is written out (CRC-32
// and file) and the history slides down. kMargin leaves room for one token
// (a match or a literal) after the check, so decoders test once per token.
class Output {
public:
    static constexpr std::size_t kWindow = 32768;
    static constexpr std::size_t kSpan = 32768;
    static constexpr std::size_t kMargin = 1024;
    static constexpr std::size_t kFlushAt = kWindow + kSpan;
    static constexpr std::size_t kSize = kFlushAt + kMargin;

    std::uint8_t *buf = nullptr;  // kSize bytes, owned by the workspace
    std::size_t pos = kWindow;    // next byte goes to buf[pos]

    // Starts a member: `limit` is its declared size, `fd` the file (or -1 with
    // `collect` set, to keep the bytes in memory). With zero_history the
    // window before the first byte reads as zeros.
    void start(std::uint8_t *buffer, int fd, std::vector<std::uint8_t> *collect, std::uint64_t limit,
               bool zero_history)
    {
        buf = buffer;
        fd_ = fd;
        collect_ = collect;
        limit_ = limit;
        pos = flushed_ = kWindow;
        base_ = 0;
        written_ = 0;
        crc_ = 0;
        if (zero_history) std::memset(buf, 0, kWindow);
    }

    // Bytes produced so far.
    std::uint64_t produced() const { return base_ + (pos - kWindow); }
    std::uint64_t limit() const { return limit_; }
    std::uint32_t crc() const { return crc_; }
    bool full() const { return pos >= kFlushAt; }

    // Writes the new bytes out and slides the window when the span is full.
    Decode flush();
    // Room for one more token: flushes first when the span is full.
    Decode make_room() { return full() ? flush() : Decode::Ok; }
    // A back-reference of the dictionary decoders: len bytes from dist
    // (at most kWindow) bytes back, cut to the member's declared size. Copied
    // byte by byte, so a distance shorter than the length repeats the bytes
    // just written; before the first byte the history reads as zeros (a
    // member started with zero_history).
    void copy_back(unsigned dist, unsigned len)
    {
        const std::uint64_t left = limit_ - produced();
        if (len > left) len = static_cast<unsigned>(left);
        std::uint8_t *dst = buf + pos;
        const std::uint8_t *src = dst - dist;
        for (unsigned i = 0; i < len; ++i) dst[i] = src[i];
        pos += len;
    }
    // Appends bytes of any length.
    Decode put(const std::uint8_t *s, std::size_t n)
    {
        while (n) {
            std::size_t k = kFlushAt - pos;
            if (k > n) k = n;
            std::memcpy(buf + pos, s, k);
            pos += k;
            s += k;
            n -= k;
            if (full()) {
                Decode d = flush();
                if (d != Decode::Ok) return d;
            }
        }
        return Decode::Ok;
    }

private:
    int fd_ = -1;
    std::vector<std::uint8_t> *collect_ = nullptr;
    std::uint64_t limit_ = 0;
    std::uint64_t base_ = 0;     // bytes produced before buf[kWindow]
    std::uint64_t written_ = 0;  // bytes passed to the file
    std::size_t flushed_ = kWindow;
    std::uint32_t crc_ = 0;
};

// Decoder tables and scratch space, allocated once per extraction run.
struct Workspace;
Workspace *new_workspace();  // null when out of memory
void delete_workspace(Workspace *w);
std::uint8_t *output_buffer(Workspace &w);

// The decoders. Each reads the member's compressed bytes from `in` and puts
// the decoded bytes into `out`; the caller flushes at the end.
Decode copy_stored(ChunkSource &in, Output &out);
Decode unshrink(ChunkSource &in, Output &out, Workspace &w);
Decode unreduce(ChunkSource &in, Output &out, unsigned factor);          // factor 1-4
Decode explode(ChunkSource &in, Output &out, Workspace &w, bool window8k, bool literal_tree);
Decode inflate(ChunkSource &in, Output &out, Workspace &w);

} // namespace kx::zip
