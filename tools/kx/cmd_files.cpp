// kx checksum, backup, mkpath, datfile, cfgfiles: the file utilities, data
// files and described-file listings.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli.h"

namespace {

using namespace kxcli;

// --- checksum ---------------------------------------------------------------

extern const Command kChecksum;

int run_checksum(const Args &args)
{
    Options opts(args, {"--skip"}, {});
    if (!opts.ok()) return usage_error(kChecksum, opts.error());
    if (opts.positionals().size() != 1) return usage_error(kChecksum, "give one FILE");
    bool ok = true;
    long long skip = opts.number("--skip", 0, ok);
    if (!ok || skip < 0 || skip > 0xFFFF) return usage_error(kChecksum, "--skip takes a word number 0 to 65535");
    uint16_t sum = 0;
    int rc = KxFilChecksum(opts.positionals()[0].c_str(), 0, static_cast<uint16_t>(skip), &sum);
    if (rc == 0) std::printf("0x%04X\n", sum);
    return report_result("checksum", rc);
}

const Command kChecksum = {"checksum", "print the 16-bit checksum of a file", R"(Usage: kx checksum FILE [--skip N]

Prints the file's 16-bit checksum: the two's complement of the sum of its
little-endian 16-bit words (an odd last byte pairs with the high byte of the
word before it).

  --skip N   leave out word number N (1-based), where a file keeps its own
             checksum; QSF files keep theirs in word 2)",
                           run_checksum};

// --- backup -----------------------------------------------------------------

extern const Command kBackup;

int run_backup(const Args &args)
{
    if (args.size() != 1 || args[0].starts_with("-")) return usage_error(kBackup, "give one FILE");
    char name[KX_MAX_PATH + 1] = "";
    int rc = KxFilBackup(args[0].c_str(), name);
    if (rc == 0) std::printf("%s\n", name);
    return report_result("backup", rc);
}

const Command kBackup = {"backup", "copy a file to its next free numbered backup", R"(Usage: kx backup FILE

Copies FILE to the first free name of its directory and base name (extension
dropped) with .001 to .998 appended, e.g. opts.ini -> opts.003, and prints it.)",
                         run_backup};

// --- mkpath -----------------------------------------------------------------

extern const Command kMkpath;

int run_mkpath(const Args &args)
{
    if (args.size() != 1 || args[0].starts_with("-")) return usage_error(kMkpath, "give one absolute PATH");
    char created[KX_MAX_PATH + 1] = "";
    int rc = KxFilMakePath(args[0].c_str(), created);
    if (rc == 0) std::printf("created: %s\n", *created ? created : "(nothing, all present)");
    if (rc == KX_ERR_COMM_LIBRARY) {
        // Code 26 has a meaning of its own here.
        std::fprintf(stderr, "kx: mkpath: result 26 (the path cannot be built)\n");
        return kExitFailure;
    }
    return report_result("mkpath", rc);
}

const Command kMkpath = {"mkpath", "create every missing directory of an absolute path", R"(Usage: kx mkpath PATH

Creates every missing directory of the absolute PATH, its last component
included, and prints the part that was created (e.g. /b/c). A relative path,
a path ending in a separator, or a file in the way gives result 26.)",
                         run_mkpath};

// --- datfile ----------------------------------------------------------------

extern const Command kDatfile;

void print_record(const KxDatRecord &r)
{
    double lo, hi, inc;
    std::memcpy(&lo, reinterpret_cast<const char *>(&r) + offsetof(KxDatRecord, dVarRangeLo), sizeof lo);
    std::memcpy(&hi, reinterpret_cast<const char *>(&r) + offsetof(KxDatRecord, dVarRangeHi), sizeof hi);
    std::memcpy(&inc, reinterpret_cast<const char *>(&r) + offsetof(KxDatRecord, dVarIncrement), sizeof inc);
    std::printf("%s\t%s\t%s\t%s\t%s\t%g\t%g\t%g\t%s\n", r.szKey, r.szDescr, r.szEmulation, r.szCommand,
                r.szVarFormat, lo, hi, inc, r.szDuration);
}

// Handle results are negative codes of their own.
int report_dat(const char *what, int rc)
{
    static const struct {
        int code;
        const char *text;
    } kTexts[] = {{KX_DAT_ERR_ARGS, "bad arguments or file missing"},
                  {KX_DAT_ERR_FORMAT, "malformed line, no free handle or close failed"},
                  {KX_DAT_ERR_NOT_OPEN, "handle not open"},
                  {KX_DAT_ERR_OPEN, "the file cannot be opened"},
                  {KX_DAT_ERR_NO_RECORD, "no record"},
                  {KX_DAT_EOF, "end of file"}};
    for (const auto &t : kTexts)
        if (t.code == rc) std::fprintf(stderr, "kx: %s: result %d (%s)\n", what, rc, t.text);
    return kExitFailure;
}

