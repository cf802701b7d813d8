#include "zip/archive_input.h"

#include <cstdio>
#include <cstring>

namespace kx::zip {

bool ArchiveInput::open(const std::string &path, std::uint64_t size)
{
    file_ = platform::open_file(path, "rb");
    if (!file_) return false;
    // The block buffer is the only buffer: reads go straight to the file.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    size_ = size;
    file_pos_ = block_pos_ = 0;
    len_ = ptr_ = 0;
    return true;
}

void ArchiveInput::seek(std::uint64_t pos)
{
    if (pos >= block_pos_ && pos <= block_pos_ + len_) {
        ptr_ = static_cast<std::size_t>(pos - block_pos_);
        return;
    }
    block_pos_ = pos;
    len_ = ptr_ = 0;
}

bool ArchiveInput::fill()
{
    block_pos_ += len_;
    len_ = ptr_ = 0;
    if (block_pos_ >= size_) return false;
    if (file_pos_ != block_pos_) {
        if (fseeko(file_.get(), static_cast<off_t>(block_pos_), SEEK_SET) != 0) return false;
        file_pos_ = block_pos_;
    }
    std::size_t want = kBlock;
    if (size_ - block_pos_ < want) want = static_cast<std::size_t>(size_ - block_pos_);
    len_ = std::fread(buf_, 1, want, file_.get());
    file_pos_ += len_;
    return len_ > 0;
}

std::size_t ArchiveInput::read(std::uint8_t *dst, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        if (ptr_ == len_ && !fill()) break;
        std::size_t k = len_ - ptr_;
        if (k > n - done) k = n - done;
        std::memcpy(dst + done, buf_ + ptr_, k);
        ptr_ += k;
        done += k;
    }
    return done;
}

std::size_t ArchiveInput::chunk(const std::uint8_t *&p, std::size_t max)
{
    if (ptr_ == len_ && !fill()) return 0;
    std::size_t k = len_ - ptr_;
    if (k > max) k = max;
    p = buf_ + ptr_;
    ptr_ += k;
    return k;
}

} // namespace kx::zip
