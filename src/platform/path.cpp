#include "platform/path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

namespace kx::platform {

namespace {
struct DirCloser {
    void operator()(DIR *d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;
} // namespace

std::string native_path(std::string_view path)
{
    std::string s(path);
    for (char &c : s)
        if (c == '\\') c = kSeparator;
    return s;
}

std::string_view file_name_of(std::string_view path)
{
    for (std::size_t i = path.size(); i > 0; --i)
        if (is_separator(path[i - 1]) || path[i - 1] == ':') return path.substr(i);
    return path;
}

std::string_view dir_of(std::string_view path)
{
    return path.substr(0, path.size() - file_name_of(path).size());
}

PathParts split_path(std::string_view path)
{
    PathParts p;
    std::string_view base = file_name_of(path);
    p.dir = std::string(dir_of(path));
    auto dot = base.rfind('.');
    if (dot == std::string_view::npos) {
        p.name = std::string(base);
    } else {
        p.name = std::string(base.substr(0, dot));
        p.ext = std::string(base.substr(dot));
    }
    return p;
}

std::string join_path(std::string_view dir, std::string_view name)
{
    std::string s(dir);
    if (!s.empty() && !is_separator(s.back()) && s.back() != ':') s += kSeparator;
    s += name;
    return s;
}

bool wildcard_match(std::string_view pattern, std::string_view name)
{
    // Iterative match with one backtrack point for the last '*'.
    std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || ascii_lower(pattern[p]) == ascii_lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string resolve_for_read(std::string_view path)
{
    std::string native = native_path(path);
    struct stat st;
    if (native.empty() || ::stat(native.c_str(), &st) == 0) return native;
    std::string_view base = file_name_of(native);
    if (base.empty()) return native;
    std::string dir(dir_of(native));
    DirHandle d(::opendir(dir.empty() ? "." : dir.c_str()));
    if (!d) return native;
    while (const dirent *e = ::readdir(d.get())) {
        if (iequals(e->d_name, base)) return dir + e->d_name;
    }
    return native;
}

bool exists(std::string_view path)
{
    struct stat st;
    return ::stat(resolve_for_read(path).c_str(), &st) == 0;
}

bool is_directory(std::string_view path)
{
    struct stat st;
    return ::stat(resolve_for_read(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool list_directory(std::string_view dir, std::string_view pattern, std::vector<DirEntry> &out)
{
    std::string native = native_path(dir);
    DirHandle d(::opendir(native.empty() ? "." : native.c_str()));
    if (!d) return false;
    while (const dirent *e = ::readdir(d.get())) {
        std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        if (!wildcard_match(pattern, name)) continue;
        DirEntry entry;
        entry.name = std::string(name);
        struct stat st;
        if (::stat(join_path(native, name).c_str(), &st) == 0) {
            entry.is_dir = S_ISDIR(st.st_mode);
            entry.size = static_cast<unsigned long long>(st.st_size);
            entry.mtime = static_cast<long long>(st.st_mtime);
        }
        out.push_back(std::move(entry));
    }
    return true;
}

std::string temp_directory()
{
    const char *t = std::getenv("TMPDIR");
    std::string dir = (t && *t) ? t : "/tmp";
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

} // namespace kx::platform
