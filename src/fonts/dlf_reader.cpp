// DLF listing line and FMF name.
#include "fonts/dlf_reader.h"

#include <cstring>
#include <string_view>

#include "api/byte_reader.h"
#include "fonts/font_info.h"

namespace kx::fonts {

namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kVariantReferenced = 10;
constexpr std::uint8_t kVariantFont = 1;
// The name length is the header length less the bytes before the name.
constexpr std::uint16_t kNameBase = 36;
constexpr double kPitchScale = 72000.0;

std::string tenths_text(double v)
{
    Tenths t = to_tenths(v);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3u.%1u", t.whole, t.tenth);
    return buf;
}

std::string format_line(const char *fmt, auto... args)
{
    char buf[256];
    int n = std::snprintf(buf, sizeof buf, fmt, args...);
    if (n < 0) return {};
    std::string s(buf, static_cast<std::size_t>(n) < sizeof buf ? static_cast<std::size_t>(n) : sizeof buf - 1);
    if (s.size() > dlf::kListingMax) s.resize(dlf::kListingMax);
    return s;
}

} // namespace

std::string dlf_listing(std::span<const std::uint8_t> head)
{
    ByteReader r(head);
    if (!r.has_range(0, dlf::kPrefixBytes)) return {};
    if (r.peek_u8(0) != kEsc || r.peek_u8(1) != '=' || r.peek_u8(4) != '1') return {};
    std::uint16_t length = r.peek_u16le(2);
    std::uint8_t variant = r.peek_u8(5);
    bool referenced = variant == kVariantReferenced;
    if (!referenced && variant != kVariantFont) return {};

    // The record as read: never more than the variant's maximum, and any
    // field past what was read counts as zero.
    std::size_t max = referenced ? dlf::kReferencedMax : dlf::kFontMax;
    std::size_t min = referenced ? dlf::kReferencedMin : dlf::kFontMin;
    std::size_t got = head.size() - dlf::kPrefixBytes;
    if (got > max) got = max;
    if (got < min) return {};
    std::uint8_t rec[dlf::kFontMax] = {};
    std::memcpy(rec, head.data() + dlf::kPrefixBytes, got);
    ByteReader v(rec, sizeof rec);
    if (rec[0] != (referenced ? 1 : 0)) return {};

    std::uint8_t style = rec[1];
    unsigned code_page = v.peek_u16be(2);
    auto be32 = [&v](std::size_t off) { return v.sub(off, 4).u32be(); };

    std::size_t name_off = referenced ? 16 : 36;
    std::size_t name_len = static_cast<std::uint16_t>(length - kNameBase);
    if (name_len > dlf::kMaxName) name_len = dlf::kMaxName;
    // Only the bytes actually read can be part of the name.
    std::size_t present = got > name_off ? got - name_off : 0;
    if (name_len > present) name_len = present;
    std::string name(reinterpret_cast<const char *>(rec + name_off), name_len);
    for (char &c : name)
        if (static_cast<unsigned char>(c) < 32) c = ' ';

    bool pitch = style & 1;
    std::uint32_t metric = referenced ? be32(12) : be32(28);
    if (pitch) {
        std::string pitch_text = metric ? tenths_text(kPitchScale / metric) : std::string();
        if (referenced)
            return format_line("%-26s %6s pitch  Referenced  cp:%4u", name.c_str(), pitch_text.c_str(), code_page);
        unsigned cls = rec[32] >> 4;
        return format_line("%-26s %6s pitch  cp:%4u%c", name.c_str(), pitch_text.c_str(), code_page,
                           cls ? static_cast<char>(cls + 64) : ' ');
    }
    if (name.size() > (referenced ? 20u : 22u)) name.resize(referenced ? 20 : 22);
    name += (style & 2) ? " PS  " : " Typo";
    Tenths size = to_tenths((referenced ? be32(12) : be32(8)) / 100.0);
    if (referenced)
        return format_line("%-26s %3u.%1u point  Referenced  cp:%4u", name.c_str(), size.whole, size.tenth, code_page);
    unsigned cls = rec[32] >> 4;
    return format_line("%-26s %3u.%1u point  cp:%4u%c", name.c_str(), size.whole, size.tenth, code_page,
                       cls ? static_cast<char>(cls + 64) : ' ');
}

std::string dlf_listing(std::FILE *fp)
{
    std::uint8_t head[dlf::kReadBytes];
    std::size_t got = std::fread(head, 1, sizeof head, fp);
    return dlf_listing(std::span<const std::uint8_t>(head, got));
}

std::string fmf_name(std::span<const std::uint8_t> head)
{
    if (head.size() < fmf::kReadBytes) return {};
    const char *p = reinterpret_cast<const char *>(head.data() + fmf::kName);
    return std::string(p, strnlen(p, fmf::kReadBytes - fmf::kName));
}

std::string fmf_name(std::FILE *fp)
{
    std::uint8_t head[fmf::kReadBytes];
    std::size_t got = std::fread(head, 1, sizeof head, fp);
    return fmf_name(std::span<const std::uint8_t>(head, got));
}

} // namespace kx::fonts
