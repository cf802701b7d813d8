// Identifies every file of a directory of font files with KxFonQueryInfo and
// reports files per second and the bytes read per file (from the kernel's
// count of bytes this process read, so buffering is included).
//   bench_font_identify DIR [ROUNDS] [MODE]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "kxapi.h"

namespace {

// Bytes read by this process so far (rchar of /proc/self/io).
unsigned long long bytes_read()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    unsigned long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

void free_names(KxFontInfo &info)
{
    for (KxFontName *n = info.pNameList; n;) {
        KxFontName *next = n->pNext;
        KxMemFree(n->pszText);
        KxMemFree(n);
        n = next;
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_font_identify DIR [ROUNDS] [MODE]\n");
        return 2;
    }
    int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    int mode = argc > 3 ? std::atoi(argv[3]) : 2;
    std::vector<std::string> files;
    unsigned long long total_size = 0;
    for (const auto &e : std::filesystem::directory_iterator(argv[1]))
        if (e.is_regular_file()) {
            files.push_back(e.path().string());
            total_size += e.file_size();
        }
    if (files.empty()) return 2;

    std::map<int, int> results;
    double best = 1e30;
    unsigned long long read_per_round = 0;
    for (int round = 0; round < rounds; ++round) {
        results.clear();
        unsigned long long before = bytes_read();
        auto t0 = std::chrono::steady_clock::now();
        for (const auto &f : files) {
            KxFontInfo info;
            int rc = KxFonQueryInfo(f.c_str(), &info, mode, 1);
            ++results[rc];
            if (rc == 0 || rc == 32) free_names(info);
        }
        double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        read_per_round = bytes_read() - before;
        if (secs < best) best = secs;
    }
    std::printf("files: %zu (%.1f MB, %.0f bytes per file on disk)\n", files.size(), total_size / 1e6,
                double(total_size) / files.size());
    std::printf("identify: %.0f files/s (query mode %d, best of %d rounds, %.3f s)\n", files.size() / best, mode, rounds, best);
    std::printf("bytes read per file: %.0f (%.1f%% of the file sizes)\n", double(read_per_round) / files.size(),
                100.0 * double(read_per_round) / double(total_size));
    std::printf("results:");
    for (const auto &[rc, n] : results) std::printf(" %d x%d", rc, n);
    std::printf("\n");
    return 0;
}
