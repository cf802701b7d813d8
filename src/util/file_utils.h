// File helpers shared by the families (existence, size, checksum, the
// open-by-mode routine). The exported Fil/Str functions are thin shims over these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kx::util {

// Opens a file by a mode number of the 16-bit-compatible file calls:
// 2 and 5 create (truncate) and open for writing; 3 and 6 open for writing;
// 7, 8, 10 and 11 create and open for reading and writing; 9 and 12 open for
// reading and writing; every other mode opens for reading (with the
// case-insensitive read-side fallback). Returns the descriptor, or -1.
int open_by_mode(std::string_view path, int mode);

// The 16-bit file checksum of an open descriptor, read from its start: the
// two's complement of the sum of the little-endian words, leaving out word
// number skip_word (1-based; 0 leaves out none). Stores the sum also on a
// read error. Reads in large blocks from offset 0 (a descriptor that cannot
// seek is read from where it stands). Returns 0, 6 on a read error, or 11
// when no read buffer can be allocated.
int checksum_fd(int fd, std::uint16_t skip_word, std::uint16_t &sum);

// The checksum of a named file (opened for reading, closed again): 0, 3 when
// it cannot be opened, 4 when it cannot be closed, or checksum_fd's code.
int checksum_file(std::string_view path, std::uint16_t skip_word, std::uint16_t &sum);

// True when the path is non-empty, exists and is readable (a directory too).
bool file_exists(std::string_view path);

// Size of the first directory entry matching the path, which may hold the
// wildcards '*' and '?' in its last component; 0 when nothing matches.
// Sizes above 4 GiB keep their low 32 bits.
std::uint32_t query_size(std::string_view path);

// Copies a file, replacing the target: the bytes go to a new sibling of the
// target that is renamed over it only when complete, so a failed copy leaves
// the target as it was. Copying a file onto itself does nothing and succeeds.
// The copy takes the source's permission bits, or with keep_target_mode the
// existing target's. Returns 0 or the code of the system error (errno mapped
// as the copy table maps system errors).
int copy_file(std::string_view from, std::string_view to, bool keep_target_mode = false);

// The result code for a system error met while copying.
int copy_error_code(int err);

// Numbered backup: finds the first of <dir><base>.001 to .998 that does not
// exist, copies the file there and leaves the name in backup_name.
// 27 when the file does not exist, 37 when every number is taken (the name
// then holds .998), 1 when the backup name would be longer than max_name
// characters, else copy_file's result.
int backup_file(std::string_view path, std::string &backup_name, std::size_t max_name);

// Rewrites a text file line by line through a callback that may change or
// empty each line (at most 2047 characters plus terminator); emptied lines
// are dropped. The new text goes to a temporary file created exclusively in
// the temporary directory and replaces the original only when it is complete.
// 26 no temporary file, 3 cannot open, 11 no memory, 6 read error, 7 write
// error, 4 close error (the original is untouched on all of these), else the
// result of copying the new text over the original.
using LineCallback = void (*)(char *line, void *context);
int modify_file(std::string_view path, void *context, LineCallback callback);

// Creates every missing directory of an absolute path (a leading separator
// plays the part of the drive), the last component included. created
// receives "/" + name for every directory made. 26 for a relative path, one
// ending in a separator, a regular file in the way or a failed creation.
int make_path(std::string_view path, std::string &created);

} // namespace kx::util
