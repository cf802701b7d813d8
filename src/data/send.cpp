// Sending files and command strings to a printer.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "api/path_arg.h"
#include "data/copy_loop.h"
#include "kxapi.h"
#include "output/channel.h"
#include "output/commands.h"
#include "platform/file.h"
#include "util/file_utils.h"

namespace kx::data {

namespace {

// Input buffer of a sent file: large enough that reading costs few system
// calls next to the one write per 2048-byte block.
constexpr std::size_t kInputBuffer = 256 * 1024;

bool bad_language(const KxPrinterInfo *info) { return info->nLanguage < 0 || info->nLanguage > 6; }

struct FreeDeleter {
    void operator()(char *p) const { std::free(p); }
};

} // namespace

int send_file(const char *path, const char *printer, const KxPrinterInfo *info, int append)
{
    if (!path || !printer || !info || path_too_long(path) || path_too_long(printer) || bad_language(info))
        return KX_ERR_INVALID_ARG;
    if (!util::file_exists(path)) return KX_ERR_NOT_FOUND;
    // Declared before the stream so that it outlives it.
    std::unique_ptr<char, FreeDeleter> inbuf(static_cast<char *>(std::malloc(kInputBuffer)));
    platform::File file = platform::open_file(path, "rb");
    if (!file) return KX_ERR_OPEN;
    struct stat st;
    if (::fstat(fileno(file.get()), &st) != 0 || S_ISDIR(st.st_mode)) return KX_ERR_OPEN;
    if (inbuf) std::setvbuf(file.get(), inbuf.get(), _IOFBF, kInputBuffer);

    output::Channel ch;
    ch.pInfo = info;
    ch.nMode = append ? output::kModeAppend : output::kModeReplace;
    int rc = output::open(ch, printer, 0, nullptr);
    if (rc != 0) return rc;
    output::ChannelGuard guard(ch);

    unsigned passes = 1;
    if (info->bFlags & KX_PRINTER_ESCK)
        output::language_switch(ch, info->bSwitchValue);
    else if (info->bFlags & KX_PRINTER_PJL)
        output::job_start(ch, true);
    else if (info->wCopies != 0)
        passes = info->wCopies;
    if (ch.nResult != 0) return ch.nResult;

    int result = 0;
    for (unsigned pass = 0; pass < passes && result == 0; ++pass) {
        if (std::fseek(file.get(), 0, SEEK_SET) != 0) {
            result = KX_ERR_READ;
            break;
        }
        result = copy_loop(file.get(), ch, kCopyBinary);
    }
    if (result != KX_ERR_PRINTER_WRITE) {
        if (info->bFlags & KX_PRINTER_PJL) {
            output::job_end(ch, true);
            if (ch.nResult != 0) return ch.nResult;
        }
        if (info->bFlags & KX_PRINTER_ESCK) output::write(ch, output::kJobEndSwitch, sizeof output::kJobEndSwitch);
    }
    // A failed trailer write must not pass for success.
    if (result == 0) result = ch.nResult;
    return result;
}

int send_string(const char *command, const char *printer, const KxPrinterInfo *info, int append)
{
    if (!command || !printer || !info) return KX_ERR_INVALID_ARG;
    CommandString cs;
    try {
        cs = decode_command_string(command);
    } catch (const std::bad_alloc &) {
        return KX_ERR_NO_MEMORY;
    }
    if (cs.kind == CommandString::Invalid) return KX_ERR_INVALID_ARG;
    if (cs.kind == CommandString::File) return send_file(cs.file.data(), printer, info, append);
    if (std::strlen(command) > 0x7FFFFFFDu || path_too_long(printer) || bad_language(info)) return KX_ERR_INVALID_ARG;

    output::Channel ch;
    ch.pInfo = info;
    ch.nMode = append ? output::kModeAppend : output::kModeReplace;
    int rc = output::open(ch, printer, 0, nullptr);
    if (rc != 0) return rc;
    output::ChannelGuard guard(ch);
    const bool pjl = (info->bFlags & KX_PRINTER_PJL) != 0;
    if (pjl) {
        output::job_start(ch, false);
        if (ch.nResult != 0) return ch.nResult;
    }
    if (!cs.bytes.empty()) output::write(ch, cs.bytes.data(), cs.bytes.size());
    if (ch.nResult == 0 && pjl) output::job_end(ch, false);
    return ch.nResult;
}

} // namespace kx::data

extern "C" {

KXAPI_EXPORT int KxDatSendFile(const char *pszFile, const char *pszPrinter, const KxPrinterInfo *pInfo, int bAppend)
{
    try {
        return kx::data::send_file(pszFile, pszPrinter, pInfo, bAppend);
    } catch (...) {
        return KX_ERR_NO_MEMORY;
    }
}

KXAPI_EXPORT int KxDatSendString(const char *pszCommand, const char *pszPrinter, const KxPrinterInfo *pInfo,
                                 int bAppend)
{
    try {
        return kx::data::send_string(pszCommand, pszPrinter, pInfo, bAppend);
    } catch (...) {
        return KX_ERR_NO_MEMORY;
    }
}

} // extern "C"
