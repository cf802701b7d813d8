// Printer cartridge metrics (PCM): a header, an 80-byte title and the PFM
// images of the cartridge's faces, one after the other.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kx::fonts {

// PCM header (little-endian).
//   NAME        OFFSET  TYPE  DESCRIPTION
//   totalSize   4       u32   end of the embedded PFMs
//   titleOff    8       u32   offset of the 80-byte title
//   firstPfm    12      u32   offset of the first embedded PFM
namespace pcm {
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kTotalSize = 4;
constexpr std::size_t kTitleOffset = 8;
constexpr std::size_t kFirstPfm = 12;
constexpr std::size_t kTitleBytes = 80;
} // namespace pcm

struct PcmListing {
    std::string title;              // up to its NUL, at most 80 bytes
    std::vector<std::string> faces; // face names with style marks, in file order
};

// Reads the title and walks the embedded PFMs of a PCM stream of file_size
// bytes. The walk goes while the offset is below the total size: an embedded
// PFM whose dfFace does not lie strictly between 34 and 2048, or whose
// dfSize does not reach past its face name, ends it. Every offset is checked
// against the file: a title, PFM header or face name outside it makes the
// file invalid. Returns 0 or 27.
int read_pcm(std::FILE *fp, std::uint64_t file_size, PcmListing &out);

} // namespace kx::fonts
