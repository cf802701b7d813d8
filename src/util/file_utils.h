// File helpers shared by the families (existence, size, checksum, the
// open-by-mode routine). The exported Fil/Str functions are thin shims over these.
#pragma once

#include <cstdint>
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

} // namespace kx::util
