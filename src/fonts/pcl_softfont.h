// PCL soft fonts: the opener that recognises a soft font by its first
// command, the font-descriptor reader that describes it in a KxFontInfo, and
// the 16-character short font name.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "kxapi.h"
#include "platform/file.h"

namespace kx::fonts {

// PCL font descriptor, the bytes after ESC ) s <count> W (big-endian).
//   NAME            OFFSET  TYPE     DESCRIPTION
//   size            0       u16      descriptor size
//   format          2       u8       descriptor format (0, 5, 9, 10, 11, 12, 15, 20)
//   fontType        3       u8       0, 1, 2 bound; 10, 11 unbound
//   spacing         13      u8       bit 0: proportional
//   symbolSet       14      u16      (number << 5) | (letter - 64)
//   height          18      u16      quarter-dots
//   styleLSB        23      u8       low two bits: posture
//   strokeWeight    24      i8       -7 to 7
//   typeface        25      u16      low byte at 25, high byte at 26: vendor << 12 | number
//   fontNumber      44      u32      low seven bits of byte 44: vendor letter; 45-47: number
//   fontName        48      char[16]
// A format-20 descriptor is followed by the X and Y resolutions (u16 each).
namespace pcl {
constexpr std::size_t kDescriptorBytes = 64;
constexpr std::size_t kResolutionBytes = 4;
constexpr std::size_t kSize = 0;
constexpr std::size_t kFormat = 2;
constexpr std::size_t kFontType = 3;
constexpr std::size_t kSpacing = 13;
constexpr std::size_t kSymbolSet = 14;
constexpr std::size_t kHeight = 18;
constexpr std::size_t kStyleLsb = 23;
constexpr std::size_t kStrokeWeight = 24;
constexpr std::size_t kTypefaceLow = 25;     // little-endian, unlike the other fields
constexpr std::size_t kFontNumber = 44;
constexpr std::size_t kFontName = 48;
constexpr std::size_t kFontNameBytes = 16;
} // namespace pcl

// Descriptor family of the last recognised descriptor, kept for font
// conversion: 0 format 0 (and before any font was read), 1 format 5,
// 2 formats 9 and 12, 4 formats 10, 11, 15 and 20.
int descriptor_family();

// Opens path when it begins ESC ) s and a W follows within the next six
// bytes; the stream is then positioned just after the W. An empty File when
// the file cannot be opened or is not a soft font.
platform::File open_soft_font(std::string_view path);

// Reads the descriptor from a stream positioned after the W and fills the
// format, resolutions, description, identifiers, symbol set and
// FONT_PROPORTIONAL of info. Returns 0 or 27. The caller closes the stream.
int read_descriptor(std::FILE *fp, KxFontInfo &info);

// The same over descriptor bytes already read: the 64 descriptor bytes, then
// for format 20 the four resolution bytes.
int parse_descriptor(std::span<const std::uint8_t> bytes, KxFontInfo &info);

// The symbol-set id of a descriptor's symbol-set word, such as "8U" for 277.
std::string symbol_set_id(std::uint16_t word);

// The 16-character short font name of a 64-byte descriptor (spaces pad it).
std::string short_font_name(std::span<const std::uint8_t, pcl::kDescriptorBytes> descriptor);

} // namespace kx::fonts