int run_datfile(const Args &args)
{
    Options opts(args, {"--key"}, {});
    if (!opts.ok()) return usage_error(kDatfile, opts.error());
    const auto &pos = opts.positionals();
    if (pos.size() != 2) return usage_error(kDatfile, "give list, count or counts and a FILE");
    const std::string &action = pos[0], &file = pos[1];
    KxDatRecord rec;
    std::memset(&rec, 0, sizeof rec);
    std::strncpy(rec.szKey, opts.value("--key").c_str(), sizeof rec.szKey - 1);

    if (action == "list") {
        int h = KxDatOpenFile(file.c_str(), nullptr, KX_DAT_MODE_READ);
        if (h < 0) return report_dat("datfile", h);
        int rc = KxDatGetFirstKey(h, &rec);
        const std::string prefix = opts.value("--key").substr(0, 5);
        while (rc == 0 && (prefix.empty() || std::strncmp(rec.szKey, prefix.c_str(), prefix.size()) == 0)) {
            print_record(rec);
            rc = KxDatGetNextKey(h, &rec);
        }
        KxDatCloseFile(h);
        // No record at all (an empty file, or no key with the prefix) is an empty listing.
        if (rc == 0 || rc == KX_DAT_EOF || rc == KX_DAT_ERR_NO_RECORD) return kExitOk;
        return report_dat("datfile list", rc);
    }
    if (action == "count") {
        int rc = KxDatQueryCount(file.c_str(), &rec, KX_DAT_MODE_READ);
        if (rc < 0) return report_dat("datfile count", rc);
        std::printf("%d\n", rc);
        return kExitOk;
    }
    if (action == "counts") {
        KxDatCounts c;
        int rc = KxDatQueryCounts(file.c_str(), &c, KX_DAT_MODE_READ);
        if (rc < 0) return report_dat("datfile counts", rc);
        std::printf("A %u\nF %u\nG %u\nP %u\nS %u\nT %u\nSA %u\nSF %u\nSG %u\nSP %u\nSS %u\nST %u\n",
                    unsigned(c.wA), unsigned(c.wF), unsigned(c.wG), unsigned(c.wP), unsigned(c.wS), unsigned(c.wT),
                    unsigned(c.wSA), unsigned(c.wSF), unsigned(c.wSG), unsigned(c.wSP), unsigned(c.wSS),
                    unsigned(c.wST));
        return kExitOk;
    }
    return usage_error(kDatfile, "the action is list, count or counts");
}

const Command kDatfile = {"datfile", "list or count the records of a data file", R"(Usage: kx datfile list|count|counts FILE [--key K]

Reads a data file of printer command definitions (one record per line: five
quoted strings, three numbers, one quoted string).

  list     print the records (tab-separated fields); with --key only the run of
           records from the first whose key starts with K
  count    the number of records from the first whose key starts with K, as
           long as the keys keep that prefix (all records without --key)
  counts   records by the first letter of the key (A F G P S T) and, for S,
           by the second letter
  --key K  key prefix (up to 5 characters))",
                          run_datfile};

// --- cfgfiles ---------------------------------------------------------------

extern const Command kCfgfiles;

int run_cfgfiles(const Args &args)
{
    Options opts(args, {"--type"}, {});
    if (!opts.ok()) return usage_error(kCfgfiles, opts.error());
    if (opts.positionals().size() != 1) return usage_error(kCfgfiles, "give one DIR");
    std::string t = opts.value("--type", "cfg");
    int type = t == "cfg" ? KX_DAT_FILES_CFG : t == "pss" ? KX_DAT_FILES_PSS : t == "any" ? KX_DAT_FILES_ANY : 0;
    if (type == 0) return usage_error(kCfgfiles, "--type is cfg, pss or any");
    int16_t count = 0;
    KxDatFileEntry *list = KxDatQueryFiles(opts.positionals()[0].c_str(), type, &count);
    for (KxDatFileEntry *e = list; e; e = e->pNext) std::printf("%s\t%s\n", e->szPath, e->szDescr);
    KxDatQueryFilesFree(list);
    std::printf("%d file(s)\n", count);
    return kExitOk;
}

const Command kCfgfiles = {"cfgfiles", "list the described configuration files of a directory",
                           R"(Usage: kx cfgfiles DIR [--type cfg|pss|any]

Lists the files of DIR (*.cfg, *.pss or any name, ignoring letter case) whose
first line holds "#!" followed by a description, with that description.)",
                           run_cfgfiles};

Registration reg_checksum{kChecksum};
Registration reg_backup{kBackup};
Registration reg_mkpath{kMkpath};
Registration reg_datfile{kDatfile};
Registration reg_cfgfiles{kCfgfiles};

} // namespace
