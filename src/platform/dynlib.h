// Run-time loading of a shared library (LoadLibrary/GetProcAddress/FreeLibrary).
#pragma once

namespace kx::platform {

using LibHandle = void *;

// Loads a library by file name through the normal loader search; null on failure.
LibHandle load_library(const char *name);
// Looks up an exported symbol; null when absent or handle is null.
void *find_symbol(LibHandle lib, const char *name);
// Releases a library handle; null does nothing.
void free_library(LibHandle lib);

} // namespace kx::platform
