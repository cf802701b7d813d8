// PCL soft fonts: recognising the file, reading its font descriptor into the
// font record, and building the short font name.
#include "fonts/pcl_softfont.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "api/byte_reader.h"
#include "api/result.h"
#include "fonts/font_info.h"
#include "fonts/font_tables.h"

namespace kx::fonts {

namespace {

// Kind of the last descriptor recognised; font conversion reads it after
// identification. Relaxed atomics: only the value matters, not ordering.
std::atomic<int> g_descriptor_family{0};

// Header of a soft font: ESC ) s, then the decimal byte count and W within
// the next six bytes.
constexpr unsigned char kSoftFontStart[3] = {0x1B, ')', 's'};
constexpr int kMaxCountBytes = 6;

// Resolution assumed for bitmap descriptors that do not carry one.
constexpr double kDefaultResolution = 300.0;

struct FormatRow {
    std::uint8_t format;
    std::uint16_t size;
    std::uint32_t code;
    int family;
};
// Descriptor format and size decide the format code; any other pairing is
// not a soft font this library knows.
constexpr FormatRow kFormats[] = {
    {0, 64, FORMAT_PCL_BITMAP, 0},
    {5, 72, FORMAT_PCL_BITMAP_ALT, 1},  {5, 74, FORMAT_PCL_BITMAP_ALT, 1},  {5, 92, FORMAT_PCL_BITMAP_ALT, 1},
    {9, 72, FORMAT_PCL_BITMAP_ALT, 2},  {9, 74, FORMAT_PCL_BITMAP_ALT, 2},  {9, 92, FORMAT_PCL_BITMAP_ALT, 2},
    {12, 72, FORMAT_PCL_BITMAP_ALT, 2}, {12, 74, FORMAT_PCL_BITMAP_ALT, 2}, {12, 92, FORMAT_PCL_BITMAP_ALT, 2},
    {10, 80, FORMAT_PCL_BOUND_SCALABLE, 4},
    {11, 88, FORMAT_PCL_UNBOUND_SCALABLE, 4},
    {15, 72, FORMAT_PCL_TRUETYPE, 4},
    {20, 68, FORMAT_PCL_RES_BITMAP, 4},
};

const FormatRow *find_format(std::uint8_t format, std::uint16_t size)
{
    for (const auto &row : kFormats)
        if (row.format == format && row.size == size) return &row;
    return nullptr;
}

bool is_scalable(std::uint32_t code)
{
    return code == FORMAT_PCL_BOUND_SCALABLE || code == FORMAT_PCL_UNBOUND_SCALABLE || code == FORMAT_PCL_TRUETYPE;
}

// The 16 name bytes as a C string (up to the first NUL).
std::string name_text(std::span<const std::uint8_t> d)
{
    const char *p = reinterpret_cast<const char *>(d.data() + pcl::kFontName);
    return std::string(p, strnlen(p, pcl::kFontNameBytes));
}

std::string weight_code(std::span<const std::uint8_t> d)
{
    return weight_posture_code(static_cast<std::int8_t>(d[pcl::kStrokeWeight]), d[pcl::kStyleLsb],
                               std::string_view(reinterpret_cast<const char *>(d.data() + pcl::kFontName),
                                                pcl::kFontNameBytes));
}

std::string format_text(const char *fmt, auto... args)
{
    char buf[160];
    int n = std::snprintf(buf, sizeof buf, fmt, args...);
    if (n < 0) return {};
    return std::string(buf, static_cast<std::size_t>(n) < sizeof buf ? static_cast<std::size_t>(n) : sizeof buf - 1);
}

} // namespace

int descriptor_family() { return g_descriptor_family.load(std::memory_order_relaxed); }

platform::File open_soft_font(std::string_view path)
{
    platform::File f = platform::open_file(path, "rb");
    if (!f) return f;
    unsigned char start[3];
    if (std::fread(start, 1, 3, f.get()) != 3 || std::memcmp(start, kSoftFontStart, 3) != 0) return {};
    for (int i = 0; i < kMaxCountBytes; ++i) {
        int c = std::fgetc(f.get());
        if (c == EOF) break;
        if (c == 'W') return f;
    }
    return {};
}

std::string symbol_set_id(std::uint16_t word)
{
    return format_text("%d%c", word >> 5, static_cast<char>((word & 31) + 64));
}

int read_descriptor(std::FILE *fp, KxFontInfo &info)
{
    std::uint8_t bytes[pcl::kDescriptorBytes + pcl::kResolutionBytes];
    std::size_t got = std::fread(bytes, 1, pcl::kDescriptorBytes, fp);
    if (got < pcl::kDescriptorBytes) return code(Result::InvalidFile);
    // Only a format-20 descriptor has the resolutions after it; a soft font
    // that ends before them is cut short and not read further.
    if (bytes[pcl::kFormat] == 20) got += std::fread(bytes + got, 1, pcl::kResolutionBytes, fp);
    return parse_descriptor(std::span<const std::uint8_t>(bytes, got), info);
}

int parse_descriptor(std::span<const std::uint8_t> bytes, KxFontInfo &info)
{
    ByteReader r(bytes);
    if (!r.need(pcl::kDescriptorBytes)) return code(Result::InvalidFile);
    auto d = r.take(pcl::kDescriptorBytes);

    const FormatRow *row = find_format(d[pcl::kFormat], r.peek_u16be(pcl::kSize));
    if (!row) return code(Result::InvalidFile);
    g_descriptor_family.store(row->family, std::memory_order_relaxed);
    info.nFontFormat = row->code;
    if (row->code == FORMAT_PCL_RES_BITMAP) {
        info.wXResolution = r.u16be();
        info.wYResolution = r.u16be();
        // Without its resolutions the point size cannot be worked out.
        if (!r.ok() || info.wYResolution == 0) return code(Result::InvalidFile);
    }

    std::uint8_t font_type = d[pcl::kFontType];
    if (font_type != 0 && font_type != 1 && font_type != 2 && font_type != 10 && font_type != 11)
        return code(Result::InvalidFile);

    std::string desc;
    if (is_scalable(row->code)) {
        // The name with the NULs after it turned into spaces up to the first
        // other byte, so that a NUL-padded name keeps its full width.
        char name[pcl::kFontNameBytes + 1];
        std::memcpy(name, d.data() + pcl::kFontName, pcl::kFontNameBytes);
        name[pcl::kFontNameBytes] = '\0';
        for (std::size_t i = std::strlen(name); i < pcl::kFontNameBytes && name[i] == '\0'; ++i) name[i] = ' ';
        desc = name;
        desc += " [Outline] ";
    } else {
        std::string name = name_text(d);
        if (name.size() > 13) name.resize(13);
        desc = format_text("%-.13s%4s", name.c_str(), weight_code(d).c_str());
        std::uint16_t height = r.peek_u16be(pcl::kHeight);
        double resolution = row->code == FORMAT_PCL_RES_BITMAP ? info.wYResolution : kDefaultResolution;
        Tenths pt = to_tenths(height * 18.0 / resolution);
        desc += " [";
        desc += format_text("%2u.%1u", pt.whole, pt.tenth);
        desc += " Pt.]";
    }

    std::uint16_t symbol_word = r.peek_u16be(pcl::kSymbolSet);
    if (font_type == 10 || font_type == 11) {
        desc += " (unbound)";
    } else {
        std::string id = symbol_set_id(symbol_word);
        set_text(info.szSymbolSet, id);
        const char *set_name = symbol_set_name(id);
        desc += " (";
        desc += set_name ? std::string(set_name) : id;
        desc += ")";
    }

    std::uint16_t typeface = r.peek_u16le(pcl::kTypefaceLow);
    if (row->code == FORMAT_PCL_BITMAP && (typeface & 0x1FF) == 0 && desc.rfind("Line Printer", 0) != 0)
        desc += " *TF:0";

    if (desc.empty()) return code(Result::InvalidFile);
    set_text(info.szDescription, desc);
    if (d[pcl::kSpacing] & 1) info.dwFlags |= FONT_PROPORTIONAL;

    char vendor = static_cast<char>(d[pcl::kFontNumber] & 0x7F);
    unsigned long number = static_cast<unsigned long>(d[pcl::kFontNumber + 1]) << 16 |
                           static_cast<unsigned long>(d[pcl::kFontNumber + 2]) << 8 | d[pcl::kFontNumber + 3];
    set_text(info.szIdentifiers, format_text("Ven:%u  Typ:%u  Fon:%c%lu", (typeface >> 12) & 0xFu,
                                             typeface & 0xFFFu, vendor ? vendor : '?', number));
    return code(Result::Ok);
}

std::string short_font_name(std::span<const std::uint8_t, pcl::kDescriptorBytes> d)
{
    const ByteReader r(d);
    std::string name = name_text(d);
    while (name.size() > 1 && name.back() == ' ') name.pop_back();

    std::uint8_t format = d[pcl::kFormat];
    if (format != 10 && format != 11 && format != 15) {
        unsigned height = r.peek_u16be(pcl::kHeight);
        name = format_text("%s%d%s", name.c_str(), static_cast<int>(height >> 4), weight_code(d).c_str());
    }
    name += symbol_set_id(r.peek_u16be(pcl::kSymbolSet));

    // Shorten from the left: first separators, then lower-case vowels, one
    // character per character too many.
    auto squeeze = [&name](std::string_view drop) {
        for (std::size_t i = 0; i < name.size() && name.size() > 16;) {
            if (drop.find(name[i]) != std::string_view::npos)
                name.erase(i, 1);
            else
                ++i;
        }
    };
    squeeze(" ,.:;");
    squeeze("aeiouy");
    name.resize(16, ' ');
    return name;
}

} // namespace kx::fonts
