// General exports: API information, memory release, queue and adapter query.
#include "kxapi.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "api/memory.h"

namespace kx {

void *caller_alloc(std::size_t n) { return std::malloc(n ? n : 1); }
void *caller_calloc(std::size_t n) { return std::calloc(1, n ? n : 1); }
void caller_free(void *p) { std::free(p); }

namespace {
// API information: 64 little-endian 16-bit words, these non-zero.
constexpr std::size_t kApiInfoWords = 64;
struct ApiWord {
    unsigned index;
    std::uint16_t value;
};
constexpr ApiWord kApiInfo[] = {{0, 100}, {1, 32}, {2, 2},  {3, 2},  {11, 1}, {12, 1},
                                {16, 1},  {17, 1}, {20, 1}, {23, 1}, {26, 1}, {28, 1}};
// Smallest buffer KxGenQueryQueues accepts (only the low 16 bits of the size count).
constexpr std::uint16_t kMinQueueBuffer = 1024;
} // namespace

} // namespace kx

extern "C" {

KXAPI_EXPORT int KxGenQueryApiInfo(void *info)
{
    auto *bytes = static_cast<unsigned char *>(info);
    std::memset(bytes, 0, kx::kApiInfoWords * 2);
    for (const auto &w : kx::kApiInfo) {
        bytes[w.index * 2] = static_cast<unsigned char>(w.value & 0xFF);
        bytes[w.index * 2 + 1] = static_cast<unsigned char>(w.value >> 8);
    }
    return KX_OK;
}

KXAPI_EXPORT void KxMemFree(void *block) { kx::caller_free(block); }

KXAPI_EXPORT int KxGenQueryQueues(int, int, void *buffer, uint32_t size)
{
    if (buffer == nullptr || static_cast<uint16_t>(size) < kx::kMinQueueBuffer) return KX_ERR_INVALID_ARG;
    return KX_OK;
}

// One function under two export names.
KXAPI_EXPORT int KxGenQueryAdapters(int, int, void *, uint32_t) __attribute__((alias("KxGenQueryQueues")));

} // extern "C"
