#include "util/file_utils.h"

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "platform/path.h"

namespace kx::util {

int open_by_mode(std::string_view path, int mode)
{
    int flags = 0;
    switch (mode) {
    case 2:
    case 5:
        flags = O_WRONLY | O_CREAT | O_TRUNC;
        break;
    case 3:
    case 6:
        flags = O_WRONLY;
        break;
    case 7:
    case 8:
    case 10:
    case 11:
        flags = O_RDWR | O_CREAT | O_TRUNC;
        break;
    case 9:
    case 12:
        flags = O_RDWR;
        break;
    default:
        flags = O_RDONLY;
        break;
    }
    // Reading opens find a name that differs only in letter case; creating
    // opens make exactly the name given.
    std::string name = (flags & O_CREAT) ? platform::native_path(path) : platform::resolve_for_read(path);
    int fd;
    do {
        fd = ::open(name.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

namespace {

// Size of one read of the checksum: large enough that system calls do not
// matter, small enough to stay in cache.
constexpr std::size_t kChecksumBlock = 256 * 1024;

// Sum of the n/2 little-endian words at p (n even), wrapping at 16 bits.
// Eight bytes at a time: the four words of a 64-bit load are split into two
// pairs of 32-bit lanes, folded before a lane can carry into its neighbour.
std::uint16_t word_sum(const unsigned char *p, std::size_t n)
{
    constexpr std::uint64_t kLanes = 0x0000FFFF0000FFFFull;
    constexpr std::size_t kFoldEvery = 32768;  // 32768 * 0xFFFF * 2 < 2^32
    std::uint32_t total = 0;
    while (n >= 8) {
        std::size_t steps = n / 8 < kFoldEvery ? n / 8 : kFoldEvery;
        std::uint64_t a = 0;
        for (std::size_t i = 0; i < steps; ++i) {
            std::uint64_t x;
            std::memcpy(&x, p + 8 * i, 8);
            if constexpr (std::endian::native == std::endian::big) x = __builtin_bswap64(x);
            a += (x & kLanes) + ((x >> 16) & kLanes);
        }
        total += static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(a >> 32);
        p += 8 * steps;
        n -= 8 * steps;
    }
    for (std::size_t i = 0; i + 1 < n; i += 2) total += std::uint32_t(p[i]) | (std::uint32_t(p[i + 1]) << 8);
    return static_cast<std::uint16_t>(total);
}

} // namespace

int checksum_fd(int fd, std::uint16_t skip_word, std::uint16_t &sum)
{
    sum = 0;
    std::uint16_t acc = 0;        // sum of the words read so far (subtracted at the end)
    std::uint16_t last_word = 0;  // the word buffer: the last whole word read
    std::uint64_t words = 0;      // words read so far (the counter i)
    int result = 0;

    // A descriptor that cannot seek (a pipe) is read from where it stands.
    (void)::lseek(fd, 0, SEEK_SET);
    std::unique_ptr<unsigned char[]> buf(new (std::nothrow) unsigned char[kChecksumBlock + 1]);
    if (!buf) return 11;

    std::size_t carry = 0;  // 0 or 1 byte left over from an odd-sized read
    for (;;) {
        ssize_t r = ::read(fd, buf.get() + carry, kChecksumBlock);
        if (r < 0) {
            if (errno == EINTR) continue;
            result = 6;
            break;
        }
        if (r == 0) break;
        std::size_t have = carry + static_cast<std::size_t>(r);
        std::size_t even = have & ~std::size_t(1);
        if (even > 0) {
            std::uint64_t first = words + 1;
            std::uint64_t count = even / 2;
            acc = static_cast<std::uint16_t>(acc + word_sum(buf.get(), even));
            if (skip_word != 0 && skip_word >= first && skip_word < first + count) {
                std::size_t off = static_cast<std::size_t>(skip_word - first) * 2;
                acc = static_cast<std::uint16_t>(acc - (buf[off] | (buf[off + 1] << 8)));
            }
            last_word = static_cast<std::uint16_t>(buf[even - 2] | (buf[even - 1] << 8));
            words += count;
        }
        carry = have - even;
        if (carry) buf[0] = buf[even];
    }
    if (carry && result == 0) {
        // An odd final byte replaces only the low byte of the word buffer:
        // the high byte is still that of the previous word.
        ++words;
        std::uint16_t w = static_cast<std::uint16_t>((last_word & 0xFF00) | buf[0]);
        if (!(skip_word != 0 && skip_word == words)) acc = static_cast<std::uint16_t>(acc + w);
    }
    sum = static_cast<std::uint16_t>(0u - acc);
    return result;
}

} // namespace kx::util
