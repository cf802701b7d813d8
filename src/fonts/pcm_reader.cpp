// The PCM walker: title and the face names of the embedded PFMs.
#include "fonts/pcm_reader.h"

#include <climits>
#include <cstring>

#include "api/byte_reader.h"
#include "api/result.h"
#include "fonts/pfm_reader.h"

namespace kx::fonts {

namespace {

// Reads up to n bytes at off; fewer at the end of the file.
std::vector<std::uint8_t> read_at(std::FILE *fp, std::uint64_t off, std::size_t n)
{
    std::vector<std::uint8_t> buf;
    if (off > static_cast<std::uint64_t>(LONG_MAX) || std::fseek(fp, static_cast<long>(off), SEEK_SET) != 0)
        return buf;
    buf.resize(n);
    buf.resize(std::fread(buf.data(), 1, n, fp));
    return buf;
}

} // namespace

int read_pcm(std::FILE *fp, std::uint64_t file_size, PcmListing &out)
{
    auto header = read_at(fp, 0, pcm::kHeaderBytes);
    ByteReader h(header);
    if (!h.has_range(0, pcm::kHeaderBytes)) return code(Result::InvalidFile);
    std::uint64_t total = h.peek_u32le(pcm::kTotalSize);
    std::uint64_t title_off = h.peek_u32le(pcm::kTitleOffset);
    std::uint64_t offset = h.peek_u32le(pcm::kFirstPfm);

    if (title_off >= file_size) return code(Result::InvalidFile);
    auto title = read_at(fp, title_off, pcm::kTitleBytes);
    const char *t = reinterpret_cast<const char *>(title.data());
    out.title.assign(t, strnlen(t, title.size()));

    while (offset < total) {
        if (offset >= file_size) return code(Result::InvalidFile);
        auto image = read_at(fp, offset, pfm::kReadBytes);
        ByteReader r(image);
        if (!r.has_range(0, pfm::kHeaderBytes)) return code(Result::InvalidFile);
        std::uint32_t df_size = r.peek_u32le(pfm::kDfSize);
        std::uint32_t df_face = r.peek_u32le(pfm::kDfFace);
        if (df_face <= pfm::kMinFace || df_face >= pfm::kMaxFace) break;
        if (df_face >= image.size()) return code(Result::InvalidFile);
        // A size that does not reach past the face name would walk in place.
        if (df_size <= df_face) break;
        out.faces.push_back(
            styled_face_name(image, df_face, r.peek_u8(pfm::kDfItalic), r.peek_u16le(pfm::kDfWeight)));
        offset += df_size;
    }
    return code(Result::Ok);
}

} // namespace kx::fonts
