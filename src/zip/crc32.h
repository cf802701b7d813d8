// ZIP CRC-32: polynomial 0xEDB88320 (reflected), initial value all ones,
// final complement. Table-driven, eight bytes per step.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kx::zip {

// Continues a CRC over more bytes: start with crc32_update(0, ...) and pass
// the previous result for the following bytes.
std::uint32_t crc32_update(std::uint32_t crc, const std::uint8_t *data, std::size_t n);

} // namespace kx::zip
