// KxGenResource: the storage commands on their own, framed in a PJL job.
#include <cstring>

#include "kxapi.h"
#include "output/channel.h"
#include "output/commands.h"

extern "C" KXAPI_EXPORT int KxGenResource(int mode, const char *printer, const KxPrinterInfo *info, int target,
                                          intptr_t caller_value, void *caller_module)
{
    using namespace kx::output;
    if (!printer || !info || std::strlen(printer) >= KX_MAX_PATH || mode < KX_RESOURCE_RAM ||
        mode > KX_RESOURCE_DIRECTORY || target < KX_TARGET_RAM || target > KX_TARGET_DISK2)
        return KX_ERR_INVALID_ARG;

    Channel ch;
    ch.pInfo = info;
    ch.nMode = kModeReplace;
    ch.nTarget = target;
    if (int rc = open(ch, printer, caller_value, caller_module); rc != KX_OK) return rc;
    const bool pjl = (info->bFlags & KX_PRINTER_PJL) != 0;
    if (pjl) {
        job_start(ch, false);
        if (ch.nResult != 0) {
            close(ch);
            return ch.nResult;
        }
    }
    resource_command(ch, mode);
    if (ch.nResult == 0 && pjl) job_end(ch, false);
    close(ch);
    return ch.nResult;
}
