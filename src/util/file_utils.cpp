#include "util/file_utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/file.h"
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
constexpr std::size_t kChecksumBlock = 128 * 1024;

// Sum of the n/2 little-endian words at p (n even), wrapping at 16 bits.
// Modulo 2^16 the sum of the words is the sum of their low bytes plus 256
// times the sum of their high bytes, so the bytes are summed in two groups
// (with SSE2's sum-of-absolute-differences against zero, 16 bytes a step)
// and combined at the end.
std::uint16_t word_sum(const unsigned char *p, std::size_t n)
{
    std::uint64_t low = 0, high = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i low_mask = _mm_set1_epi16(0x00FF);
    __m128i acc_low = zero, acc_high = zero;
    for (; n >= 16; p += 16, n -= 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        acc_low = _mm_add_epi64(acc_low, _mm_sad_epu8(_mm_and_si128(v, low_mask), zero));
        acc_high = _mm_add_epi64(acc_high, _mm_sad_epu8(_mm_srli_epi16(v, 8), zero));
    }
    alignas(16) std::uint64_t lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i *>(lanes), acc_low);
    low = lanes[0] + lanes[1];
    _mm_store_si128(reinterpret_cast<__m128i *>(lanes), acc_high);
    high = lanes[0] + lanes[1];
#endif
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        low += p[i];
        high += p[i + 1];
    }
    return static_cast<std::uint16_t>(low + (high << 8));
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

int checksum_file(std::string_view path, std::uint16_t skip_word, std::uint16_t &sum)
{
    int fd = open_by_mode(path, 4);
    if (fd < 0) return 3;
    int result = checksum_fd(fd, skip_word, sum);
    if (::close(fd) != 0 && result == 0) result = 4;
    return result;
}

bool file_exists(std::string_view path)
{
    if (path.empty()) return false;
    // Readable implies present: one check answers both.
    return ::access(platform::resolve_for_read(path).c_str(), R_OK) == 0;
}

