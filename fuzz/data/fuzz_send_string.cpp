// Decodes arbitrary command strings of KxDatSendString.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/copy_loop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The export sees a C string: the text ends at the first zero byte.
    std::string text(reinterpret_cast<const char *>(data), size);
    text.resize(std::char_traits<char>::length(text.c_str()));
    kx::data::CommandString cs = kx::data::decode_command_string(text);
    switch (cs.kind) {
    case kx::data::CommandString::Bytes:
        if (!text.empty() && text[0] == '$') {
            // Escaped text: never longer than its source, never a zero byte.
            if (cs.bytes.size() > text.size() - 1) std::abort();
            for (auto b : cs.bytes)
                if (b == 0) std::abort();
        } else if (cs.bytes.size() * 2 != text.size()) {
            std::abort();
        }
        break;
    case kx::data::CommandString::File:
        if (cs.file.data() != text.data() + 1) std::abort();
        break;
    case kx::data::CommandString::Invalid:
        if (!cs.bytes.empty()) std::abort();
        break;
    }
    return 0;
}
