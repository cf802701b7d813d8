// The one checked reader for untrusted bytes. Every parser reads file and
// caller-supplied blocks through it: each read checks the bytes are there
// and never forms a pointer past the end. A failed read leaves the reader
// in a failed state (ok() false) and yields zeros, so a parser may read a
// whole record and check once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace kx {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> bytes) : data_(bytes) {}
    ByteReader(const void *p, std::size_t n)
        : data_(static_cast<const std::uint8_t *>(p), p ? n : 0) {}

    std::size_t size() const { return data_.size(); }
    std::size_t pos() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool ok() const { return ok_; }
    bool at_end() const { return pos_ == data_.size(); }
    std::span<const std::uint8_t> bytes() const { return data_; }

    // True when n more bytes are present; otherwise marks the reader failed.
    bool need(std::size_t n)
    {
        if (!ok_ || n > remaining()) {
            ok_ = false;
            return false;
        }
        return true;
    }
    // True when [off, off + len) lies inside the whole span (no overflow).
    bool has_range(std::size_t off, std::size_t len) const
    {
        return off <= data_.size() && len <= data_.size() - off;
    }

    bool seek(std::size_t off)
    {
        if (!ok_ || off > data_.size()) {
            ok_ = false;
            return false;
        }
        pos_ = off;
        return true;
    }
    bool skip(std::size_t n)
    {
        if (!need(n)) return false;
        pos_ += n;
        return true;
    }

    std::uint8_t u8() { return need(1) ? data_[pos_++] : 0; }
    std::int8_t i8() { return static_cast<std::int8_t>(u8()); }
    std::uint16_t u16le() { return static_cast<std::uint16_t>(uint_le(2)); }
    std::uint32_t u32le() { return static_cast<std::uint32_t>(uint_le(4)); }
    std::uint64_t u64le() { return uint_le(8); }
    std::int16_t i16le() { return static_cast<std::int16_t>(u16le()); }
    std::int32_t i32le() { return static_cast<std::int32_t>(u32le()); }
    std::uint16_t u16be() { return static_cast<std::uint16_t>(uint_be(2)); }
    std::uint32_t u32be() { return static_cast<std::uint32_t>(uint_be(4)); }
    std::int16_t i16be() { return static_cast<std::int16_t>(u16be()); }
    std::int32_t i32be() { return static_cast<std::int32_t>(u32be()); }

    // Copies n bytes out; on failure the destination is zero-filled.
    bool copy(void *dst, std::size_t n)
    {
        if (!need(n)) {
            std::memset(dst, 0, n);
            return false;
        }
        if (n) std::memcpy(dst, data_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    // The next n bytes as a span (empty on failure), advancing past them.
    std::span<const std::uint8_t> take(std::size_t n)
    {
        if (!need(n)) return {};
        auto s = data_.subspan(pos_, n);
        pos_ += n;
        return s;
    }
    // The next n bytes as text (empty on failure), advancing past them.
    std::string_view take_text(std::size_t n)
    {
        auto s = take(n);
        return {reinterpret_cast<const char *>(s.data()), s.size()};
    }

    // A child reader bounded to [off, off + len) of this reader's span; a
    // failed (empty) reader when the range is not inside it.
    ByteReader sub(std::size_t off, std::size_t len) const
    {
        if (!has_range(off, len)) {
            ByteReader r;
            r.ok_ = false;
            return r;
        }
        return ByteReader(data_.subspan(off, len));
    }

    // Fixed-offset peeks that do not move the position; zero when out of range.
    std::uint8_t peek_u8(std::size_t off) const { return has_range(off, 1) ? data_[off] : 0; }
    std::uint16_t peek_u16le(std::size_t off) const
    {
        return has_range(off, 2) ? static_cast<std::uint16_t>(data_[off] | data_[off + 1] << 8) : 0;
    }
    std::uint32_t peek_u32le(std::size_t off) const
    {
        if (!has_range(off, 4)) return 0;
        return std::uint32_t(data_[off]) | std::uint32_t(data_[off + 1]) << 8 |
               std::uint32_t(data_[off + 2]) << 16 | std::uint32_t(data_[off + 3]) << 24;
    }
    std::uint16_t peek_u16be(std::size_t off) const
    {
        return has_range(off, 2) ? static_cast<std::uint16_t>(data_[off] << 8 | data_[off + 1]) : 0;
    }

private:
    std::uint64_t uint_le(unsigned n)
    {
        if (!need(n)) return 0;
        std::uint64_t v = 0;
        for (unsigned i = 0; i < n; ++i) v |= std::uint64_t(data_[pos_ + i]) << (8 * i);
        pos_ += n;
        return v;
    }
    std::uint64_t uint_be(unsigned n)
    {
        if (!need(n)) return 0;
        std::uint64_t v = 0;
        for (unsigned i = 0; i < n; ++i) v = v << 8 | data_[pos_ + i];
        pos_ += n;
        return v;
    }

    std::span<const std::uint8_t> data_{};
    std::size_t pos_ = 0;
    bool ok_ = true;
};

} // namespace kx
