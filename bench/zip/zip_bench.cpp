// zip_bench extract ARCHIVE DIR   extract once into DIR, print seconds
// zip_bench method ARCHIVE DIR    extract repeatedly for at least a second,
//                                 print output MB/s (bytes of the members written)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "zip/extract.h"

namespace fs = std::filesystem;

namespace {

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

unsigned long long bytes_below(const fs::path &dir)
{
    unsigned long long n = 0;
    for (const auto &e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) n += e.file_size();
    return n;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: zip_bench extract|method ARCHIVE DIR\n");
        return 2;
    }
    const std::string mode = argv[1], archive = argv[2];
    const fs::path dir = argv[3];
    if (mode == "extract") {
        fs::create_directories(dir);
        const double t0 = now();
        const int rc = kx::zip::explode(archive.c_str(), nullptr, nullptr, dir.string());
        const double t = now() - t0;
        std::printf("%.3f\n", t);
        return rc == 0 ? 0 : 1;
    }
    unsigned runs = 0;
    double spent = 0;
    unsigned long long out = 0;
    while (spent < 1.0 || runs < 3) {
        std::error_code ec;
        fs::remove_all(dir, ec);
        fs::create_directories(dir);
        const double t0 = now();
        const int rc = kx::zip::explode(archive.c_str(), nullptr, nullptr, dir.string());
        spent += now() - t0;
        if (rc != 0) return 1;
        if (runs == 0) out = bytes_below(dir);
        ++runs;
    }
    std::printf("%.1f\n", double(out) * runs / spent / 1e6);
    return 0;
}
