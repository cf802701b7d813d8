// Job-accounting parser throughput: one block of the largest size the length
// field allows (about 64 KiB), holding ~160 top-level job/alert groups and
// about 7,500 elements, parsed again and again for a fixed time.
//   bench_parse [SECONDS] [--write FILE]   (--write also saves the block)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/element_builder.h"
#include "kxapi.h"

using namespace kxtest::elements;

namespace {

Node group(int i)
{
    Node job1 = C(1, {I(1, i), I(2, 1), I(3, 12), I(4, 12), I(5, 0), I(6, 2), T(7, "JOB" + std::to_string(100000 + i)),
                      I(8, 600), I(9, 1), I(10, 0), T(11, "20261211-0405")});
    Node job2 = C(2, {T(1, "Quarterly report " + std::to_string(i) + ".pdf"), T(2, "alice"), T(3, "WS-ACCOUNTS"),
                      I(4, 24), I(5, 0), I(6, 1), I(7, 4), I(8, 0), I(9, 0), I(10, 3)});
    Node alert = C(3, {C(1, {I(1, 2)}),
                       C(2, {I(1, 4), I(2, 1), I(3, 0), I(4, 0), I(5, 7), T(6, "Paper jam"), I(7, 3), T(8, "J1234")}),
                       C(3, {I(1, 1), I(2, 0), I(3, 0), I(4, 9), I(5, 1)})});
    return C(1, {C(1, {I(1, i), I(2, i)}), C(2, {job1, job2}), alert});
}

std::size_t count_elements(const Node &n)
{
    std::size_t c = 1;
    for (const auto &k : n.kids) c += count_elements(k);
    return c;
}

} // namespace

int main(int argc, char **argv)
{
    double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    Builder b("P{ID:1,DT:1}C{NE:2,LD:2}D{LD:2,DA:0}");
    std::vector<Node> top;
    std::size_t elements = 0, size = 0;
    for (int i = 0;; ++i) {
        Node g = group(i);
        std::size_t n = b.encode(g).size();
        if (size + n > 65000) break;
        size += n;
        elements += count_elements(g);
        top.push_back(std::move(g));
    }
    Bytes block = b.block(top);
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--write") == 0) {
            std::FILE *f = std::fopen(argv[i + 1], "wb");
            if (!f || std::fwrite(block.data(), 1, block.size(), f) != block.size()) return 1;
            std::fclose(f);
        }
    }

    KxJobAccount *check = KxParseJobAccountingAlert(block.data());
    if (!check || !check->pJob || !check->pAlert) {
        std::fprintf(stderr, "bench_parse: the block did not parse\n");
        return 1;
    }
    KxFreeJobAccount(check);

    using clock = std::chrono::steady_clock;
    auto start = clock::now();
    std::size_t parses = 0;
    double elapsed = 0;
    do {
        for (int i = 0; i < 50; ++i) {
            KxJobAccount *a = KxParseJobAccountingAlert(block.data());
            KxFreeJobAccount(a);
        }
        parses += 50;
        elapsed = std::chrono::duration<double>(clock::now() - start).count();
    } while (elapsed < seconds);
    double mb = double(block.size()) * double(parses) / 1e6;
    std::printf("jobaccount: block %zu bytes, %zu top-level groups, %zu elements\n", block.size(), top.size(),
                elements);
    std::printf("jobaccount: %.1f MB/s, %.1f M elements/s (%zu parses in %.2f s)\n", mb / elapsed,
                double(elements) * double(parses) / elapsed / 1e6, parses, elapsed);
    return 0;
}
