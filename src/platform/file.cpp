#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/path.h"

namespace kx::platform {

bool Fd::close()
{
    if (fd_ < 0) return true;
    bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

File open_file(std::string_view path, const char *mode)
{
    std::string name = (mode[0] == 'r') ? resolve_for_read(path) : native_path(path);
    return File(std::fopen(name.c_str(), mode));
}

bool read_file(std::string_view path, std::vector<std::uint8_t> &out, std::size_t max_size)
{
    Fd fd(::open(resolve_for_read(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return false;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (static_cast<unsigned long long>(st.st_size) > max_size) return false;
    out.resize(static_cast<std::size_t>(st.st_size));
    long long got = read_full(fd.get(), out.data(), out.size());
    if (got < 0) return false;  // a read error is not the end of the file
    out.resize(static_cast<std::size_t>(got));
    return true;
}

bool read_file_prefix(std::string_view path, std::size_t n, std::vector<std::uint8_t> &out)
{
    Fd fd(::open(resolve_for_read(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return false;
    out.resize(n);
    long long got = read_full(fd.get(), out.data(), n);
    if (got < 0) return false;
    out.resize(static_cast<std::size_t>(got));
    return true;
}

Fd make_temp_file(std::string_view dir, std::string_view prefix, std::string &path)
{
    std::string tmpl = join_path(native_path(dir), prefix);
    tmpl += "XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return Fd();
    path = tmpl;
    return Fd(fd);
}

int replace_file(std::string_view target, std::string_view prefix, int mode, const std::function<int(int fd)> &write)
{
    std::string dst = native_path(target);
    std::string dir(dir_of(dst));
    std::string tmp;
    Fd out = make_temp_file(dir.empty() ? "." : dir, prefix, tmp);
    if (!out) return errno ? errno : EIO;
    int err;
    try {
        err = write(out.get());
    } catch (const std::bad_alloc &) {
        err = ENOMEM;
    } catch (...) {
        err = EIO;
    }
    if (err == 0 && mode >= 0 && ::fchmod(out.get(), static_cast<mode_t>(mode) & 07777) != 0) err = errno;
    if (!out.close() && err == 0) err = errno ? errno : EIO;
    if (err == 0 && ::rename(tmp.c_str(), dst.c_str()) != 0) err = errno;
    if (err != 0) ::unlink(tmp.c_str());
    return err;
}

long long read_full(int fd, void *data, std::size_t n)
{
    auto *p = static_cast<unsigned char *>(data);
    std::size_t got = 0;
    while (got < n) {
        ssize_t r = ::read(fd, p + got, n - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return static_cast<long long>(got);
}

bool write_all(int fd, const void *data, std::size_t n)
{
    const auto *p = static_cast<const unsigned char *>(data);
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

} // namespace kx::platform
