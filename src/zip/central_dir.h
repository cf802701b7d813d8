// The ZIP end-record search and the central-directory record parsers, kept
// header-only so that the extractor and the kx listing share one reader.
// A source is any type with
//     std::size_t read_at(std::uint64_t offset, std::uint8_t *dst, std::size_t n)
// returning the bytes actually read (fewer at the end of the file).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "api/byte_reader.h"
#include "zip/zip_layout.h"

namespace kx::zip {

struct EndRecord {
    std::uint64_t position = 0;  // file offset of the signature
    std::uint16_t this_disk = 0;
    std::uint16_t cd_disk = 0;
    std::uint16_t entries_this_disk = 0;
    std::uint16_t entries_total = 0;
    std::uint32_t cd_size = 0;
    std::uint32_t cd_offset = 0;
    std::uint16_t comment_length = 0;
};

enum class EndSearch { Found, NotFound, ShortRecord };

namespace detail {
// True when the end-record signature starts at offset i of the search block.
inline bool sig_at(const ByteReader &block, std::int64_t i)
{
    return block.peek_u32le(static_cast<std::size_t>(i)) == kSigEnd;
}
} // namespace detail

// Looks for the end record backwards from the end of the file in 2048-byte
// blocks, as far back as the largest comment allows. `work` must hold
// kBlock + kHold bytes: the block and the first bytes of the block after it,
// so a signature straddling two blocks is still seen.
template <class Source>
EndSearch find_end_record(Source &src, std::uint64_t size, std::uint8_t *work, EndRecord &rec)
{
    std::int64_t found = -1;
    const ByteReader block(work, kBlock + kHold);
    if (size <= kBlock) {
        if (size >= kEndRecordSize && src.read_at(0, work, size) == size) {
            for (std::int64_t i = std::int64_t(size - kEndRecordSize); i >= 0; --i)
                if (detail::sig_at(block, i)) {
                    found = i;
                    break;
                }
        }
    } else {
        const std::uint64_t tail = size % kBlock;
        std::memset(work + kBlock, 0, kHold);
        bool ok = true;
        if (tail >= 19) {
            const std::uint64_t base = size - tail;
            if (src.read_at(base, work, tail) != tail) ok = false;
            for (std::int64_t i = std::int64_t(tail) - std::int64_t(kEndRecordSize); ok && i >= 0; --i)
                if (detail::sig_at(block, i)) {
                    found = std::int64_t(base) + i;
                    break;
                }
            if (ok) std::memcpy(work + kBlock, work, kHold);
        }
        const std::uint64_t reach = size < kEndSearchReach ? size : kEndSearchReach;
        const std::uint64_t blocks = (reach - tail + kBlock - 1) / kBlock;
        std::uint64_t base = size - tail;
        for (std::uint64_t b = 0; ok && found < 0 && b < blocks && base >= kBlock; ++b) {
            base -= kBlock;
            if (src.read_at(base, work, kBlock) != kBlock) break;
            // The last block read may start before the reach: its earlier bytes do not count.
            const std::int64_t lowest = std::int64_t(size - reach) - std::int64_t(base);
            for (std::int64_t i = kBlock - 1; i >= 0 && i >= lowest; --i)
                if (detail::sig_at(block, i)) {
                    found = std::int64_t(base) + i;
                    break;
                }
            std::memcpy(work + kBlock, work, kHold);
        }
    }
    if (found < 0) return EndSearch::NotFound;
    std::uint8_t bytes[kEndRecordSize];
    if (src.read_at(std::uint64_t(found), bytes, kEndRecordSize) != kEndRecordSize) return EndSearch::ShortRecord;
    ByteReader r(bytes, sizeof bytes);
    r.skip(4);  // the signature
    rec.position = std::uint64_t(found);
    rec.this_disk = r.u16le();
    rec.cd_disk = r.u16le();
    rec.entries_this_disk = r.u16le();
    rec.entries_total = r.u16le();
    rec.cd_size = r.u32le();
    rec.cd_offset = r.u32le();
    rec.comment_length = r.u16le();
    return EndSearch::Found;
}

struct CentralEntry {
    std::uint16_t version_made_by = 0;
    std::uint8_t version_needed = 0;
    std::uint8_t host_needed = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t mod_time = 0;
    std::uint16_t mod_date = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t compressed_size = 0;
    std::uint32_t uncompressed_size = 0;
    std::uint16_t name_length = 0;
    std::uint16_t extra_length = 0;
    std::uint16_t comment_length = 0;
    std::uint32_t external_attributes = 0;
    std::uint32_t local_header_offset = 0;
    std::string name;  // at most kMaxName bytes
    bool name_cut = false;
};

// Parses the 46-byte fixed part (signature included); false without the
// signature or when fewer bytes are given.
inline bool parse_central_fixed(ByteReader r, CentralEntry &e)
{
    if (r.u32le() != kSigCentral) return false;
    e.version_made_by = r.u16le();
    e.version_needed = r.u8();
    e.host_needed = r.u8();
    e.flags = r.u16le();
    e.method = r.u16le();
    e.mod_time = r.u16le();
    e.mod_date = r.u16le();
    e.crc32 = r.u32le();
    e.compressed_size = r.u32le();
    e.uncompressed_size = r.u32le();
    e.name_length = r.u16le();
    e.extra_length = r.u16le();
    e.comment_length = r.u16le();
    r.skip(4);  // disk start, internal attributes
    e.external_attributes = r.u32le();
    e.local_header_offset = r.u32le();
    return r.ok();
}

// Why an entry could not be read.
enum class EntryRead { Ok, NoSignature, Truncated };

// Reads the central-directory entry at `pos` (name cut to kMaxName bytes;
// extra field and comment skipped); on success `pos` moves past the entry.
template <class Source>
EntryRead read_central_entry(Source &src, std::uint64_t size, std::uint64_t &pos, CentralEntry &e)
{
    std::uint8_t fixed[kCentralFixedSize];
    const std::size_t got = src.read_at(pos, fixed, kCentralFixedSize);
    const ByteReader r(fixed, got);
    if (got >= 4 && r.peek_u32le(0) != kSigCentral) return EntryRead::NoSignature;
    if (!parse_central_fixed(r, e)) return EntryRead::Truncated;
    std::uint64_t p = pos + kCentralFixedSize;
    const std::size_t keep = e.name_length > kMaxName ? kMaxName : e.name_length;
    e.name.assign(keep, '\0');
    if (keep && src.read_at(p, reinterpret_cast<std::uint8_t *>(e.name.data()), keep) != keep) return EntryRead::Truncated;
    e.name_cut = e.name_length > kMaxName;
    const std::uint64_t end = p + e.name_length + e.extra_length + e.comment_length;
    if (end > size) return EntryRead::Truncated;
    pos = end;
    return EntryRead::Ok;
}

} // namespace kx::zip
