// Exported file and path utilities: thin shims that check their arguments and
// call the file helpers.
#include <climits>
#include <cstring>
#include <string>

#include "api/path_arg.h"
#include "kxapi.h"
#include "platform/path.h"
#include "util/file_utils.h"

namespace {

bool bad_path(const char *s) { return !s || !*s || kx::path_too_long(s); }

// Copies at most KX_MAX_PATH characters and terminates.
void copy_out(char *dest, const std::string &s)
{
    std::size_t n = s.size() < KX_MAX_PATH ? s.size() : KX_MAX_PATH;
    std::memcpy(dest, s.data(), n);
    dest[n] = '\0';
}

char kEmpty[1] = {'\0'};

// Copies at most KX_MAX_PATH characters of part, a to z upper-cased.
char *copy_upper(char *dest, std::string_view part)
{
    std::size_t n = part.size() < KX_MAX_PATH ? part.size() : KX_MAX_PATH;
    for (std::size_t i = 0; i < n; ++i) dest[i] = kx::platform::ascii_upper(part[i]);
    dest[n] = '\0';
    return dest;
}

} // namespace

extern "C" {

KXAPI_EXPORT int KxFilExists(const char *pszPath)
{
    if (bad_path(pszPath)) return 0;
    try {
        return kx::util::file_exists(pszPath) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

KXAPI_EXPORT uint32_t KxFilQuerySize(const char *pszPath)
{
    if (bad_path(pszPath)) return 0;
    try {
        return kx::util::query_size(pszPath);
    } catch (...) {
        return 0;
    }
}

KXAPI_EXPORT int KxFilCopy(const char *pszExisting, const char *pszNew)
{
    if (bad_path(pszExisting) || bad_path(pszNew)) return KX_ERR_INVALID_ARG;
    try {
        return kx::util::copy_file(pszExisting, pszNew);
    } catch (...) {
        return KX_ERR_NO_MEMORY;
    }
}

KXAPI_EXPORT int KxFilBackup(const char *pszFile, char *pszBackup)
{
    if (bad_path(pszFile) || !pszBackup) return KX_ERR_INVALID_ARG;
    try {
        std::string name;
        int result = kx::util::backup_file(pszFile, name, KX_MAX_PATH);
        if (!name.empty()) copy_out(pszBackup, name);
        return result;
    } catch (...) {
        return KX_ERR_NO_MEMORY;
    }
}

KXAPI_EXPORT int KxFilModify(const char *pszFile, void *pContext, KxFilLineCallback pfnCallback)
{
    if (bad_path(pszFile) || !pfnCallback) return KX_ERR_INVALID_ARG;
    try {
        return kx::util::modify_file(pszFile, pContext, pfnCallback);
    } catch (...) {
        return KX_ERR_NO_MEMORY;
    }
}

KXAPI_EXPORT int KxFilMakePath(const char *pszPath, char *pszCreated)
{
    if (pszCreated) pszCreated[0] = '\0';
    if (bad_path(pszPath)) return KX_ERR_COMM_LIBRARY;
    try {
        std::string created;
        int result = kx::util::make_path(pszPath, created);
        if (pszCreated) copy_out(pszCreated, created);
        return result;
    } catch (...) {
        return KX_ERR_NO_MEMORY;
    }
}

KXAPI_EXPORT int KxFilChecksum(const char *pszPath, intptr_t hFile, uint16_t wSkipWord,
                               uint16_t *pwChecksum)
{
    if (!pwChecksum) return KX_ERR_INVALID_ARG;
    if (pszPath && *pszPath) {
        if (kx::path_too_long(pszPath)) return KX_ERR_INVALID_ARG;
        try {
            return kx::util::checksum_file(pszPath, wSkipWord, *pwChecksum);
        } catch (...) {
            return KX_ERR_NO_MEMORY;
        }
    }
    if (hFile <= 0 || hFile > INT_MAX) return KX_ERR_INVALID_ARG;
    return kx::util::checksum_fd(static_cast<int>(hFile), wSkipWord, *pwChecksum);
}

KXAPI_EXPORT char *KxStrCpyFile(char *pszDest, const char *pszPath)
{
    if (!pszDest) return kEmpty;
    return copy_upper(pszDest, pszPath ? kx::platform::file_name_of(pszPath) : std::string_view());
}

KXAPI_EXPORT char *KxStrCpyPath(char *pszDest, const char *pszPath)
{
    if (!pszDest) return kEmpty;
    return copy_upper(pszDest, pszPath ? kx::platform::dir_of(pszPath) : std::string_view());
}

} // extern "C"
