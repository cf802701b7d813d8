#include "data/copy_loop.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// The 32 upper-case hexadecimal digits of 16 bytes, high nibble first.
inline void hex16(const std::uint8_t *in, std::uint8_t *out)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
    const __m128i mask = _mm_set1_epi8(0x0F);
    const __m128i hi = _mm_and_si128(_mm_srli_epi16(v, 4), mask);
    const __m128i lo = _mm_and_si128(v, mask);
    // Nibble n becomes '0' + n, plus 7 more for 10 to 15 ('A' is '9' + 8).
    auto ascii = [](__m128i n) {
        const __m128i over9 = _mm_cmpgt_epi8(n, _mm_set1_epi8(9));
        return _mm_add_epi8(_mm_add_epi8(n, _mm_set1_epi8('0')), _mm_and_si128(over9, _mm_set1_epi8(7)));
    };
    const __m128i a = ascii(_mm_unpacklo_epi8(hi, lo));
    const __m128i b = ascii(_mm_unpackhi_epi8(hi, lo));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), a);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 16), b);
}
#endif

// Expands the n bytes at the start of buf in place into 2n digits. It works
// from the end backwards, and each group is loaded before its digits are
// stored, so no byte is overwritten before it is read.
void hex_expand_in_place(std::uint8_t *buf, std::size_t n)
{
    std::size_t i = n;
#if defined(__SSE2__)
    // The tail that does not fill a group of 16 first (it lies highest).
    for (std::size_t tail = n % 16; tail > 0; --tail) {
        --i;
        std::memcpy(buf + 2 * i, kHex.pairs[buf[i]], 2);
    }
    while (i >= 16) {
        i -= 16;
        hex16(buf + i, buf + 2 * i);
    }
#endif
    while (i-- > 0) std::memcpy(buf + 2 * i, kHex.pairs[buf[i]], 2);
}

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
                hex_expand_in_place(buf, n);
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
