// PCL font descriptor reader and short font name over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fonts/pcl_softfont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    KxFontInfo info;
    std::memset(&info, 0, sizeof info);
    kx::fonts::parse_descriptor(std::span<const std::uint8_t>(data, size), info);
    if (info.szDescription[sizeof info.szDescription - 1] != 0) __builtin_trap();
    if (size >= kx::fonts::pcl::kDescriptorBytes) {
        auto name = kx::fonts::short_font_name(std::span<const std::uint8_t, 64>(data, 64));
        if (name.size() != 16) __builtin_trap();
    }
    return 0;
}
