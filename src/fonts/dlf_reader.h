// PPDS downloadable fonts (DLF) and their font metrics files (FMF): the
// one-line listing of a DLF header and the name stored in an FMF file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace kx::fonts {

// DLF header: a 6-byte prefix, then a variant record (big-endian fields).
//   prefix   0 ESC, 1 '=', 2-3 length L (u16le), 4 '1', 5 variant (10 or 1)
//   variant 10 (referenced font), 14 to 38 bytes read:
//            0 must be 1; 1 style bits; 2-3 code page; 12-15 metric M; 16 name
//   variant 1, 34 to 58 bytes read:
//            0 must be 0; 1 style bits; 2-3 code page; 8-11 point size P
//            (hundredths); 28-31 pitch metric Q; 32 class number (high
//            nibble); 36 name
// Style bit 0: pitch font; bit 1: " PS  " rather than " Typo".
namespace dlf {
constexpr std::size_t kPrefixBytes = 6;
constexpr std::size_t kReferencedMin = 14;
constexpr std::size_t kReferencedMax = 38;
constexpr std::size_t kFontMin = 34;
constexpr std::size_t kFontMax = 58;
constexpr std::size_t kReadBytes = kPrefixBytes + kFontMax;
constexpr std::size_t kMaxName = 24;
constexpr std::size_t kListingMax = 79;
} // namespace dlf

// The listing line of a DLF header given its first bytes (prefix and
// variant record, as many as were read). Missing fields read as zero and the
// name never extends past the bytes given. Empty when the prefix does not
// match or the record is shorter than its minimum.
std::string dlf_listing(std::span<const std::uint8_t> head);
// Reads the first bytes of a DLF stream and builds its listing line.
std::string dlf_listing(std::FILE *fp);

// FMF: the NUL-terminated name at byte 56 of the first 200 bytes; empty when
// the file is shorter than 200 bytes.
namespace fmf {
constexpr std::size_t kReadBytes = 200;
constexpr std::size_t kName = 56;
} // namespace fmf
std::string fmf_name(std::span<const std::uint8_t> head);
std::string fmf_name(std::FILE *fp);

} // namespace kx::fonts
