#include "platform/dynlib.h"

#include <dlfcn.h>

namespace kx::platform {

LibHandle load_library(const char *name) { return ::dlopen(name, RTLD_NOW | RTLD_LOCAL); }

void *find_symbol(LibHandle lib, const char *name) { return lib ? ::dlsym(lib, name) : nullptr; }

void free_library(LibHandle lib)
{
    if (lib) ::dlclose(lib);
}

} // namespace kx::platform
