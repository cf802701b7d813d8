#include "platform/confined.h"
#include "platform/path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace kx::platform {

bool ConfinedDir::open_start(std::string_view dir)
{
    std::string d = dir.empty() ? std::string(".") : native_path(dir);
    dir_ = Fd(::open(d.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return static_cast<bool>(dir_);
}

DirStep ConfinedDir::enter(std::string_view name)
{
    std::string n(name);
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::openat(dir_.get(), n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            dir_ = Fd(fd);
            return DirStep::Ok;
        }
        if (errno == ENOTDIR || errno == ELOOP) return DirStep::NotDirectory;
        if (errno != ENOENT || attempt > 0) return DirStep::CannotCreate;
        if (::mkdirat(dir_.get(), n.c_str(), 0777) != 0 && errno != EEXIST) return DirStep::CannotCreate;
    }
    return DirStep::CannotCreate;
}

Fd ConfinedDir::create_file(std::string_view name)
{
    std::string n(name);
    int fd = ::openat(dir_.get(), n.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == ELOOP) {
        // A link stands where the file goes: replace the link itself.
        struct stat st;
        if (::fstatat(dir_.get(), n.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode) &&
            ::unlinkat(dir_.get(), n.c_str(), 0) == 0)
            fd = ::openat(dir_.get(), n.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    }
    return Fd(fd);
}

} // namespace kx::platform
