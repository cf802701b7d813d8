// Extracts each input as a ZIP archive into a fresh temporary directory and
// checks that nothing was written anywhere else. File sizes are capped so a
// member that inflates hugely ends in a short write instead of filling the disk.
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "zip/extract.h"

namespace fs = std::filesystem;

namespace {

std::string g_root;
unsigned g_members = 0;

void on_member(const char *, std::uint32_t, std::uint16_t percent)
{
    ++g_members;
    if (percent > 100) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim = {8u << 20, 8u << 20};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    std::string base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
    std::string tmpl = base + "/kxfuzz-zip.XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    g_root = tmpl;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // root/run/archive.zip and root/run/work/: the target and its surroundings.
    const fs::path run = fs::path(g_root) / "run";
    std::error_code ec;
    fs::remove_all(run, ec);
    fs::create_directories(run / "work");
    const std::string archive = (run / "archive.zip").string();
    if (std::FILE *f = std::fopen(archive.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    const bool with_callback = size % 2 == 1;
    kx::zip::explode(archive.c_str(), with_callback ? nullptr : "*", with_callback ? on_member : nullptr,
                     (run / "work").string());
    // Only the archive and the target directory may exist beside each other.
    for (const auto &e : fs::directory_iterator(run)) {
        const std::string name = e.path().filename().string();
        if (name != "archive.zip" && name != "work") {
            std::fprintf(stderr, "written outside the target: %s\n", e.path().c_str());
            std::abort();
        }
    }
    for (const auto &e : fs::directory_iterator(g_root))
        if (e.path().filename() != "run") std::abort();
    if (fs::file_size(archive) != size) std::abort();
    return 0;
}
