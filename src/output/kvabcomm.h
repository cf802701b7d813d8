// The maker's communication library, loaded at run time as libkvabcomm.so.
// It is outside this library; these are the entry points the channel calls,
// with the argument orders and results it relies on (0 = success).
#pragma once

#include <cstdint>

namespace kx::output {

inline constexpr const char *kCommLibraryName = "libkvabcomm.so";

extern "C" {
using BceOpenFn = int (*)(std::uint16_t adapter, std::uint16_t device, int reserved);
using BceCloseFn = int (*)(std::uint16_t adapter, std::uint16_t device);
using BceStartDocFn = int (*)(std::uint16_t device, int reserved, void *job_header);
using BceEndDocFn = int (*)(std::uint16_t device, int reserved);
using BceWriteFn = int (*)(std::uint16_t adapter, std::uint16_t device, int reserved, const void *bytes,
                           std::uint32_t *count, int last);
using BceGetPrtInfoFn = int (*)(std::uint16_t device, void *info, int reserved);
}

// Size of the printer-information buffer BceGetPrtInfo fills, and the
// offset of the 32-bit printer-type bits inside it.
inline constexpr std::size_t kPrtInfoSize = 412;
inline constexpr std::size_t kPrtInfoTypeOffset = 92;

} // namespace kx::output
