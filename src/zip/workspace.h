// The working storage of one extraction run: the output window and every
// decoder's tables, allocated together so a member costs no allocation.
#pragma once

#include <cstdint>

#include "zip/decode_io.h"

namespace kx::zip {

struct Workspace {
    std::uint8_t window[Output::kSize];

    // inflate
    static constexpr unsigned kLitRoot = 10;
    static constexpr unsigned kDistRoot = 8;
    std::uint32_t lit[(1u << kLitRoot) + 288 * 32];
    std::uint32_t dist[(1u << kDistRoot) + 32 * 128];
    std::uint32_t clen[1u << 7];
    std::uint32_t fixed_lit[(1u << kLitRoot) + 288 * 32];
    std::uint32_t fixed_dist[(1u << kDistRoot) + 32 * 128];
    bool fixed_ready = false;

    // explode
    static constexpr unsigned kSfRoot = 10;
    std::uint32_t sf_lit[(1u << kSfRoot) + 256 * 64];
    std::uint32_t sf_len[(1u << kSfRoot) + 64 * 64];
    std::uint32_t sf_dist[(1u << kSfRoot) + 64 * 64];

    // unshrink
    std::int16_t parent[8192];
    std::uint8_t suffix[8192];
    std::uint8_t in_use[8192];
    std::uint8_t stack[8192];
};

} // namespace kx::zip
