// Blocks handed to callers come from the library's own heap and go back
// through KxMemFree or a family's release export. These never throw: a null
// result is the caller's cue to return the out-of-memory code.
#pragma once

#include <cstddef>

namespace kx {

void *caller_alloc(std::size_t n);        // uninitialised, null on failure
void *caller_calloc(std::size_t n);       // zero-filled, null on failure
void caller_free(void *p);                // null does nothing

} // namespace kx
