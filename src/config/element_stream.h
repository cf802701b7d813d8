// Self-describing element blocks: the header that declares the field layout
// and a checked reader for the tagged element tree that follows it.
//
// Block (integers big-endian):
//   NAME     OFFSET  TYPE  DESCRIPTION
//   L        0       u16   bytes that follow; the block is L + 2 bytes
//   -        2       u16   not read
//   layout   4       text  "P{..}" tag, "C{..}" container, "D{..}" data layout
//   stream   after the third "}"   the elements
//
// A layout item is NAME, one separator character and a decimal size. The
// element reader never reads outside the block: every read is checked, and a
// failed check fails the whole parse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "api/byte_reader.h"

namespace kx::parse {

// Field names of the layout dictionary, in the order they are tried.
enum class Field : std::uint8_t { ID, DT, NE, SE, LD, DA, TD, DL, TL, VN, BF, DD };

// Data types of the DT field.
constexpr std::uint32_t kTypeContainer = 0;
constexpr std::uint32_t kTypeInteger = 1;
constexpr std::uint32_t kTypeText = 2;

// Declared sizes are read as decimal numbers; anything above this is
// certainly larger than any block (at most 65,537 bytes) and is held here
// so that the arithmetic on it cannot overflow.
constexpr std::uint32_t kMaxFieldSize = 1u << 24;

struct LayoutItem {
    Field field;
    std::uint32_t size;
};

struct Layout {
    std::vector<LayoutItem> tag, container, data;
    std::size_t tag_bytes = 0;  // sum of the tag field sizes
};

// One element's tag and container fields. The data fields of an integer or
// text element are read by ElementStream::value.
struct Element {
    std::uint32_t number = 0;   // ID
    std::uint32_t type = 0;     // DT
    std::uint32_t count = 0;    // NE (containers)
    std::uint32_t length = 0;   // LD (containers)
};

// The block's length from its first two bytes: L + 2.
std::size_t block_size(const void *block);

// Parses the three layout groups of a block; false when an item names no
// dictionary field or a group has no "}". stream_start is set to the offset
// of the first element.
bool parse_layout(std::span<const std::uint8_t> block, Layout &layout, std::size_t &stream_start);

class ElementStream {
public:
    // Reads the layout of a block. ok() is false when the header is invalid.
    explicit ElementStream(std::span<const std::uint8_t> block);

    bool ok() const { return ok_ && reader_.ok(); }
    bool at_end() const { return reader_.at_end(); }
    std::size_t pos() const { return reader_.pos(); }

    // Reads an element's tag fields, and its container fields when it is a
    // container. False when the stream runs out or a number field has a
    // width other than 1, 2 or 4.
    bool next(Element &e);
    // Whether count children can still fit in the bytes left: every element
    // takes at least its tag fields (and at least one byte).
    bool children_fit(std::uint32_t count) const;

    // Consumes an integer or text element's data fields and value; the value
    // bytes are a view into the block. A container is stepped over by its
    // LD bytes and an element of another type ends with its tag fields: both
    // give an empty value.
    bool value(const Element &e, std::span<const std::uint8_t> &bytes);
    // Steps over the rest of an element whose tag (and container) fields
    // have been read.
    bool skip(const Element &e);
    // Consumes a value as an integer: the big-endian number of a 1, 2 or 4
    // byte integer value; 0 for other lengths and other types.
    bool integer(const Element &e, std::int32_t &out);
    // Consumes a value as text: the bytes of a text element; empty for
    // other types.
    bool text(const Element &e, std::string_view &out);

private:
    bool number(std::uint32_t size, std::uint32_t &out);

    ByteReader reader_;
    Layout layout_;
    bool ok_ = false;
};

} // namespace kx::parse
