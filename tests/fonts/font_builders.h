// Builds font files of the formats no free tool writes (and hand-varied
// PCL soft fonts) from their byte layouts, for the identification tests and
// as fuzzing seeds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fontgen {

using Bytes = std::vector<std::uint8_t>;

inline void put_be16(Bytes &b, std::size_t off, std::uint16_t v)
{
    b[off] = static_cast<std::uint8_t>(v >> 8);
    b[off + 1] = static_cast<std::uint8_t>(v);
}
inline void put_be32(Bytes &b, std::size_t off, std::uint32_t v)
{
    put_be16(b, off, static_cast<std::uint16_t>(v >> 16));
    put_be16(b, off + 2, static_cast<std::uint16_t>(v));
}
inline void put_le16(Bytes &b, std::size_t off, std::uint16_t v)
{
    b[off] = static_cast<std::uint8_t>(v);
    b[off + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put_le32(Bytes &b, std::size_t off, std::uint32_t v)
{
    put_le16(b, off, static_cast<std::uint16_t>(v));
    put_le16(b, off + 2, static_cast<std::uint16_t>(v >> 16));
}
inline void put_text(Bytes &b, std::size_t off, std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) b[off + i] = static_cast<std::uint8_t>(s[i]);
}

// A PCL font descriptor and the command that introduces it.
struct PclFont {
    std::uint8_t format = 0;
    std::uint16_t size = 64;     // descriptor size field; also the bytes written (at least 64)
    std::uint8_t font_type = 2;
    std::uint8_t spacing = 0;
    std::uint16_t symbol_set = 277; // 8U
    std::uint16_t height = 200;     // quarter-dots
    std::uint8_t style = 0;
    std::int8_t weight = 0;
    std::uint16_t typeface = 3;     // vendor << 12 | number
    std::uint8_t vendor_char = 'C';
    std::uint32_t font_number = 1234;
    std::string name = "Courier";   // padded with spaces to 16
    bool pad_name_with_nul = false;
    std::uint16_t x_res = 600, y_res = 600; // format 20: bytes 64-67
    std::size_t glyph_bytes = 32;          // bytes after the descriptor
};

inline Bytes pcl_descriptor(const PclFont &f)
{
    Bytes d(f.size < 68 ? 68 : f.size, 0);
    put_be16(d, 0, f.size);
    d[2] = f.format;
    d[3] = f.font_type;
    d[13] = f.spacing;
    put_be16(d, 14, f.symbol_set);
    put_be16(d, 18, f.height);
    d[23] = f.style;
    d[24] = static_cast<std::uint8_t>(f.weight);
    d[25] = static_cast<std::uint8_t>(f.typeface & 0xFF);
    d[26] = static_cast<std::uint8_t>(f.typeface >> 8);
    d[44] = f.vendor_char;
    d[45] = static_cast<std::uint8_t>(f.font_number >> 16);
    d[46] = static_cast<std::uint8_t>(f.font_number >> 8);
    d[47] = static_cast<std::uint8_t>(f.font_number);
    for (std::size_t i = 0; i < 16; ++i)
        d[48 + i] = i < f.name.size() ? static_cast<std::uint8_t>(f.name[i]) : (f.pad_name_with_nul ? 0 : ' ');
    if (f.format == 20) {
        put_be16(d, 64, f.x_res);
        put_be16(d, 66, f.y_res);
    }
    d.resize(f.size < 64 ? 64 : f.size);
    return d;
}

inline Bytes pcl_soft_font(const PclFont &f)
{
    Bytes d = pcl_descriptor(f);
    std::string cmd = "\x1b)s" + std::to_string(d.size()) + "W";
    Bytes out(cmd.begin(), cmd.end());
    out.insert(out.end(), d.begin(), d.end());
    out.insert(out.end(), f.glyph_bytes, 0x55);
    return out;
}

// A PPDS downloadable font header: prefix and variant record.
struct Dlf {
    std::uint8_t variant = 1;     // 1 or 10
    std::uint16_t length = 60;    // L of the prefix; name length is L - 36 (at most 24)
    std::uint8_t style = 0;       // bit 0 pitch, bit 1 PS
    std::uint16_t code_page = 850;
    std::uint32_t point = 1000;   // variant 1: hundredths of a point
    std::uint32_t metric = 1200;  // variant 10: M; variant 1: pitch metric Q
    std::uint8_t class_nibble = 0;
    std::string name = "Courier";
    std::size_t record_bytes = 58; // bytes of the variant record written
};

inline Bytes dlf_font(const Dlf &f)
{
    Bytes rec(64, 0);
    bool ref = f.variant == 10;
    rec[0] = ref ? 1 : 0;
    rec[1] = f.style;
    put_be16(rec, 2, f.code_page);
    if (ref) {
        put_be32(rec, 12, f.metric);
        put_text(rec, 16, f.name.substr(0, 40));
    } else {
        put_be32(rec, 8, f.point);
        put_be32(rec, 28, f.metric);
        rec[32] = static_cast<std::uint8_t>(f.class_nibble << 4);
        put_text(rec, 36, f.name.substr(0, 28));
    }
    rec.resize(f.record_bytes);
    Bytes out = {0x1B, '=', 0, 0, '1', f.variant};
    put_le16(out, 2, f.length);
    out.insert(out.end(), rec.begin(), rec.end());
    return out;
}

// An FMF file: the name at byte 56 of a file of the given size.
inline Bytes fmf_file(std::string_view name, std::size_t size = 300)
{
    Bytes b(size, 0);
    if (56 + name.size() <= size) put_text(b, 56, name);
    return b;
}

// A PFM image: dfSize, dfItalic, dfWeight, dfFace and the face name.
struct Pfm {
    std::uint32_t size = 0;       // 0: the image's own size
    std::uint8_t italic = 0;
    std::uint16_t weight = 400;
    std::uint32_t face = 199;     // offset of the face name
    std::string name = "Courier";
    std::size_t bytes = 300;      // image size written
    std::uint16_t extension_word = 30;
};

inline Bytes pfm_file(const Pfm &p)
{
    Bytes b(p.bytes, 0);
    put_le16(b, 0, 0x0100);
    put_le32(b, 2, p.size ? p.size : static_cast<std::uint32_t>(p.bytes));
    b[80] = p.italic;
    put_le16(b, 83, p.weight);
    put_le32(b, 101, 0);
    put_le32(b, 105, p.face);
    put_le16(b, 117, p.extension_word);
    if (p.face + p.name.size() < p.bytes) put_text(b, p.face, p.name);
    return b;
}

// A PCM file: header, 80-byte title, then the PFM images in order.
inline Bytes pcm_file(std::string_view title, const std::vector<Bytes> &pfms)
{
    Bytes b(16 + 80, 0);
    put_le32(b, 8, 16);
    put_le32(b, 12, 16 + 80);
    put_text(b, 16, title.substr(0, 80));
    for (const auto &p : pfms) b.insert(b.end(), p.begin(), p.end());
    put_le32(b, 4, static_cast<std::uint32_t>(b.size()));
    return b;
}

} // namespace fontgen
