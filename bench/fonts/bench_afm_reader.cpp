// AFM reader throughput: reads every AFM named on the command line REPEAT
// times with read_afm and prints files per second and megabytes per second.
//   bench_afm_reader REPEAT FILE.afm...
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

#include "fonts/afm_reader.h"

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_afm_reader REPEAT FILE.afm...\n");
        return 2;
    }
    int repeat = std::atoi(argv[1]);
    auto m = std::make_unique<kx::fonts::KxAfmMetrics>();
    long long files = 0, bytes = 0, pairs = 0;
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpu_start = std::clock();
    for (int r = 0; r < repeat; ++r) {
        for (int i = 2; i < argc; ++i) {
            std::FILE *fp = std::fopen(argv[i], "rb");
            if (!fp) return 1;
            if (kx::fonts::read_afm(fp, nullptr, argv[i], *m) != 0) return 1;
            struct stat st {};
            fstat(fileno(fp), &st);
            std::fclose(fp);
            ++files;
            bytes += st.st_size;
            pairs += m->nKernPairs;
        }
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double cpu = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    // Figures per CPU second as well: the wall clock suffers on a shared machine.
    std::printf("afm: %.0f files/s %.1f MB/s (%lld files, %.3f s wall; %.0f files per CPU second, %.1f MB/s;"
                " %lld kerning pairs kept)\n",
                files / secs, bytes / secs / 1e6, files, secs, cpu > 0 ? files / cpu : 0.0,
                cpu > 0 ? bytes / cpu / 1e6 : 0.0, pairs);
    return 0;
}
