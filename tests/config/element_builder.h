// Builds self-describing element blocks for the parser tests: a layout text
// and a tree of elements are encoded exactly as a producer writes them, with
// the fields in layout order and filler bytes for fields the parsers step over.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kxtest::elements {

using Bytes = std::vector<std::uint8_t>;

struct Node {
    std::uint32_t id = 0;
    std::uint32_t type = 0;  // 0 container, 1 integer, 2 text
    Bytes value;
    std::vector<Node> kids;
    std::optional<std::uint32_t> count;   // written as NE instead of the number of kids
    std::optional<std::uint32_t> length;  // written as LD instead of the real length
};

inline Bytes be(std::uint64_t v, std::uint32_t size)
{
    Bytes out(size);
    for (std::uint32_t i = 0; i < size; ++i) out[size - 1 - i] = std::uint8_t(i < 8 ? v >> (8 * i) : 0);
    return out;
}

// An integer element whose value is v in len big-endian bytes.
inline Node I(std::uint32_t id, std::int64_t v, std::uint32_t len = 4)
{
    return Node{id, 1, be(static_cast<std::uint64_t>(v), len), {}, {}, {}};
}
inline Node T(std::uint32_t id, const std::string &text)
{
    return Node{id, 2, Bytes(text.begin(), text.end()), {}, {}, {}};
}
inline Node C(std::uint32_t id, std::vector<Node> kids) { return Node{id, 0, {}, std::move(kids), {}, {}}; }

class Builder {
public:
    // layout: the three groups, e.g. "P{ID:1,DT:1}C{NE:2,LD:2}D{LD:2,DA:0}".
    explicit Builder(std::string layout) : layout_(std::move(layout))
    {
        std::size_t pos = 0;
        for (auto *group : {&tag_, &container_, &data_}) {
            std::size_t open = layout_.find('{', pos), close = layout_.find('}', open);
            std::string body = layout_.substr(open + 1, close - open - 1);
            std::size_t p = 0;
            while (p < body.size()) {
                std::size_t comma = body.find(',', p);
                std::string item = body.substr(p, comma == std::string::npos ? std::string::npos : comma - p);
                group->emplace_back(item.substr(0, 2), std::stoul(item.substr(3)));
                p = comma == std::string::npos ? body.size() : comma + 1;
            }
            pos = close + 1;
        }
    }

    Bytes encode(const Node &n) const
    {
        Bytes out;
        auto add = [&](const Bytes &b) { out.insert(out.end(), b.begin(), b.end()); };
        for (auto &[name, size] : tag_)
            add(name == "ID" ? be(n.id, size) : name == "DT" ? be(n.type, size) : Bytes(size, 0xEE));
        if (n.type == 0) {
            Bytes kids;
            for (const auto &k : n.kids) {
                Bytes b = encode(k);
                kids.insert(kids.end(), b.begin(), b.end());
            }
            for (auto &[name, size] : container_)
                add(name == "NE"   ? be(n.count.value_or(n.kids.size()), size)
                    : name == "LD" ? be(n.length.value_or(kids.size()), size)
                                   : Bytes(size, 0xEE));
            add(kids);
        } else {
            for (auto &[name, size] : data_)
                add(name == "LD" ? be(n.length.value_or(n.value.size()), size) : name == "DA" ? n.value : Bytes(size, 0xEE));
        }
        return out;
    }

    // The whole block: L, the ignored word, the layout and the elements.
    Bytes block(const std::vector<Node> &top) const
    {
        Bytes stream;
        for (const auto &n : top) {
            Bytes b = encode(n);
            stream.insert(stream.end(), b.begin(), b.end());
        }
        return raw_block(layout_, stream);
    }

    static Bytes raw_block(const std::string &layout, const Bytes &stream)
    {
        Bytes out = be(2 + layout.size() + stream.size(), 2);
        out.push_back(0xAB);  // the ignored word
        out.push_back(0xCD);
        out.insert(out.end(), layout.begin(), layout.end());
        out.insert(out.end(), stream.begin(), stream.end());
        return out;
    }

private:
    std::string layout_;
    std::vector<std::pair<std::string, std::uint32_t>> tag_, container_, data_;
};

} // namespace kxtest::elements
