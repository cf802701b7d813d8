// Windows printer font metrics (PFM, PSM, PBM): the validating reader used
// for identification and conversion, and the face name with style marks.
// The same header check serves the PFM images embedded in PCM files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::fonts {

// PFM header fields read (little-endian).
//   NAME          OFFSET  TYPE  DESCRIPTION
//   dfSize        2       u32   size of the whole PFM
//   dfItalic      80      u8    non-zero: italic
//   dfWeight      83      u16   weight; 700 and above bold
//   dfDevice      101     u32   offset of the device name
//   dfFace        105     u32   offset of the face name
//   extension     117     u16   first word of the extension block
namespace pfm {
constexpr std::size_t kDfSize = 2;
constexpr std::size_t kDfItalic = 80;
constexpr std::size_t kDfWeight = 83;
constexpr std::size_t kDfDevice = 101;
constexpr std::size_t kDfFace = 105;
constexpr std::size_t kExtensionWord = 117;
constexpr std::size_t kHeaderBytes = 119;   // every field above is inside
constexpr std::size_t kReadBytes = 4096;    // what the reader reads of a file
constexpr std::uint64_t kMinFileSize = 256;
constexpr std::uint32_t kMinFace = 34;      // dfFace lies strictly between these
constexpr std::uint32_t kMaxFace = 2048;
constexpr std::size_t kMaxFaceName = 90;    // face name with its style marks
constexpr std::uint16_t kBoldWeight = 700;
} // namespace pfm

// The first bytes of a PFM file that passed the reader's check.
struct PfmImage {
    std::vector<std::uint8_t> bytes; // at most pfm::kReadBytes
    std::uint64_t file_size = 0;

    std::uint32_t df_size() const;
    std::uint8_t df_italic() const;
    std::uint16_t df_weight() const;
    std::uint32_t df_device() const;
    std::uint32_t df_face() const;
};

// Checks the first bytes of a PFM file of file_size bytes: at least 256
// bytes, and either dfSize equal to the file size with dfFace strictly
// between 34 and 2048, or a file 32 bytes longer than dfSize whose
// extension word is 0. In either case the face name must start inside the
// bytes given. Returns 0 or 27.
int check_pfm(std::span<const std::uint8_t> head, std::uint64_t file_size);

// Opens and checks a PFM file, keeping its first 4096 bytes. 0 or 27 (also
// when the file cannot be opened).
int open_pfm(std::string_view path, PfmImage &image);

// Face name of a checked image with its style marks, at most 90 characters.
std::string pfm_face_name(const PfmImage &image);

// The face name at face_offset of bytes (up to a NUL or the end of bytes),
// followed by " (It)" when italic is non-zero and " (Bd)" when weight is 700
// or more, cut to 90 characters. Empty when face_offset is outside bytes.
std::string styled_face_name(std::span<const std::uint8_t> bytes, std::uint32_t face_offset,
                             std::uint8_t italic, std::uint16_t weight);

} // namespace kx::fonts
