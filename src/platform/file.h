// Owning handles for files and small whole-file helpers. Every file the
// library opens is held by one of these so that an early return closes it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::platform {

// A stdio stream closed on destruction. close() reports fclose's outcome.
class File {
public:
    File() = default;
    explicit File(std::FILE *fp) : fp_(fp) {}
    File(const File &) = delete;
    File &operator=(const File &) = delete;
    File(File &&o) noexcept : fp_(o.release()) {}
    File &operator=(File &&o) noexcept
    {
        if (this != &o) {
            close();
            fp_ = o.release();
        }
        return *this;
    }
    ~File() { close(); }

    std::FILE *get() const { return fp_; }
    explicit operator bool() const { return fp_ != nullptr; }
    std::FILE *release()
    {
        std::FILE *f = fp_;
        fp_ = nullptr;
        return f;
    }
    // True when the stream was closed cleanly (or there was none).
    bool close()
    {
        if (!fp_) return true;
        bool ok = std::fclose(fp_) == 0;
        fp_ = nullptr;
        return ok;
    }

private:
    std::FILE *fp_ = nullptr;
};

// A POSIX file descriptor closed on destruction.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    Fd(Fd &&o) noexcept : fd_(o.release()) {}
    Fd &operator=(Fd &&o) noexcept
    {
        if (this != &o) {
            close();
            fd_ = o.release();
        }
        return *this;
    }
    ~Fd() { close(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release()
    {
        int f = fd_;
        fd_ = -1;
        return f;
    }
    bool close();

private:
    int fd_ = -1;
};

// fopen with the case-insensitive read-side fallback applied for modes that
// read an existing file ("r", "rb", "r+", "rb+"); other modes create exactly
// the name given (with '\' taken as a separator).
File open_file(std::string_view path, const char *mode);

// Reads a whole file (after the case-insensitive fallback). Returns false
// when it cannot be opened or read, or is larger than max_size bytes.
bool read_file(std::string_view path, std::vector<std::uint8_t> &out,
               std::size_t max_size = std::size_t(1) << 30);
// Reads at most n bytes from the start of a file; false when it cannot be opened or read.
bool read_file_prefix(std::string_view path, std::size_t n, std::vector<std::uint8_t> &out);

// Creates a new file exclusively (mkstemp) in dir, named prefix + random
// suffix. Returns the open descriptor and sets path; an invalid Fd on failure.
Fd make_temp_file(std::string_view dir, std::string_view prefix, std::string &path);

// Replaces the file target whole: write fills a new sibling of it (prefix +
// random suffix, in target's directory), which takes the permission bits
// mode (mode < 0: those of a new private file) and is renamed over target
// once write returned 0 and the sibling closed cleanly. On any failure the
// sibling is removed and target is left as it was. write gets the sibling's
// descriptor and returns 0 or an errno value; so does replace_file (an
// exception out of write counts as a failure: ENOMEM for bad_alloc, else EIO).
int replace_file(std::string_view target, std::string_view prefix, int mode, const std::function<int(int fd)> &write);

// read() until n bytes arrived or the end of the file, retrying short reads;
// the count read, or -1 on a read error.
long long read_full(int fd, void *data, std::size_t n);

// write() of the whole buffer, retrying short writes; false on failure.
bool write_all(int fd, const void *data, std::size_t n);

} // namespace kx::platform
