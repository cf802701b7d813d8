// PFM header check and face name: the first bytes as the reader keeps them,
// the whole input as the file.
#include <cstddef>
#include <cstdint>

#include "fonts/pfm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kx::fonts::PfmImage image;
    std::size_t head = size < kx::fonts::pfm::kReadBytes ? size : kx::fonts::pfm::kReadBytes;
    image.bytes.assign(data, data + head);
    image.file_size = size;
    if (kx::fonts::check_pfm(image.bytes, image.file_size) == 0) {
        auto name = kx::fonts::pfm_face_name(image);
        if (name.size() > kx::fonts::pfm::kMaxFaceName) __builtin_trap();
    }
    return 0;
}
