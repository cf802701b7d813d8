// The ZIP extractor: finds the end record, walks the central directory in
// batches of selected members, and writes each member below a target
// directory, decoding it by its method and checking its CRC-32.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kx::zip {

// Outcomes of a run, from least to most severe; a run reports the worst it met.
enum class Outcome {
    Ok,
    Warning,        // skipped members, CRC-32 mismatch, cut names, extra bytes, empty archive...
    Error,          // damaged archive, refused or uncreatable path, decoding error
    NoMemory,       // the decoders ran out of memory
    CannotOpen,     // the archive cannot be opened
    MultiDisk,      // the archive spans several disks
    CannotCreate,   // an output file cannot be created
    DiskFull,       // a short write to an output file
    UnexpectedEnd,  // the archive ends inside a record
};

inline Outcome worse(Outcome a, Outcome b) { return a < b ? b : a; }

// The library's result code for an outcome.
int result_of(Outcome o);

// Called after each member extracted without a problem: the path written,
// the member's compressed size and its share of the running total in percent.
using MemberCallback = void (*)(const char *path, std::uint32_t compressed_size, std::uint16_t percent);

struct Workspace;

struct ExtractRequest {
    std::string archive;        // resolved path of the archive
    std::uint64_t archive_size = 0;
    std::string_view pattern;   // empty: every member
    MemberCallback callback = nullptr;
    std::string target_dir = ".";  // members are written below this directory only
};

Outcome extract_archive(const ExtractRequest &req, Workspace &w);

// Setup shared by the export and the tools: finds the archive (X, else
// X.zip), allocates the working storage, runs, and gives the result code.
int explode(const char *archive, const char *pattern, MemberCallback callback, std::string_view target_dir = ".");

} // namespace kx::zip
