// Exported INI functions: argument checks and the C boundary over the engine.
#include <new>

#include "config/ini_file.h"
#include "kxapi.h"

using namespace kx::config;

extern "C" {

KXAPI_EXPORT KxIniHandle *KxIniOpen2(const char *path, int mode)
{
    try {
        return ini_open(path, mode);
    } catch (...) {
        return nullptr;
    }
}

KXAPI_EXPORT KxIniHandle *KxIniOpen(const char *path)
{
    KxIniHandle *h = KxIniOpen2(path, kIniModeRead);
    if (h && h->count == 0) {
        ini_close(h);  // unmodified: nothing is written
        return nullptr;
    }
    return h;
}

KXAPI_EXPORT int KxIniClose(KxIniHandle *handle) { return ini_close(handle); }

KXAPI_EXPORT int KxIniRead2(KxIniHandle *handle, const char *section, const char *key, const char *def,
                            char *buffer, uint32_t size, uint32_t *length)
{
    if (!handle || !length) return KX_ERR_INVALID_ARG;
    try {
        return ini_read2(*handle, section, key, def, buffer, size, *length);
    } catch (...) {
        return KX_ERR_NO_MEMORY;
    }
}

KXAPI_EXPORT const char *KxIniRead(KxIniHandle *handle, const char *section, const char *key)
{
    if (!handle) return "";
    return ini_read(*handle, section, key);
}

KXAPI_EXPORT int KxIniWrite(KxIniHandle *handle, const char *section, const char *key, const char *value)
{
    if (!handle || !section || !key || !value) return 0;
    try {
        return ini_write(*handle, section, key, value);
    } catch (...) {
        return 0;
    }
}

KXAPI_EXPORT int KxIniWriteAll(KxIniHandle *handle, const char *section, const char *key, const char *value)
{
    if (!handle || !section || !key || !value) return 0;
    try {
        return ini_write_all(*handle, section, key, value);
    } catch (...) {
        return 0;
    }
}

KXAPI_EXPORT int KxIniDelete(KxIniHandle *handle, const char *section, const char *key, const char *value)
{
    if (!handle || !section) return 0;
    try {
        return ini_delete(*handle, section, key, value);
    } catch (...) {
        return 0;
    }
}

} // extern "C"
