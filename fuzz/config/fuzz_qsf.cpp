// A QSF file: header checks and the three blocks. The checksum is sealed
// into the input so that the block reads are reached.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "kxapi.h"

namespace {

std::string temp_path()
{
    static std::string path = [] {
        // Memory-backed when available: the file is rewritten for every input.
        char shm[] = "/dev/shm/fuzz_qsf.XXXXXX", tmp[] = "/tmp/fuzz_qsf.XXXXXX";
        char *tmpl = shm;
        int fd = mkstemp(shm);
        if (fd < 0) fd = mkstemp(tmpl = tmp);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(tmpl);
    }();
    return path;
}

void seal(std::vector<std::uint8_t> &b)
{
    std::uint16_t sum = 0, word = 0;
    unsigned i = 0;
    for (std::size_t pos = 0; pos < b.size(); pos += 2) {
        word = pos + 1 < b.size() ? static_cast<std::uint16_t>(b[pos] | b[pos + 1] << 8)
                                  : static_cast<std::uint16_t>((word & 0xFF00) | b[pos]);
        if (++i != 2) sum = static_cast<std::uint16_t>(sum - word);
    }
    b[2] = static_cast<std::uint8_t>(sum);
    b[3] = static_cast<std::uint8_t>(sum >> 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 1 << 16) return 0;
    std::vector<std::uint8_t> file(data, data + size);
    // An odd first byte keeps the input's own checksum (the mismatch path).
    if (file.size() >= 74 && !(file[0] & 1)) {
        file[0] = 'Q';
        file[1] = 'S';
        seal(file);
    }
    std::string path = temp_path();
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    KxQsfHandle *h = nullptr;
    int type = file.size() > 4 ? file[4] : 0;
    if (KxQsfOpen(path.c_str(), type, &h) != 0) {
        if (h) std::abort();
        return 0;
    }
    for (int round = 0; round < 2; ++round) {
        for (int block : {1, 2, 5}) {
            void *buf = nullptr;
            int16_t word = 0;
            int rc = KxQsfGetVariables(h, block, &buf, &word);
            if (rc != 0 && buf) std::abort();
            KxMemFree(buf);
        }
    }
    KxQsfClose(h);
    return 0;
}
