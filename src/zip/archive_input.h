// Reading the archive through one 2048-byte buffer. The position is kept as
// (file offset of the buffered block, offset inside it, bytes buffered), so a
// seek inside the buffered block only moves the pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file.h"
#include "zip/zip_layout.h"

namespace kx::zip {

class ArchiveInput {
public:
    // Opens the archive for binary reading; false when it cannot be opened.
    bool open(const std::string &path, std::uint64_t size);
    std::uint64_t size() const { return size_; }
    std::uint64_t tell() const { return block_pos_ + ptr_; }

    void seek(std::uint64_t pos);
    // Copies up to n bytes from the current position; fewer at the end of the file.
    std::size_t read(std::uint8_t *dst, std::size_t n);
    std::size_t read_at(std::uint64_t pos, std::uint8_t *dst, std::size_t n)
    {
        seek(pos);
        return read(dst, n);
    }
    // The buffered bytes at the current position (at most max), refilling the
    // buffer when it is used up, and moves past them. 0 at the end of the file.
    std::size_t chunk(const std::uint8_t *&p, std::size_t max);

private:
    bool fill();

    platform::File file_;
    std::uint64_t size_ = 0;
    std::uint64_t file_pos_ = 0;   // where the stream stands
    std::uint64_t block_pos_ = 0;  // file offset of buf_[0]
    std::size_t len_ = 0;          // bytes in buf_
    std::size_t ptr_ = 0;          // read offset in buf_
    std::uint8_t buf_[kBlock + kHold + 1];
};

} // namespace kx::zip
