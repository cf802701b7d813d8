// kx parse: read an option-information or job-accounting block from a file
// and print the records the library makes of it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"

namespace {

using namespace kxcli;

extern const Command kParse;

// Reads the whole file; false when it cannot be read.
bool read_file(const std::string &path, std::vector<std::uint8_t> &out)
{
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::uint8_t buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// Prints text in double quotes, bytes outside printable ASCII as \xNN.
void print_text(const char *text)
{
    if (!text) {
        std::printf("(none)");
        return;
    }
    std::putchar('"');
    for (const auto *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
        if (*p == '"' || *p == '\\') std::printf("\\%c", *p);
        else if (*p >= 0x20 && *p < 0x7F) std::putchar(*p);
        else std::printf("\\x%02X", *p);
    }
    std::putchar('"');
}

void print_options(const KxOptionInfo &info)
{
    std::int32_t n = info.nOptions;
    const KxOptionEntry *options = info.pOptions;
    std::printf("options: %d\n", n);
    for (std::int32_t i = 0; i < n; ++i) {
        KxOptionEntry o;
        std::memcpy(&o, &options[i], sizeof o);
        std::printf("  option %d: value1 %d, value5 %d, text ", i + 1, o.nValue1, o.nValue5);
        print_text(o.pszText);
        std::putchar('\n');
    }
    n = info.nGroups;
    const KxOptionGroup *groups = info.pGroups;
    std::printf("groups: %d\n", n);
    for (std::int32_t i = 0; i < n; ++i) {
        KxOptionGroup g;
        std::memcpy(&g, &groups[i], sizeof g);
        std::printf("  group %d: text1 ", i + 1);
        print_text(g.pszText1);
        std::printf(", text2 ");
        print_text(g.pszText2);
        std::printf(", values %d:", g.nValues);
        for (std::int32_t v = 0; v < g.nValues; ++v) std::printf(" %d", g.pnValues[v]);
        std::putchar('\n');
    }
}

// A record field: its element path, offset and text size (0 for an integer).
struct Field {
    const char *path;
    std::size_t offset, size;
};

#define KX_INT(rec, name, path) {path, offsetof(rec, name), 0}
#define KX_TEXT(rec, name, path) {path, offsetof(rec, name), sizeof(((rec *)nullptr)->name)}

const Field kJobFields[] = {
    KX_INT(KxJobRecord, n1_1, "1.1"),    KX_INT(KxJobRecord, n1_2, "1.2"),   KX_INT(KxJobRecord, n1_3, "1.3"),
    KX_INT(KxJobRecord, n1_4, "1.4"),    KX_INT(KxJobRecord, n1_5, "1.5"),   KX_INT(KxJobRecord, n1_6, "1.6"),
    KX_TEXT(KxJobRecord, sz1_7, "1.7"),  KX_INT(KxJobRecord, n1_8, "1.8"),   KX_INT(KxJobRecord, n1_9, "1.9"),
    KX_INT(KxJobRecord, n1_10, "1.10"),  KX_TEXT(KxJobRecord, sz1_11, "1.11"), KX_TEXT(KxJobRecord, sz2_1, "2.1"),
    KX_TEXT(KxJobRecord, sz2_2, "2.2"),  KX_TEXT(KxJobRecord, sz2_3, "2.3"), KX_INT(KxJobRecord, n2_4, "2.4"),
    KX_INT(KxJobRecord, n2_5, "2.5"),    KX_INT(KxJobRecord, n2_6, "2.6"),   KX_INT(KxJobRecord, n2_7, "2.7"),
    KX_INT(KxJobRecord, n2_8, "2.8"),    KX_INT(KxJobRecord, n2_9, "2.9"),   KX_INT(KxJobRecord, n2_10, "2.10"),
};
const Field kAlertFields[] = {
    KX_INT(KxAlertRecord, n1_1, "1.1"),  KX_INT(KxAlertRecord, n2_1, "2.1"),   KX_INT(KxAlertRecord, n2_2, "2.2"),
    KX_INT(KxAlertRecord, n2_3, "2.3"),  KX_INT(KxAlertRecord, n2_4, "2.4"),   KX_INT(KxAlertRecord, n2_5, "2.5"),
    KX_TEXT(KxAlertRecord, sz2_6, "2.6"), KX_INT(KxAlertRecord, n2_7, "2.7"),  KX_TEXT(KxAlertRecord, sz2_8, "2.8"),
    KX_INT(KxAlertRecord, n3_1, "3.1"),  KX_INT(KxAlertRecord, n3_2, "3.2"),   KX_INT(KxAlertRecord, n3_3, "3.3"),
    KX_INT(KxAlertRecord, n3_4, "3.4"),  KX_INT(KxAlertRecord, n3_5, "3.5"),
};

template <std::size_t N>
void print_record(const char *name, const void *record, const Field (&fields)[N])
{
    if (!record) {
        std::printf("%s: (none)\n", name);
        return;
    }
    std::printf("%s:\n", name);
    const auto *bytes = static_cast<const std::uint8_t *>(record);
    for (const auto &f : fields) {
        std::printf("  %-5s ", f.path);
        if (f.size == 0) {
            const std::uint8_t *p = bytes + f.offset;
            auto v = static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                               std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
            std::printf("%d\n", v);
        } else {
            std::string text(reinterpret_cast<const char *>(bytes + f.offset), f.size);
            print_text(text.c_str());
            std::putchar('\n');
        }
    }
}

int run_parse(const Args &args)
{
    Options opts(args, {}, {});
    if (!opts.ok()) return usage_error(kParse, opts.error());
    const auto &p = opts.positionals();
    if (p.size() != 2) return usage_error(kParse, "give a kind (options or jobaccount) and a FILE");
    const std::string &kind = p[0], &file = p[1];
    if (kind != "options" && kind != "jobaccount") return usage_error(kParse, "unknown kind '" + kind + "'");

    std::vector<std::uint8_t> block;
    if (!read_file(file, block)) return report_result("parse: reading " + file, KX_ERR_OPEN);
    // The library reads the L + 2 bytes the block declares; a file that ends
    // sooner is refused here rather than handed over.
    std::size_t declared = block.size() >= 2 ? (std::size_t(block[0]) << 8 | block[1]) + 2 : 2;
    if (block.size() < declared) {
        std::fprintf(stderr, "kx parse: %s holds %zu bytes, but its block declares %zu\n", file.c_str(),
                     block.size(), declared);
        return kExitFailure;
    }

    if (kind == "options") {
        KxOptionInfo *info = KxParseOptionInfo(block.data());
        if (!info) {
            std::fprintf(stderr, "kx parse: %s is not a valid option-information block\n", file.c_str());
            return kExitFailure;
        }
        print_options(*info);
        KxFreeOptionInfo(info);
    } else {
        KxJobAccount *account = KxParseJobAccountingAlert(block.data());
        if (!account) {
            std::fprintf(stderr, "kx parse: %s is not a valid job-accounting block\n", file.c_str());
            return kExitFailure;
        }
        KxJobRecord *job = account->pJob;
        KxAlertRecord *alert = account->pAlert;
        print_record("job", job, kJobFields);
        print_record("alert", alert, kAlertFields);
        KxFreeJobAccount(account);
    }
    return kExitOk;
}

const Command kParse = {"parse", "print the records of an option-information or job-accounting block",
                        R"(Usage: kx parse options FILE
       kx parse jobaccount FILE

FILE holds one self-describing element block: a big-endian length L, a
word, the tag/container/data layout groups and the element stream (L + 2
bytes in all; bytes after them are ignored).

  options     the options (elements 1, 5 and 6 of each) and the option
              groups (two texts and the values of each)
  jobaccount  the job record and the alert record, each field named by
              its element path (2.1: child 1 of container 2)

A block that breaks its own layout prints an error and exits with 1.

Example: kx parse jobaccount tests/data/parse/jobaccount.bin)",
                        run_parse};

Registration reg_parse{kParse};

} // namespace
