// PCM walk over a stream holding the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fonts/pcm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0) return 0;
    std::FILE *fp = fmemopen(const_cast<std::uint8_t *>(data), size, "rb");
    if (!fp) return 0;
    kx::fonts::PcmListing listing;
    kx::fonts::read_pcm(fp, size, listing);
    std::fclose(fp);
    // Every face comes from an embedded PFM of at least 36 bytes.
    if (listing.faces.size() > size / 36 + 1) __builtin_trap();
    return 0;
}
