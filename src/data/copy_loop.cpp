#include "data/copy_loop.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kx::data {

namespace {

// Two upper-case digits for every byte value.
struct HexTable {
    char pairs[256][2];
    constexpr HexTable() : pairs()
    {
        constexpr char digits[] = "0123456789ABCDEF";
        for (int i = 0; i < 256; ++i) {
            pairs[i][0] = digits[i >> 4];
            pairs[i][1] = digits[i & 15];
        }
    }
};
constexpr HexTable kHex;

} // namespace

void hex_encode(const std::uint8_t *in, std::size_t n, char *out)
{
    for (std::size_t i = 0; i < n; ++i) std::memcpy(out + 2 * i, kHex.pairs[in[i]], 2);
}

int copy_loop(std::FILE *in, output::Channel &ch, int mode)
{
    if (mode != kCopyBinary && mode != kCopyHex) return 32;
    // One block; it lives on the stack, so there is nothing to allocate.
    alignas(16) std::uint8_t buf[kCopyBlock];
    const std::size_t want = mode == kCopyHex ? kCopyBlock / 2 : kCopyBlock;
    int result = 0;
    do {
        std::size_t n = std::fread(buf, 1, want, in);
        if (n > 0) {
            std::size_t out = n;
            if (mode == kCopyHex) {
                // Expand in place from the last byte backwards, so each byte
                // is read before its digits overwrite it.
                for (std::size_t i = n; i-- > 0;) std::memcpy(buf + 2 * i, kHex.pairs[buf[i]], 2);
                out = 2 * n;
            }
            output::write(ch, buf, out);
            if (ch.nResult != 0) break;
        } else if (std::ferror(in)) {
            result = 6;
            break;
        } else if (!std::feof(in)) {
            break;  // nothing read, no error, no end: nothing more to copy
        }
    } while (!std::feof(in));
    return result != 0 ? result : ch.nResult;
}

namespace {

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

CommandString decode_command_string(std::string_view text)
{
    CommandString cs;
    if (!text.empty() && text.front() == '%') {
        cs.kind = CommandString::File;
        cs.file = text.substr(1);
        return cs;
    }
    if (!text.empty() && text.front() == '$') {
        std::string_view src = text.substr(1);
        cs.bytes.reserve(src.size());
        for (std::size_t i = 0; i < src.size(); ++i) {
            char c = src[i];
            if (c != '\\') {
                cs.bytes.push_back(static_cast<std::uint8_t>(c));
                continue;
            }
            if (++i >= src.size()) break;  // a backslash at the very end ends the text
            c = src[i];
            if (c == 'n') {
                cs.bytes.push_back(0x0A);
            } else if (c == 'x') {
                // Up to two characters, read as a hexadecimal number the way
                // strtol reads it (it stops at the first character it cannot use).
                char digits[3] = {};
                std::size_t k = 0;
                while (k < 2 && i + 1 < src.size()) digits[k++] = src[++i];
                cs.bytes.push_back(static_cast<std::uint8_t>(std::strtol(digits, nullptr, 16)));
            } else {
                cs.bytes.push_back(static_cast<std::uint8_t>(c));
            }
        }
        // The text ends at its first zero byte.
        auto zero = std::find(cs.bytes.begin(), cs.bytes.end(), 0);
        cs.bytes.erase(zero, cs.bytes.end());
        cs.kind = CommandString::Bytes;
        return cs;
    }
    if (text.size() % 2 != 0) return cs;
    cs.bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int hi = hex_digit(text[i]), lo = hex_digit(text[i + 1]);
        if (hi < 0 || lo < 0) {
            cs.bytes.clear();
            return cs;
        }
        cs.bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    cs.kind = CommandString::Bytes;
    return cs;
}

} // namespace kx::data
