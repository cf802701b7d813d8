// Shared by the element-block fuzz targets: the input becomes a block of
// exactly its own size (its first two bytes rewritten to say so), held in a
// buffer of that size, so that any read past the block is caught.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace kxfuzz {

inline std::unique_ptr<std::uint8_t[]> exact_block(const std::uint8_t *data, std::size_t size, std::size_t &n)
{
    n = size < 65537 ? size : 65537;
    if (n < 2) return nullptr;
    auto block = std::make_unique<std::uint8_t[]>(n);
    std::memcpy(block.get(), data, n);
    block[0] = std::uint8_t((n - 2) >> 8);
    block[1] = std::uint8_t(n - 2);
    return block;
}

} // namespace kxfuzz
