// Paths as the library handles them: both '\' and '/' separate components
// when parsing; paths the library composes use '/' on POSIX. Windows file
// names ignore letter case, so a read-side lookup of a name that does not
// exist as spelled falls back to a case-insensitive match of its last
// component in its directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kx::platform {

constexpr char kSeparator = '/';

inline bool is_separator(char c) { return c == '/' || c == '\\'; }

// The path with every '\' turned into the native separator.
std::string native_path(std::string_view path);

// Parts of a path in the manner of _splitpath: directory (with its trailing
// separator), base name, and extension (with its dot). A drive letter "X:"
// is kept at the front of the directory part.
struct PathParts {
    std::string dir;
    std::string name;
    std::string ext;
};
PathParts split_path(std::string_view path);

// The last component (after the last separator or ':').
std::string_view file_name_of(std::string_view path);
// Everything up to and including the last separator ("" when none).
std::string_view dir_of(std::string_view path);
// dir + '/' + name, without doubling a separator dir already ends with.
std::string join_path(std::string_view dir, std::string_view name);

// The letter lower-cased when it is one of A-Z (the system code page's
// letters); any other byte unchanged.
inline char ascii_lower(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
// The letter upper-cased when it is one of a-z; any other byte unchanged.
inline char ascii_upper(char c) noexcept { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
// ASCII case-insensitive comparison. Inline: INI look-ups call it per line.
inline bool iequals(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}
// Windows-style wildcard match ('*' any run, '?' one character) ignoring case.
bool wildcard_match(std::string_view pattern, std::string_view name);

// For reading: the path as spelled when it exists, else the one entry of its
// directory whose name equals the last component ignoring case, else the
// native path unchanged (so the caller's open fails as it should).
std::string resolve_for_read(std::string_view path);

// Does the path exist (after the case-insensitive fallback)?
bool exists(std::string_view path);
bool is_directory(std::string_view path);

// One directory entry of a listing.
struct DirEntry {
    std::string name;
    bool is_dir = false;
    unsigned long long size = 0;
    long long mtime = 0;
};
// Entries of dir whose names match pattern (wildcard_match), "." and ".."
// left out, in the order the directory gives them. False when dir cannot be read.
bool list_directory(std::string_view dir, std::string_view pattern, std::vector<DirEntry> &out);

// The per-user temporary directory (TMPDIR, else /tmp), without a trailing separator.
std::string temp_directory();

} // namespace kx::platform
