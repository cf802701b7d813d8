// DLF listing line and FMF name over arbitrary bytes, and the PFB name scan
// over a stream of them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

#include "fonts/dlf_reader.h"
#include "fonts/type1_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    std::size_t head = size < kx::fonts::dlf::kReadBytes ? size : kx::fonts::dlf::kReadBytes;
    auto line = kx::fonts::dlf_listing(bytes.first(head));
    if (line.size() > kx::fonts::dlf::kListingMax) __builtin_trap();
    kx::fonts::fmf_name(bytes.first(size < 200 ? size : 200));
    if (size == 0) return 0;
    if (std::FILE *fp = fmemopen(const_cast<std::uint8_t *>(data), size, "rb")) {
        kx::fonts::pfb_names(fp);
        std::fclose(fp);
    }
    return 0;
}