std::uint32_t query_size(std::string_view path)
{
    if (path.empty()) return 0;
    std::string_view base = platform::file_name_of(path);
    if (base.find_first_of("*?") == std::string_view::npos) {
        struct stat st;
        // A directory entry has no size of its own, as the directory search reports it.
        if (::stat(platform::resolve_for_read(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return 0;
        return static_cast<std::uint32_t>(st.st_size);
    }
    std::vector<platform::DirEntry> entries;
    if (!platform::list_directory(platform::dir_of(path), base, entries) || entries.empty()) return 0;
    return entries.front().is_dir ? 0 : static_cast<std::uint32_t>(entries.front().size);
}

int copy_error_code(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return 2;
    case EACCES:
    case EPERM:
    case EROFS:
        return 5;
    case EBUSY:
    case ETXTBSY:
        return 31;
    case EINVAL:
        return 1;
    case EOPNOTSUPP:
        return 28;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 20;
    case ENAMETOOLONG:
    case EISDIR:
        return 27;
    default:
        return 36;
    }
}

namespace {

constexpr std::size_t kCopyBlock = 256 * 1024;

// Copies every byte of in to out; 0 or an errno value.
int copy_bytes(int in, int out)
{
    std::unique_ptr<unsigned char[]> buf(new (std::nothrow) unsigned char[kCopyBlock]);
    if (!buf) return ENOMEM;
    for (;;) {
        ssize_t r = ::read(in, buf.get(), kCopyBlock);
        if (r < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (r == 0) return 0;
        if (!platform::write_all(out, buf.get(), static_cast<std::size_t>(r))) return errno ? errno : EIO;
    }
}

} // namespace

int copy_file(std::string_view from, std::string_view to, bool keep_target_mode)
{
    std::string src = platform::resolve_for_read(from);
    std::string dst = platform::native_path(to);
    platform::Fd in(::open(src.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in) return copy_error_code(errno);
    struct stat sst;
    if (::fstat(in.get(), &sst) != 0) return copy_error_code(errno);
    if (S_ISDIR(sst.st_mode)) return copy_error_code(EISDIR);

    struct stat dstst;
    bool target_exists = ::stat(dst.c_str(), &dstst) == 0;
    if (target_exists) {
        // A file copied onto itself is already its own copy; writing it again
        // through a truncating open would destroy it.
        if (dstst.st_dev == sst.st_dev && dstst.st_ino == sst.st_ino) return 0;
        if (S_ISDIR(dstst.st_mode)) return copy_error_code(EISDIR);
        // A write-protected target is refused, as the system refuses to
        // overwrite a read-only file.
        if (::access(dst.c_str(), W_OK) != 0) return copy_error_code(errno);
    }

    // The new bytes go to a sibling of the target, renamed over it when
    // complete. A short fixed prefix, so that a long target name never makes
    // the sibling's name too long.
    mode_t mode = (keep_target_mode && target_exists) ? dstst.st_mode : sst.st_mode;
    int err = platform::replace_file(dst, ".kxcopy.", static_cast<int>(mode & 07777),
                                     [&](int out) { return copy_bytes(in.get(), out); });
    return err == 0 ? 0 : copy_error_code(err);
}

int backup_file(std::string_view path, std::string &backup_name, std::size_t max_name)
{
    if (!file_exists(path)) return 27;
    platform::PathParts parts = platform::split_path(path);
    std::string stem = parts.dir + parts.name;
    // "<stem>.NNN": refuse rather than cut a name that would not fit.
    if (stem.size() + 4 > max_name) return 1;
    char suffix[8];
    for (int n = 1; n <= 998; ++n) {
        std::snprintf(suffix, sizeof suffix, ".%03d", n);
        backup_name = stem + suffix;
        if (!platform::exists(backup_name)) return copy_file(path, backup_name);
    }
    return 37;
}

namespace {
// Removes a temporary file when it goes out of scope.
struct TempFileRemover {
    std::string path;
    ~TempFileRemover()
    {
        if (!path.empty()) ::unlink(path.c_str());
    }
};
} // namespace

int modify_file(std::string_view path, void *context, LineCallback callback)
{
    constexpr int kLineSize = 2048;
    std::string tmp;
    platform::Fd tmp_fd = platform::make_temp_file(platform::temp_directory(), "tmpfil", tmp);
    if (!tmp_fd) return 26;
    TempFileRemover remover{tmp};

    std::string original = platform::resolve_for_read(path);
    platform::File in(std::fopen(original.c_str(), "r"));
    if (!in) return 3;
    platform::File out(::fdopen(tmp_fd.get(), "w"));
    if (!out) return 3;
    tmp_fd.release();

    std::unique_ptr<char[]> line(new (std::nothrow) char[kLineSize]);
    if (!line) return 11;
    while (std::fgets(line.get(), kLineSize, in.get())) {
        callback(line.get(), context);
        if (line[0] != '\0' && std::fputs(line.get(), out.get()) == EOF) return 7;
    }
    // A read error must not pass for the end of the file: the original
    // would be replaced by its first part.
    if (std::ferror(in.get())) return 6;
    if (!in.close()) return 4;
    if (std::fflush(out.get()) != 0) return 7;
    if (!out.close()) return 4;
    return copy_file(tmp, original, true);
}

int make_path(std::string_view path, std::string &created)
{
    created.clear();
    if (path.empty() || !platform::is_separator(path.front())) return 26;
    if (platform::is_separator(path.back())) return 26;

    std::string prefix = "/";
    std::size_t pos = 0;
    while (pos < path.size()) {
        while (pos < path.size() && platform::is_separator(path[pos])) ++pos;
        std::size_t end = pos;
        while (end < path.size() && !platform::is_separator(path[end])) ++end;
        if (end == pos) break;
        std::string_view component = path.substr(pos, end - pos);
        pos = end;
        prefix += component;
        struct stat st;
        if (::stat(prefix.c_str(), &st) != 0) {
            if (::mkdir(prefix.c_str(), 0777) != 0) return 26;
            created += '/';
            created += component;
        } else if (!S_ISDIR(st.st_mode)) {
            return 26;
        }
        prefix += '/';
    }
    return 0;
}

} // namespace kx::util
