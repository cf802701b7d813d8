#include "output/channel.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <new>
#include <string>

#include "output/comm_library.h"
#include "output/spooler.h"
#include "platform/file.h"
#include "platform/sysinfo.h"

namespace kx::output {

namespace {

// Open-mode table: index -> mode string for the file back-end.
constexpr const char *kOpenModes[14] = {"",   "r",   "w",   "a",   "rb",  "wb",  "ab",
                                        "r+", "w+",  "a+",  "rb+", "wb+", "ab+", ""};

// The caller's KVTravelPrintCallBack: (caller value, spooler job number).
using TravelPrintCallBack = int (*)(std::intptr_t caller_value, std::uint32_t job_number);

int open_comm_library(Channel &ch)
{
    const KxPortInfo &port = ch.pInfo->port;
    if (!comm_load_all()) return KX_ERR_COMM_LIBRARY;
    CommLibrary &c = comm_library();
    if (c.open(port.wAdapter, port.wDevice, 0) != 0) {
        comm_unload();
        return KX_ERR_COMM_LIBRARY;
    }
    std::string_view job = port.pszJobName ? std::string_view(port.pszJobName) : kDefaultJobName;
    std::vector<std::uint8_t> header;
    try {
        header = build_job_header(platform::computer_name(), platform::user_name(), job);
    } catch (const std::bad_alloc &) {
        comm_unload();
        return KX_ERR_NO_MEMORY;
    }
    int rc = c.start_doc(port.wDevice, 0, header.data());
    header.clear();
    header.shrink_to_fit();
    if (rc != 0) {
        comm_unload();
        return KX_ERR_COMM_LIBRARY;
    }
    ch.backend = Backend::CommLibrary;
    return KX_OK;
}

// True when the spooler took the job; false to fall back to a file.
bool open_spooler(Channel &ch, const char *destination, std::intptr_t caller_value, void *caller_module)
{
    const SpoolerOps &sp = spooler();
    SpoolJob *job = sp.open_printer(destination);
    if (!job) return false;
    const char *title = ch.pInfo->port.pszJobName ? ch.pInfo->port.pszJobName : kDefaultJobName.data();
    std::uint32_t job_number = sp.start_doc(job, title);
    TravelPrintCallBack callback = nullptr;
    if (caller_module)
        callback = reinterpret_cast<TravelPrintCallBack>(platform::find_symbol(caller_module, "KVTravelPrintCallBack"));
    if (job_number == 0) sp.close_printer(job);
    if (callback) callback(caller_value, job_number);
    if (job_number == 0) return false;
    if (!sp.start_page(job)) {
        sp.end_doc(job);
        sp.close_printer(job);
        return false;
    }
    ch.hPrinter = job;
    ch.backend = Backend::Spooler;
    return true;
}

} // namespace

const char *open_mode_string(int index)
{
    return (index >= 0 && index < 14) ? kOpenModes[index] : "";
}

int open(Channel &ch, const char *destination, std::intptr_t caller_value, void *caller_module)
{
    ch.nResult = 0;
    ch.nReserved = 0;
    ch.fp = nullptr;
    ch.hPrinter = nullptr;
    ch.backend = Backend::None;

    if (ch.pInfo->port.wDevice != 0) return open_comm_library(ch);

    if (open_spooler(ch, destination, caller_value, caller_module)) return KX_OK;

    platform::File f = platform::open_file(destination, open_mode_string(ch.nMode));
    if (!f) return KX_ERR_OPEN;
    // Every write is flushed at once, so the stream keeps no buffer of its own.
    std::setvbuf(f.get(), nullptr, _IONBF, 0);
    ch.fp = f.release();
    ch.backend = Backend::File;
    return KX_OK;
}

std::size_t write(Channel &ch, const void *bytes, std::size_t n)
{
    switch (ch.backend) {
    case Backend::CommLibrary: {
        const KxPortInfo &port = ch.pInfo->port;
        std::uint32_t count = static_cast<std::uint32_t>(n);
        if (comm_library().write(port.wAdapter, port.wDevice, 0, bytes, &count, 1) != 0) ch.nResult = KX_ERR_PRINTER_WRITE;
        return count;
    }
    case Backend::File: {
        std::size_t written = std::fwrite(bytes, 1, n, ch.fp);
        if (written < n) ch.nResult = KX_ERR_WRITE;
        std::fflush(ch.fp);
        return written;
    }
    case Backend::Spooler: {
        if (!ch.hPrinter) return 0;  // closed by an earlier failed write
        const SpoolerOps &sp = spooler();
        std::size_t written = sp.write(ch.hPrinter, bytes, n);
        if (written == n) return written;
        // The data is shown as text, never beyond the n bytes given.
        const int shown = static_cast<int>(std::min<std::size_t>(n, INT_MAX));
        std::printf("\nWritePrinter FAILED! %ld %.*s %d %d \n", sp.handle_value(ch.hPrinter), shown,
                    static_cast<const char *>(bytes), static_cast<int>(n), static_cast<int>(written));
        std::printf("GetLastError: %d\n", sp.last_error());
        std::fflush(stdout);
        sp.close_printer(ch.hPrinter);
        ch.hPrinter = nullptr;
        ch.nResult = KX_ERR_PRINTER_WRITE;
        return written;
    }
    case Backend::None:
        break;
    }
    return 0;
}

int close(Channel &ch)
{
    Backend b = ch.backend;
    ch.backend = Backend::None;
    switch (b) {
    case Backend::CommLibrary: {
        CommLibrary &c = comm_library();
        if (c.handle) {
            const KxPortInfo &port = ch.pInfo->port;
            c.end_doc(port.wDevice, 0);
            c.close(port.wAdapter, port.wDevice);
            comm_unload();
        }
        return KX_OK;
    }
    case Backend::File: {
        std::FILE *fp = ch.fp;
        ch.fp = nullptr;
        return std::fclose(fp) == 0 ? KX_OK : KX_ERR_CLOSE;
    }
    case Backend::Spooler:
        if (ch.hPrinter) {
            const SpoolerOps &sp = spooler();
            sp.end_page(ch.hPrinter);
            sp.end_doc(ch.hPrinter);
            sp.close_printer(ch.hPrinter);
            ch.hPrinter = nullptr;
        }
        return KX_OK;
    case Backend::None:
        break;
    }
    return KX_OK;
}

} // namespace kx::output
