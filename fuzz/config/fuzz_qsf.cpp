// A QSF file: header checks and the three blocks. The checksum is sealed
// into the input so that the block reads are reached.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/word_checksum.h"
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

// Stores the file checksum with word 2 (where it lives) left out.
void seal(std::vector<std::uint8_t> &b)
{
    const std::uint16_t sum = kxtest::word_checksum(b, 2);
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
