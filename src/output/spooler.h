// The print spooler as the channel sees it: open a queue, start a raw
// document (its job number), start a page, write, end page, end document,
// close. On Linux this is CUPS; without CUPS no name is a queue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kx::output {

class SpoolJob;

// The spooler operations, replaceable in tests to simulate failures.
struct SpoolerOps {
    // Opens the named queue; null when the name is not a queue.
    SpoolJob *(*open_printer)(const char *name);
    // Starts a raw document titled `title`; the job number, 0 on failure.
    std::uint32_t (*start_doc)(SpoolJob *job, const char *title);
    bool (*start_page)(SpoolJob *job);
    // Writes n bytes; returns how many were accepted.
    std::size_t (*write)(SpoolJob *job, const void *bytes, std::size_t n);
    void (*end_page)(SpoolJob *job);
    void (*end_doc)(SpoolJob *job);
    void (*close_printer)(SpoolJob *job);
    // The system error of the last failed call.
    int (*last_error)();
    // A number identifying the job's printer handle in diagnostics.
    long (*handle_value)(SpoolJob *job);
};

// The operations in use (CUPS, or "no queues" without CUPS).
const SpoolerOps &spooler();
// Replaces the operations (null restores the real spooler). For tests.
void set_spooler(const SpoolerOps *ops);

} // namespace kx::output
