// Data-file reader and its handle exports.
#include "data/datfile.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "api/path_arg.h"
#include "platform/file.h"
#include "platform/path.h"
#include "util/file_utils.h"

namespace kx::data {

const FieldDef kDatFields[9] = {
    {"szKey", FieldType::QuotedString, 6, offsetof(KxDatRecord, szKey), "P_PPPP"},
    {"szDescr", FieldType::QuotedString, 102, offsetof(KxDatRecord, szDescr),
     "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
    {"szEmulation", FieldType::QuotedString, 6, offsetof(KxDatRecord, szEmulation), "XXXX"},
    {"szCommand", FieldType::QuotedString, 102, offsetof(KxDatRecord, szCommand),
     "PPPPXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX"},
    {"szVarFormat", FieldType::QuotedString, 6, offsetof(KxDatRecord, szVarFormat), "XXXX"},
    {"dVarRangeLo", FieldType::Double4, 8, offsetof(KxDatRecord, dVarRangeLo), "##.##"},
    {"dVarRangeHi", FieldType::Double4, 8, offsetof(KxDatRecord, dVarRangeHi), "##.##"},
    {"dVarIncrement", FieldType::Double4, 8, offsetof(KxDatRecord, dVarIncrement), "##.##"},
    {"szDuration", FieldType::QuotedString, 2, offsetof(KxDatRecord, szDuration), "P"},
};

namespace {

constexpr std::size_t kRecordSize = sizeof(KxDatRecord);
static_assert(kRecordSize == 248);
// Characters of a number field that are kept; the rest is read and dropped.
constexpr std::size_t kNumberChars = 24;

// Blanks, commas, colons, semicolons and non-printing characters other than
// the line feed come between fields.
bool is_separator(int c)
{
    return c == ' ' || c == ',' || c == ':' || c == ';' || ((c < 0x20 || c >= 0x7F) && c != '\n' && c != EOF);
}

int skip_separators(std::FILE *fp)
{
    int c;
    do {
        c = std::getc(fp);
    } while (is_separator(c));
    return c;
}

// A quoted string starting at c; characters beyond size - 1 are dropped.
// A line feed before the closing quote is a malformed line: the reader never
// takes the following lines into a field.
int read_string(std::FILE *fp, int c, unsigned char *dst, std::size_t size)
{
    if (c != '"') return kDatFormat;
    std::size_t n = 0;
    for (;;) {
        c = std::getc(fp);
        if (c == '"') break;
        if (c == EOF || c == '\n') return kDatFormat;
        if (n + 1 < size) dst[n++] = static_cast<unsigned char>(c);
    }
    dst[n] = 0;
    return 0;
}

// A number starting at c, running to the next line feed, comma, colon,
// semicolon or the end of the file (which is left unread).
int read_number(std::FILE *fp, int c, FieldType type, unsigned char *dst, std::size_t size)
{
    char text[kNumberChars + 1];
    std::size_t n = 0;
    while (c != EOF && c != '\n' && c != ',' && c != ':' && c != ';') {
        if (n < kNumberChars) text[n++] = static_cast<char>(c);
        c = std::getc(fp);
    }
    if (c != EOF) std::ungetc(c, fp);
    if (n == 0) return kDatFormat;
    text[n] = '\0';
    char *end = nullptr;
    if (type == FieldType::Double4 || type == FieldType::Float3) {
        double v = std::strtod(text, &end);
        if (end != text + n) return kDatFormat;
        if (size >= sizeof(double)) {
            std::memcpy(dst, &v, sizeof v);
        } else if (size >= sizeof(float)) {
            float f = static_cast<float>(v);
            std::memcpy(dst, &f, sizeof f);
        }
    } else {
        long v = std::strtol(text, &end, 10);
        if (end != text + n) return kDatFormat;
        // Little-endian, as wide as the field.
        unsigned long long u = static_cast<unsigned long long>(v);
        for (std::size_t i = 0; i < size && i < 8; ++i) dst[i] = static_cast<unsigned char>(u >> (8 * i));
    }
    return 0;
}

int format_error(long &record_pos)
{
    record_pos = -1;
    return kDatFormat;
}

} // namespace

int read_record(std::FILE *fp, unsigned char *rec, long &record_pos)
{
    std::memset(rec, 0, kRecordSize);
    int c;
    for (;;) {
        record_pos = std::ftell(fp);
        c = skip_separators(fp);
        if (c == '#')
            while (c != '\n' && c != EOF) c = std::getc(fp);
        if (c != '\n') break;
    }
    if (c == EOF) return kDatEndOfFile;
    bool first = true;
    for (const FieldDef &f : kDatFields) {
        if (!first) {
            c = skip_separators(fp);
            if (c == EOF) return format_error(record_pos);
        }
        first = false;
        int r = f.type == FieldType::QuotedString ? read_string(fp, c, rec + f.offset, f.size)
                                                  : read_number(fp, c, f.type, rec + f.offset, f.size);
        if (r != 0) return format_error(record_pos);
    }
    if (skip_separators(fp) != '\n') return format_error(record_pos);
    return 0;
}

namespace {

// One open data file.
struct Slot {
    bool in_use = false;
    std::FILE *fp = nullptr;
    long record_pos = -1;        // line of the last record read; -1 when none
    unsigned char *buffer = nullptr;
};

constexpr int kSlots = 4;
Slot g_slots[kSlots];

Slot *slot_of(int handle)
{
    if (handle < 0 || handle >= kSlots || !g_slots[handle].in_use) return nullptr;
    return &g_slots[handle];
}

void release(Slot &s)
{
    delete[] s.buffer;
    s = Slot{};
}

// The caller's key prefix: szKey up to its terminator, at most five characters.
std::size_t prefix_length(const KxDatRecord &r) { return ::strnlen(r.szKey, 5); }

bool key_starts_with(const unsigned char *rec, const char *prefix, std::size_t n)
{
    return std::memcmp(rec + offsetof(KxDatRecord, szKey), prefix, n) == 0;
}

} // namespace

int open_data_file(const char *path, int mode)
{
    if (!path || path_too_long(path) || !util::file_exists(path) || mode != 2)
        return kDatBadOpen;
    int handle = -1;
    for (int i = 0; i < kSlots; ++i)
        if (!g_slots[i].in_use) {
            handle = i;
            break;
        }
    if (handle < 0) return kDatFormat;
    Slot &s = g_slots[handle];
    s = Slot{};
    s.fp = platform::open_file(path, "r").release();
    if (!s.fp) return kDatOpenFailed;
    s.buffer = new (std::nothrow) unsigned char[kRecordSize];
    if (!s.buffer) {
        std::fclose(s.fp);
        s = Slot{};
        return kDatFormat;
    }
    s.in_use = true;
    return handle;
}

int close_data_file(int handle)
{
    if (handle < 0) return kDatFormat;
    Slot *s = slot_of(handle);
    if (!s) return kDatNotOpen;
    // The stream is gone after fclose whatever it reports, so the slot is
    // freed either way; a failed close is still reported.
    bool ok = std::fclose(s->fp) == 0;
    release(*s);
    return ok ? 0 : kDatFormat;
}

int get_first_key(int handle, KxDatRecord *record)
{
    Slot *s = slot_of(handle);
    if (!s || !record) return kDatNotOpen;
    char prefix[5];
    std::size_t n = prefix_length(*record);
    std::memcpy(prefix, record->szKey, n);
    std::rewind(s->fp);
    for (;;) {
        int r = read_record(s->fp, s->buffer, s->record_pos);
        if (r == kDatEndOfFile) {
            s->record_pos = -1;
            return kDatNoRecord;
        }
        if (r != 0) return r;
        if (key_starts_with(s->buffer, prefix, n)) break;
    }
    std::memcpy(record, s->buffer, kRecordSize);
    return 0;
}

int get_next_key(int handle, KxDatRecord *record)
{
    Slot *s = slot_of(handle);
    if (!s || !record) return kDatNotOpen;
    if (s->record_pos < 0) return kDatNoRecord;
    long saved = s->record_pos;
    if (std::fseek(s->fp, saved, SEEK_SET) != 0) return kDatNoRecord;
    int r = read_record(s->fp, s->buffer, s->record_pos);
    if (r == 0 && s->record_pos == saved) r = read_record(s->fp, s->buffer, s->record_pos);
    if (r == kDatEndOfFile) {
        s->record_pos = saved;
        return kDatEndOfFile;
    }
    if (r != 0) return r;
    std::memcpy(record, s->buffer, kRecordSize);
    return 0;
}

int query_count(const char *path, KxDatRecord *record, int mode)
{
    if (!record) return kDatNotOpen;
    int handle = open_data_file(path, mode);
    if (handle < 0) return kDatOpenFailed;
    char prefix[5];
    std::size_t n = prefix_length(*record);
    std::memcpy(prefix, record->szKey, n);
    int count = 0;
    if (get_first_key(handle, record) == 0) {
        while (std::memcmp(record->szKey, prefix, n) == 0) {
            int r = get_next_key(handle, record);
            ++count;
            if (r != 0) break;
        }
    }
    int closed = close_data_file(handle);
    return closed != 0 ? closed : count;
}

int query_counts(const char *path, KxDatCounts *counts, int mode)
{
    if (!counts) return kDatNotOpen;
    int handle = open_data_file(path, mode);
    if (handle < 0) return kDatOpenFailed;
    static constexpr char kLetters[] = "AFGPST";
    auto index_of = [](char c) -> int {
        c = platform::ascii_upper(c);
        const char *p = c ? std::strchr(kLetters, c) : nullptr;
        return p ? static_cast<int>(p - kLetters) : -1;
    };
    // Counters in record order: A F G P S T, then S by its second letter.
    std::uint16_t tally[12] = {};
    KxDatRecord rec;
    std::memset(&rec, 0, sizeof rec);
    for (int r = get_first_key(handle, &rec); r == 0; r = get_next_key(handle, &rec)) {
        int i = index_of(rec.szKey[0]);
        if (i < 0) continue;
        ++tally[i];
        if (kLetters[i] == 'S') {
            int j = index_of(rec.szKey[1]);
            if (j >= 0) ++tally[6 + j];
        }
    }
    static_assert(sizeof(KxDatCounts) == sizeof tally);
    std::memcpy(counts, tally, sizeof tally);
    return close_data_file(handle);
}

} // namespace kx::data

extern "C" {

KXAPI_EXPORT int KxDatOpenFile(const char *pszPath, const void *pReserved, int nMode)
{
    (void)pReserved;
    return kx::data::open_data_file(pszPath, nMode);
}

KXAPI_EXPORT int KxDatCloseFile(int hFile) { return kx::data::close_data_file(hFile); }

KXAPI_EXPORT int KxDatGetFirstKey(int hFile, KxDatRecord *pRecord) { return kx::data::get_first_key(hFile, pRecord); }

KXAPI_EXPORT int KxDatGetNextKey(int hFile, KxDatRecord *pRecord) { return kx::data::get_next_key(hFile, pRecord); }

KXAPI_EXPORT int KxDatQueryCount(const char *pszPath, KxDatRecord *pRecord, int nMode)
{
    return kx::data::query_count(pszPath, pRecord, nMode);
}

KXAPI_EXPORT int KxDatQueryCounts(const char *pszPath, KxDatCounts *pCounts, int nMode)
{
    return kx::data::query_counts(pszPath, pCounts, nMode);
}

} // extern "C"
