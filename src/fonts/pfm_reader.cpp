// The PFM reader: header check and face name.
#include "fonts/pfm_reader.h"

#include <cstdio>
#include <cstring>

#include "api/byte_reader.h"
#include "api/result.h"
#include "platform/file.h"

namespace kx::fonts {

namespace {
// A PFM written with a 32-byte trailer after dfSize bytes carries no
// extension block (its first word is 0).
constexpr std::uint64_t kTrailerBytes = 32;
} // namespace

std::uint32_t PfmImage::df_size() const { return ByteReader(bytes).peek_u32le(pfm::kDfSize); }
std::uint8_t PfmImage::df_italic() const { return ByteReader(bytes).peek_u8(pfm::kDfItalic); }
std::uint16_t PfmImage::df_weight() const { return ByteReader(bytes).peek_u16le(pfm::kDfWeight); }
std::uint32_t PfmImage::df_device() const { return ByteReader(bytes).peek_u32le(pfm::kDfDevice); }
std::uint32_t PfmImage::df_face() const { return ByteReader(bytes).peek_u32le(pfm::kDfFace); }

int check_pfm(std::span<const std::uint8_t> head, std::uint64_t file_size)
{
    ByteReader r(head);
    if (file_size < pfm::kMinFileSize || !r.has_range(0, pfm::kHeaderBytes)) return code(Result::InvalidFile);
    std::uint64_t df_size = r.peek_u32le(pfm::kDfSize);
    std::uint32_t df_face = r.peek_u32le(pfm::kDfFace);
    bool sized = df_size == file_size && df_face > pfm::kMinFace && df_face < pfm::kMaxFace;
    bool trailer = file_size == df_size + kTrailerBytes && r.peek_u16le(pfm::kExtensionWord) == 0;
    if (!sized && !trailer) return code(Result::InvalidFile);
    // The face name is read from the bytes at hand: an offset past them
    // (or past the file) is a damaged file, not a read beyond the buffer.
    if (df_face >= head.size() || df_face >= file_size) return code(Result::InvalidFile);
    return code(Result::Ok);
}

int open_pfm(std::string_view path, PfmImage &image)
{
    platform::File f = platform::open_file(path, "rb");
    if (!f) return code(Result::InvalidFile);
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return code(Result::InvalidFile);
    long size = std::ftell(f.get());
    if (size < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return code(Result::InvalidFile);
    image.file_size = static_cast<std::uint64_t>(size);
    image.bytes.resize(pfm::kReadBytes);
    image.bytes.resize(std::fread(image.bytes.data(), 1, pfm::kReadBytes, f.get()));
    return check_pfm(image.bytes, image.file_size);
}

std::string styled_face_name(std::span<const std::uint8_t> bytes, std::uint32_t face_offset, std::uint8_t italic,
                             std::uint16_t weight)
{
    if (face_offset >= bytes.size()) return {};
    const char *p = reinterpret_cast<const char *>(bytes.data() + face_offset);
    std::string name(p, strnlen(p, bytes.size() - face_offset));
    if (italic) name += " (It)";
    if (weight >= pfm::kBoldWeight) name += " (Bd)";
    if (name.size() > pfm::kMaxFaceName) name.resize(pfm::kMaxFaceName);
    return name;
}

std::string pfm_face_name(const PfmImage &image)
{
    return styled_face_name(image.bytes, image.df_face(), image.df_italic(), image.df_weight());
}

} // namespace kx::fonts
