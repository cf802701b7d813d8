// INI engine workload: open a file of SECTIONS x KEYS entries, read every key
// once with KxIniRead2, write 1,000 new keys with KxIniWrite, close (the file
// is written back). The file is restored from a pristine copy before each
// run; prints the best time of the runs in milliseconds (the least disturbed
// by other work on the machine).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "kxapi.h"

namespace {

bool copy_file(const std::string &from, const std::string &to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: bench_ini PRISTINE WORKFILE SECTIONS KEYS RUNS\n");
        return 2;
    }
    std::string pristine = argv[1], work = argv[2];
    int sections = std::atoi(argv[3]), keys = std::atoi(argv[4]), runs = std::atoi(argv[5]);
    std::vector<std::string> secs(sections), names(keys);
    for (int s = 0; s < sections; ++s) secs[s] = "section" + std::to_string(s);
    for (int k = 0; k < keys; ++k) names[k] = "key" + std::to_string(k);
    std::vector<double> times;
    unsigned long long checksum = 0;
    for (int r = 0; r < runs; ++r) {
        if (!copy_file(pristine, work)) return 1;
        auto t0 = std::chrono::steady_clock::now();
        KxIniHandle *h = KxIniOpen(work.c_str());
        if (!h) return 1;
        char buf[256];
        uint32_t len = 0;
        for (int s = 0; s < sections; ++s)
            for (int k = 0; k < keys; ++k) {
                if (KxIniRead2(h, secs[s].c_str(), names[k].c_str(), nullptr, buf, sizeof buf, &len) != 0) return 1;
                checksum += len;
            }
        for (int i = 0; i < 1000; ++i) {
            std::string key = "new" + std::to_string(i);
            if (!KxIniWrite(h, secs[(i * 7) % sections].c_str(), key.c_str(), "added value")) return 1;
        }
        if (KxIniClose(h) != 1) return 1;
        auto t1 = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::printf("%.2f\n", *std::min_element(times.begin(), times.end()));
    return checksum ? 0 : 1;
}
