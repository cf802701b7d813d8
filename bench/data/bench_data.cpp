// One library operation per run, timed inside the process (the program's
// start-up, mostly loading the spooler client libraries, is not part of the
// operation); prints the seconds it took on stdout:
//   bench_data checksum FILE        KxFilChecksum (the sum goes to stderr)
//   bench_data send FILE OUT        KxDatSendFile, binary, to a file destination
//   bench_data hex FILE OUT         the copy loop in hexadecimal mode into a file channel
#include <chrono>
#include <cstdio>
#include <cstring>

#include "data/copy_loop.h"
#include "kxapi.h"
#include "output/channel.h"

namespace {

int run(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_data checksum FILE | send FILE OUT | hex FILE OUT\n");
        return 2;
    }
    KxPrinterInfo info;
    std::memset(&info, 0, sizeof info);
    if (std::strcmp(argv[1], "checksum") == 0) {
        uint16_t sum = 0;
        int rc = KxFilChecksum(argv[2], 0, 0, &sum);
        std::fprintf(stderr, "%04X\n", sum);
        return rc;
    }
    if (argc < 4) return 2;
    if (std::strcmp(argv[1], "send") == 0) return KxDatSendFile(argv[2], argv[3], &info, 0);
    if (std::strcmp(argv[1], "hex") == 0) {
        std::FILE *in = std::fopen(argv[2], "rb");
        if (!in) return 3;
        static char inbuf[256 * 1024];
        std::setvbuf(in, inbuf, _IOFBF, sizeof inbuf);
        kx::output::Channel ch;
        ch.pInfo = &info;
        if (int rc = kx::output::open(ch, argv[3], 0, nullptr)) return rc;
        int rc = kx::data::copy_loop(in, ch, kx::data::kCopyHex);
        kx::output::close(ch);
        std::fclose(in);
        return rc;
    }
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    auto start = std::chrono::steady_clock::now();
    int rc = run(argc, argv);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (rc == 0) std::printf("%.3f\n", took.count());
    return rc;
}
