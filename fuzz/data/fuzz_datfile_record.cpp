// Reads every record of an arbitrary data file held in memory.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data/datfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0) return 0;
    std::FILE *fp = ::fmemopen(const_cast<std::uint8_t *>(data), size, "r");
    if (!fp) return 0;
    unsigned char rec[sizeof(KxDatRecord)];
    long pos = 0;
    for (int i = 0; i < 4096; ++i) {
        int r = kx::data::read_record(fp, rec, pos);
        if (r == kx::data::kDatEndOfFile) break;
        if (r != 0) {
            if (pos != -1) std::abort();
            // A malformed line leaves the stream on that line; go on from the next one.
            int c;
            while ((c = std::getc(fp)) != '\n' && c != EOF) {
            }
            if (c == EOF) break;
            continue;
        }
        // Every string field is terminated within its size.
        for (const auto &f : kx::data::kDatFields)
            if (f.type == kx::data::FieldType::QuotedString && !std::memchr(rec + f.offset, 0, f.size)) std::abort();
    }
    std::fclose(fp);
    return 0;
}
