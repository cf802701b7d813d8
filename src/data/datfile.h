// The data-file reader: text files of printer command definitions, one
// record per line, read through a field table into the fixed 248-byte
// KxDatRecord. Up to four files are open at once in a process-wide table.
#pragma once

#include <cstdint>
#include <cstdio>

#include "kxapi.h"

namespace kx::data {

// Negative results of the handle exports.
inline constexpr int kDatBadOpen = -1;    // bad open arguments
inline constexpr int kDatFormat = -2;     // no free handle, bad handle, format error, close failure
inline constexpr int kDatNotOpen = -3;    // handle not open, null argument
inline constexpr int kDatOpenFailed = -5; // the file cannot be opened
inline constexpr int kDatNoRecord = -7;   // no (current) record
inline constexpr int kDatEndOfFile = -10; // end of file

// Field types of the field table.
enum class FieldType : int {
    QuotedString = 0,
    Integer1 = 1,
    Integer2 = 2,
    Float3 = 3,
    Double4 = 4,
    Integer8 = 8,
};

struct FieldDef {
    const char *name;
    FieldType type;
    std::uint16_t size;
    std::uint16_t offset;
    const char *picture;  // edit picture, kept for the caller's forms; the reader ignores it
};

// The field table of KxDatRecord, in file order.
extern const FieldDef kDatFields[9];

// Reads one record from the stream into rec (kDatRecordSize bytes) and sets
// record_pos to the position of the record's line. Returns 0, kDatEndOfFile
// when the file ends before a record starts, or kDatFormat for a malformed
// line (record_pos is then -1). A quoted string never runs past its line.
int read_record(std::FILE *fp, unsigned char *rec, long &record_pos);

// The handle exports, as C++ functions with the same results.
int open_data_file(const char *path, int mode);
int close_data_file(int handle);
int get_first_key(int handle, KxDatRecord *record);
int get_next_key(int handle, KxDatRecord *record);
int query_count(const char *path, KxDatRecord *record, int mode);
int query_counts(const char *path, KxDatCounts *counts, int mode);

} // namespace kx::data
