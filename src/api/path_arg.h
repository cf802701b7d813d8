// Checks on path arguments handed to the exported calls.
#pragma once

#include <cstring>

#include "kxapi.h"

namespace kx {

// True when the NUL-terminated text s is longer than the longest path the
// library takes (KX_MAX_PATH characters). Reads at most one character past
// that limit, so an unterminated caller buffer is never scanned to its end.
inline bool path_too_long(const char *s) noexcept { return ::strnlen(s, KX_MAX_PATH + 1) > KX_MAX_PATH; }

} // namespace kx
