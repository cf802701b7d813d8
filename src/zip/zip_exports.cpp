// Exported ZIP calls: argument checks, then the extractor.
#include <new>

#include "api/path_arg.h"
#include "kxapi.h"
#include "zip/extract.h"

namespace {

// Checks in the documented order: the archive, then a non-empty pattern.
bool bad_args(const char *archive, const char *pattern)
{
    if (!archive || kx::path_too_long(archive)) return true;
    return pattern && *pattern && kx::path_too_long(pattern);
}

} // namespace

extern "C" {

KXAPI_EXPORT int KxZipExplode(const char *pszArchive, const char *pszPattern, KxZipCallback pfnCallback)
{
    if (bad_args(pszArchive, pszPattern)) return KX_ERR_INVALID_ARG;
    try {
        return kx::zip::explode(pszArchive, pszPattern, pfnCallback);
    } catch (const std::bad_alloc &) {
        return KX_ERR_NO_MEMORY;
    } catch (...) {
        return KX_ERR_SYSTEM;
    }
}

KXAPI_EXPORT int KxZipImplode(const char *pszArchive, const char *pszPattern, KxZipCallback pfnCallback)
{
    (void)pfnCallback;
    if (bad_args(pszArchive, pszPattern)) return KX_ERR_INVALID_ARG;
    return KX_ERR_NOT_SUPPORTED;
}

} // extern "C"
