// Spooler back-end over CUPS: a queue name opens a raw job created with the
// document name as title; the job number is the CUPS job id.
#include "output/spooler.h"

#include <new>
#include <string>
#include <string_view>

#ifdef KXAPI_HAVE_CUPS
#include <cups/cups.h>
#endif

#include "platform/path.h"

namespace kx::output {

class SpoolJob {
public:
    std::string queue;
    std::string title;
    int job_id = 0;
    bool document_open = false;
};

namespace {

#ifdef KXAPI_HAVE_CUPS
// A destination is a queue only when CUPS knows it by exactly that name.
// Names holding a path separator, an instance mark or blanks are file names:
// they are never looked up, so that no path can select a default queue.
bool may_be_queue_name(std::string_view name)
{
    if (name.empty()) return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '#' || c == ' ' || c == '\t' || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

SpoolJob *cups_open_printer(const char *name)
{
    if (!may_be_queue_name(name)) return nullptr;
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name, nullptr);
    if (!dest) return nullptr;
    bool same = dest->instance == nullptr && platform::iequals(dest->name, name);
    std::string queue = dest->name;
    cupsFreeDests(1, dest);
    if (!same) return nullptr;
    auto *job = new (std::nothrow) SpoolJob;
    if (job) job->queue = std::move(queue);
    return job;
}

std::uint32_t cups_start_doc(SpoolJob *job, const char *title)
{
    job->title = title;
    int id = cupsCreateJob(CUPS_HTTP_DEFAULT, job->queue.c_str(), title, 0, nullptr);
    job->job_id = id > 0 ? id : 0;
    return static_cast<std::uint32_t>(job->job_id);
}

bool cups_start_page(SpoolJob *job)
{
    http_status_t st = cupsStartDocument(CUPS_HTTP_DEFAULT, job->queue.c_str(), job->job_id, job->title.c_str(),
                                         CUPS_FORMAT_RAW, 1);
    job->document_open = st == HTTP_STATUS_CONTINUE;
    return job->document_open;
}

std::size_t cups_write(SpoolJob *job, const void *bytes, std::size_t n)
{
    if (!job->document_open) return 0;
    if (n == 0) return 0;
    http_status_t st = cupsWriteRequestData(CUPS_HTTP_DEFAULT, static_cast<const char *>(bytes), n);
    return st == HTTP_STATUS_CONTINUE ? n : 0;
}

void cups_end_page(SpoolJob *) {}

void cups_end_doc(SpoolJob *job)
{
    if (job->document_open) {
        cupsFinishDocument(CUPS_HTTP_DEFAULT, job->queue.c_str());
        job->document_open = false;
    }
}

void cups_close_printer(SpoolJob *job)
{
    if (job->document_open) {
        // A job left half-written (a failed write) is cancelled, not printed.
        cupsFinishDocument(CUPS_HTTP_DEFAULT, job->queue.c_str());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, job->queue.c_str(), job->job_id, 0);
    }
    delete job;
}

int cups_last_error() { return static_cast<int>(cupsLastError()); }

long cups_handle_value(SpoolJob *job) { return job->job_id; }

constexpr SpoolerOps kCupsSpooler = {cups_open_printer, cups_start_doc, cups_start_page, cups_write,
                                     cups_end_page,     cups_end_doc,   cups_close_printer, cups_last_error,
                                     cups_handle_value};
const SpoolerOps *g_default = &kCupsSpooler;
#else
SpoolJob *no_queue(const char *) { return nullptr; }
std::uint32_t no_doc(SpoolJob *, const char *) { return 0; }
bool no_page(SpoolJob *) { return false; }
std::size_t no_write(SpoolJob *, const void *, std::size_t) { return 0; }
void no_op(SpoolJob *) {}
void no_close(SpoolJob *job) { delete job; }
int no_error() { return 0; }
long no_handle(SpoolJob *) { return 0; }
constexpr SpoolerOps kNoSpooler = {no_queue, no_doc, no_page, no_write, no_op, no_op, no_close, no_error, no_handle};
const SpoolerOps *g_default = &kNoSpooler;
#endif

const SpoolerOps *g_current = nullptr;

} // namespace

const SpoolerOps &spooler() { return g_current ? *g_current : *g_default; }

void set_spooler(const SpoolerOps *ops) { g_current = ops; }

} // namespace kx::output
