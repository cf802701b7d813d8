// Layout header and element reader of the self-describing blocks.
#include "config/element_stream.h"

#include <algorithm>
#include <array>

namespace kx::parse {

namespace {

constexpr std::array<std::string_view, 12> kFieldNames = {"ID", "DT", "NE", "SE", "LD", "DA",
                                                          "TD", "DL", "TL", "VN", "BF", "DD"};

// Reads one group "X{item,item,...}" starting at pos; pos ends after "}".
bool parse_group(std::string_view text, std::size_t &pos, std::vector<LayoutItem> &items)
{
    // The two opening characters are not checked (a letter and "{").
    if (text.size() - pos < 2) return false;
    std::size_t begin = pos + 2;
    std::size_t end = text.find('}', begin);
    if (end == std::string_view::npos) return false;
    std::string_view group = text.substr(begin, end - begin);
    items.clear();
    items.reserve(static_cast<std::size_t>(std::count(group.begin(), group.end(), ':')));

    std::size_t p = 0;
    while (p < group.size()) {
        std::string_view item = group.substr(p);
        std::size_t which = kFieldNames.size();
        for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
            if (item.starts_with(kFieldNames[i])) {
                which = i;
                break;
            }
        }
        if (which == kFieldNames.size()) return false;
        // Over the name and its separator, then the decimal size.
        p = std::min(group.size(), p + kFieldNames[which].size() + 1);
        std::uint32_t size = 0;
        while (p < group.size() && group[p] >= '0' && group[p] <= '9') {
            size = std::min<std::uint32_t>(kMaxFieldSize, size * 10 + static_cast<std::uint32_t>(group[p] - '0'));
            ++p;
        }
        items.push_back({static_cast<Field>(which), size});
        std::size_t comma = group.find(',', p);
        p = comma == std::string_view::npos ? group.size() : comma + 1;
    }
    pos = end + 1;
    return true;
}

} // namespace

std::size_t block_size(const void *block)
{
    const auto *b = static_cast<const std::uint8_t *>(block);
    return (std::size_t(b[0]) << 8 | b[1]) + 2;
}

bool parse_layout(std::span<const std::uint8_t> block, Layout &layout, std::size_t &stream_start)
{
    if (block.size() < 4) return false;
    std::string_view text(reinterpret_cast<const char *>(block.data()), block.size());
    std::size_t pos = 4;
    if (!parse_group(text, pos, layout.tag) || !parse_group(text, pos, layout.container) ||
        !parse_group(text, pos, layout.data))
        return false;
    layout.tag_bytes = 0;
    for (const auto &item : layout.tag) layout.tag_bytes += item.size;  // at most 65,537 items of 2^24
    stream_start = pos;
    return true;
}

ElementStream::ElementStream(std::span<const std::uint8_t> block) : reader_(block)
{
    std::size_t start = 0;
    ok_ = parse_layout(block, layout_, start) && reader_.seek(start);
}

// A number field: big-endian of width 1, 2 or 4. Any other width cannot be
// a number the producer meant, so the stream is taken as broken.
bool ElementStream::number(std::uint32_t size, std::uint32_t &out)
{
    switch (size) {
    case 1: out = reader_.u8(); break;
    case 2: out = reader_.u16be(); break;
    case 4: out = reader_.u32be(); break;
    default: return false;
    }
    return reader_.ok();
}

bool ElementStream::next(Element &e)
{
    e = Element{};
    for (const auto &item : layout_.tag) {
        bool good = item.field == Field::ID   ? number(item.size, e.number)
                    : item.field == Field::DT ? number(item.size, e.type)
                                              : reader_.skip(item.size);
        if (!good) return false;
    }
    if (e.type != kTypeContainer) return true;
    for (const auto &item : layout_.container) {
        bool good = item.field == Field::NE   ? number(item.size, e.count)
                    : item.field == Field::LD ? number(item.size, e.length)
                                              : reader_.skip(item.size);
        if (!good) return false;
    }
    return true;
}

bool ElementStream::children_fit(std::uint32_t count) const
{
    std::size_t least = std::max<std::size_t>(1, layout_.tag_bytes);
    return count <= reader_.remaining() / least;
}

bool ElementStream::value(const Element &e, std::span<const std::uint8_t> &bytes)
{
    bytes = {};
    if (e.type == kTypeContainer) return reader_.skip(e.length);
    if (e.type != kTypeInteger && e.type != kTypeText) return true;
    // The value stands where DA stands, with the length of the LD read
    // before it (0 when none was).
    std::uint32_t length = 0;
    for (const auto &item : layout_.data) {
        bool good = true;
        if (item.field == Field::LD) {
            good = number(item.size, length);
        } else if (item.field == Field::DA) {
            bytes = reader_.take(length);
            good = reader_.ok();
        } else {
            good = reader_.skip(item.size);
        }
        if (!good) return false;
    }
    return true;
}

bool ElementStream::skip(const Element &e)
{
    std::span<const std::uint8_t> ignored;
    return value(e, ignored);
}

bool ElementStream::integer(const Element &e, std::int32_t &out)
{
    std::span<const std::uint8_t> v;
    if (!value(e, v)) return false;
    std::uint32_t n = 0;
    if (e.type == kTypeInteger && (v.size() == 1 || v.size() == 2 || v.size() == 4))
        for (auto b : v) n = n << 8 | b;
    out = static_cast<std::int32_t>(n);
    return true;
}

bool ElementStream::text(const Element &e, std::string_view &out)
{
    std::span<const std::uint8_t> v;
    if (!value(e, v)) return false;
    out = e.type == kTypeText ? std::string_view(reinterpret_cast<const char *>(v.data()), v.size())
                              : std::string_view();
    return true;
}

} // namespace kx::parse
