// kx qsf: check a QSF file and show its blocks, or read a variable list from
// its INI counterpart.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli.h"

namespace {

using namespace kxcli;

extern const Command kQsf;

const char *const kListNames[] = {"required", "optional", "exclude", "order"};

// The library hands a block over without its length (unless the file's flags
// put a length prefix in front): the length follows from the header's
// offsets and the file size by the same rules the library reads them with.
std::size_t block_length(const std::string &file, int block)
{
    std::FILE *f = std::fopen(file.c_str(), "rb");
    if (!f) return 0;
    unsigned char h[74] = {};
    std::size_t got = std::fread(h, 1, sizeof h, f);
    std::fseek(f, 0, SEEK_END);
    long long size = std::ftell(f);
    std::fclose(f);
    if (got != sizeof h) return 0;
    auto i32 = [&](int o) { return static_cast<int32_t>(h[o] | h[o + 1] << 8 | h[o + 2] << 16 | uint32_t(h[o + 3]) << 24); };
    long long off1 = i32(44), off2 = i32(50), off5 = i32(56), start = 0, end = size;
    bool a = h[5] == 1, b = h[6] == 1;
    if (block == 1) {
        start = off1;
        if (off2 != 0) end = off2;
    } else if (block == 2) {
        start = off2;
        if (!(a && !b) && off5 != 0) end = off5;
    } else {
        start = off5;
    }
    std::size_t length = end > start ? static_cast<std::size_t>(end - start) : 0;
    return a && b ? length + 6 : length;
}

int run_qsf(const Args &args)
{
    Options opts(args, {"--type", "--block", "--out", "--list", "--section"}, {});
    if (!opts.ok()) return usage_error(kQsf, opts.error());
    const auto &p = opts.positionals();
    if (p.size() != 2) return usage_error(kQsf, "give an action (info, block, section) and a FILE");
    const std::string &action = p[0], &file = p[1];
    bool ok = true;

    if (action == "section") {
        long long number = opts.number("--section", 0, ok);
        std::string list = opts.value("--list", "required");
        int type = 0;
        for (int i = 0; i < 4; ++i)
            if (list == kListNames[i] || list == std::to_string(i + 1)) type = i + 1;
        if (!ok || type == 0) return usage_error(kQsf, "--list takes required, optional, exclude or order");
        KxIniHandle *ini = KxIniOpen2(file.c_str(), KX_INI_READ);
        if (!ini) return report_result("qsf section: cannot open " + file, KX_ERR_OPEN);
        uint16_t *vars = nullptr, count = 0;
        int rc = KxQsfIniGetSection(ini, type, static_cast<int>(number), &vars, &count);
        KxIniClose(ini);
        if (rc != 0) return report_result("qsf section", rc);
        const auto *b = reinterpret_cast<const uint8_t *>(vars);
        for (unsigned i = 0; i < count; ++i) std::printf("%02X%02X\n", b[2 * i], b[2 * i + 1]);
        KxMemFree(vars);
        return kExitOk;
    }

    if (!opts.has("--type")) return usage_error(kQsf, "--type N is required");
    long long type = opts.number("--type", 0, ok);
    if (!ok) return usage_error(kQsf, "--type takes a number");
    KxQsfHandle *h = nullptr;
    int rc = KxQsfOpen(file.c_str(), static_cast<int>(type), &h);
    if (rc != 0) return report_result("qsf open " + file, rc);

    int status = kExitOk;
    if (action == "info") {
        std::printf("%s: valid QSF file of type %lld\n", file.c_str(), type);
        for (int block : {1, 2, 5}) {
            void *buf = nullptr;
            int16_t word = 0;
            rc = KxQsfGetVariables(h, block, &buf, &word);
            if (rc != 0) {
                std::printf("block %d: result %d (%.*s)\n", block, rc, static_cast<int>(result_meaning(rc).size()),
                            result_meaning(rc).data());
                status = kExitFailure;
            } else if (!buf) {
                std::printf("block %d: absent\n", block);
            } else {
                std::printf("block %d: word 0x%04X\n", block, static_cast<uint16_t>(word));
            }
            KxMemFree(buf);
        }
    } else if (action == "block") {
        long long block = opts.number("--block", 1, ok);
        if (!ok) {
            KxQsfClose(h);
            return usage_error(kQsf, "--block takes 1, 2 or 5");
        }
        void *buf = nullptr;
        int16_t word = 0;
        rc = KxQsfGetVariables(h, static_cast<int>(block), &buf, &word);
        if (rc != 0) {
            status = report_result("qsf block", rc);
        } else if (!buf) {
            std::printf("block %lld is absent\n", block);
        } else {
            const auto *bytes = static_cast<const uint8_t *>(buf);
            std::vector<uint8_t> data(bytes, bytes + block_length(file, static_cast<int>(block)));
            if (opts.has("--out")) {
                std::FILE *out = std::fopen(opts.value("--out").c_str(), "wb");
                bool written = out && std::fwrite(data.data(), 1, data.size(), out) == data.size();
                if (out && std::fclose(out) != 0) written = false;
                if (!written) status = report_result("qsf block: writing " + opts.value("--out"), KX_ERR_WRITE);
                else std::printf("block %lld: word 0x%04X, %zu bytes written to %s\n", block,
                                 static_cast<uint16_t>(word), data.size(), opts.value("--out").c_str());
            } else {
                std::printf("block %lld: word 0x%04X, %zu bytes\n", block, static_cast<uint16_t>(word), data.size());
                hex_dump(data);
            }
        }
        KxMemFree(buf);
    } else {
        status = usage_error(kQsf, "unknown action '" + action + "'");
    }
    KxQsfClose(h);
    return status;
}

const Command kQsf = {"qsf", "check a QSF file, show its blocks, read its INI variable lists",
                      R"(Usage: kx qsf info FILE --type N
       kx qsf block FILE --type N [--block 1|2|5] [--out FILE]
       kx qsf section INIFILE --list required|optional|exclude|order --section N

  info     check the header, type and checksum and list blocks 1, 2 and 5
  block    show one block (hex dump, or its bytes written to --out)
  section  print the variable numbers of the INI list section NNN<LIST>
           (exclude and order fall back to DEFAULTEXCLUDE, DEFAULTORDER)

Example: kx qsf info settings.qsf --type 2)",
                      run_qsf};

Registration reg_qsf{kQsf};

} // namespace
