// The output channel: every byte the library sends to a printer goes
// through one Channel, opened on one of three back-ends (the maker's
// communication library, a spooler queue as a raw job, or a file/port name).
// The first failed write sticks in nResult; close is idempotent.
//
// Use: fill pInfo, nMode and nTarget, open; write any number of times,
// looking at nResult after each write or command step; close exactly once
// (also after a failure).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

#include "kxapi.h"

namespace kx::output {

// Index into the open-mode table; only the file back-end reads it.
enum OpenMode : int {
    kModeReplace = 5,  // "wb"
    kModeAppend = 6,   // "ab"
};
// Mode string at an index of the 14-entry open-mode table ("" outside it).
const char *open_mode_string(int index);

class SpoolJob;  // platform spooler job (defined by the spooler back-end)

enum class Backend : std::uint8_t { None, File, Spooler, CommLibrary };

struct Channel {
    const KxPrinterInfo *pInfo = nullptr;  // caller's descriptor, set before open
    int nMode = kModeReplace;              // file back-end open mode, set before open
    std::FILE *fp = nullptr;               // file back-end stream
    int nReserved = 0;
    int nTarget = 0;                       // storage target 1..5, set before open
    int nResult = 0;                       // first failed write (7 or 14); 0 while all is well
    SpoolJob *hPrinter = nullptr;          // spooler back-end job

    Backend backend = Backend::None;       // which back-end open chose; None once closed
};

// Opens the channel on the destination. Returns 0, 3, 11 or 26.
int open(Channel &ch, const char *destination, std::intptr_t caller_value, void *caller_module);

// Writes n bytes; returns the count the back-end accepted. Failures are
// recorded in nResult, never returned.
std::size_t write(Channel &ch, const void *bytes, std::size_t n);
inline std::size_t write(Channel &ch, std::span<const std::uint8_t> bytes)
{
    return write(ch, bytes.data(), bytes.size());
}
inline std::size_t write(Channel &ch, std::string_view text)
{
    return write(ch, text.data(), text.size());
}

// Closes the channel: 0, or 4 when the file stream cannot be closed. A
// second close, or a close of a channel that was never opened, returns 0.
int close(Channel &ch);

// Closes the channel when it is destroyed still open (an early return).
class ChannelGuard {
public:
    explicit ChannelGuard(Channel &ch) : ch_(ch) {}
    ChannelGuard(const ChannelGuard &) = delete;
    ChannelGuard &operator=(const ChannelGuard &) = delete;
    ~ChannelGuard() { close(ch_); }

private:
    Channel &ch_;
};

} // namespace kx::output
