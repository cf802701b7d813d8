// INI engine workload: open a file of SECTIONS x 100 entries, read every key
// once with KxIniRead2, write 1,000 new keys with KxIniWrite, close (the file
// is written back). Each file is restored from a pristine copy (and flushed,
// so that the copy's write-back is not timed) before each run; the sizes are
// run in turn, round after round, so that they meet the same conditions.
// Prints "SECTIONS MS" per file, MS the best run in processor time (the
// machine may be shared: processor time is what other work disturbs least).
#include <unistd.h>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "kxapi.h"

namespace {

constexpr int kKeys = 100;
constexpr int kNewKeys = 1000;

bool copy_file(const std::string &from, const std::string &to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return static_cast<bool>(out);
}

struct Job {
    int sections;
    std::string pristine, work;
    double best = std::numeric_limits<double>::max();
};

double cpu_ms()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// One timed run; false when the library reports a failure.
bool run(Job &job, unsigned long long &checksum)
{
    std::vector<std::string> secs(job.sections), names(kKeys);
    for (int s = 0; s < job.sections; ++s) secs[s] = "section" + std::to_string(s);
    for (int k = 0; k < kKeys; ++k) names[k] = "key" + std::to_string(k);
    if (!copy_file(job.pristine, job.work)) return false;
    ::sync();
    double t0 = cpu_ms();
    KxIniHandle *h = KxIniOpen(job.work.c_str());
    if (!h) return false;
    char buf[256];
    uint32_t len = 0;
    for (int s = 0; s < job.sections; ++s)
        for (int k = 0; k < kKeys; ++k) {
            if (KxIniRead2(h, secs[s].c_str(), names[k].c_str(), nullptr, buf, sizeof buf, &len) != 0) return false;
            checksum += len;
        }
    for (int i = 0; i < kNewKeys; ++i) {
        std::string key = "new" + std::to_string(i);
        if (!KxIniWrite(h, secs[(i * 7) % job.sections].c_str(), key.c_str(), "added value")) return false;
    }
    if (KxIniClose(h) != 1) return false;
    double ms = cpu_ms() - t0;
    if (ms < job.best) job.best = ms;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_ini ROUNDS SECTIONS:PRISTINE:WORKFILE...\n");
        return 2;
    }
    int rounds = std::atoi(argv[1]);
    std::vector<Job> jobs;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        auto c1 = a.find(':'), c2 = a.find(':', c1 + 1);
        if (c1 == std::string::npos || c2 == std::string::npos) return 2;
        jobs.push_back({std::atoi(a.substr(0, c1).c_str()), a.substr(c1 + 1, c2 - c1 - 1), a.substr(c2 + 1)});
    }
    unsigned long long checksum = 0;
    for (int r = 0; r < rounds; ++r)
        for (auto &job : jobs)
            if (!run(job, checksum)) return 1;
    for (const auto &job : jobs) std::printf("%d %.2f\n", job.sections, job.best);
    return checksum ? 0 : 1;
}
