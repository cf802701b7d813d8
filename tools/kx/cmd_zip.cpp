// kx zip: extract the members of a ZIP archive, or list them.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "cli.h"
#include "zip/central_dir.h"

namespace {

using namespace kxcli;

extern const Command kZip;

struct Tally {
    unsigned members = 0;
    unsigned long long bytes = 0;
} g_tally;

void print_member(const char *path, std::uint32_t compressed, std::uint16_t percent)
{
    std::printf("  extracted %-40s %10u bytes packed  %3u%%\n", path, compressed, percent);
    ++g_tally.members;
    g_tally.bytes += compressed;
}

int run_extract(const Args &args)
{
    std::string archive, pattern, dir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-C") {
            if (++i == args.size()) return usage_error(kZip, "-C needs a directory");
            dir = args[i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return usage_error(kZip, "unknown option " + args[i]);
        } else if (archive.empty()) {
            archive = args[i];
        } else if (pattern.empty()) {
            pattern = args[i];
        } else {
            return usage_error(kZip, "too many arguments");
        }
    }
    if (archive.empty()) return usage_error(kZip, "give the archive to extract");
    if (!dir.empty()) {
        // The library writes below the current directory: resolve the archive first, then move.
        std::error_code ec;
        const auto abs = std::filesystem::absolute(archive, ec);
        if (!ec) archive = abs.string();
        std::filesystem::create_directories(dir, ec);
        if (::chdir(dir.c_str()) != 0) {
            std::fprintf(stderr, "kx zip: cannot enter directory %s\n", dir.c_str());
            return kExitFailure;
        }
    }
    const int rc = KxZipExplode(archive.c_str(), pattern.empty() ? nullptr : pattern.c_str(), print_member);
    std::printf("%u member%s extracted, %llu bytes packed, result %d (%s)\n", g_tally.members,
                g_tally.members == 1 ? "" : "s", g_tally.bytes, rc, std::string(result_meaning(rc)).c_str());
    return report_result("zip extract", rc);
}

// The archive through stdio, for the shared central-directory reader.
struct FileSource {
    std::FILE *f;
    std::size_t read_at(std::uint64_t off, std::uint8_t *dst, std::size_t n)
    {
        if (fseeko(f, static_cast<off_t>(off), SEEK_SET) != 0) return 0;
        return std::fread(dst, 1, n, f);
    }
};

const char *method_name(unsigned m)
{
    static const char *const names[] = {"stored",   "shrunk",   "reduced1", "reduced2", "reduced3",
                                        "reduced4", "imploded", "tokenized", "deflated"};
    return m < 9 ? names[m] : "other";
}

int run_list(const Args &args)
{
    if (args.size() != 1) return usage_error(kZip, "give one archive to list");
    if (args[0].size() > 1 && args[0][0] == '-') return usage_error(kZip, "unknown option " + args[0]);
    std::FILE *f = std::fopen(args[0].c_str(), "rb");
    if (!f) {
        std::fprintf(stderr, "kx zip: cannot open %s\n", args[0].c_str());
        return kExitFailure;
    }
    FileSource src{f};
    fseeko(f, 0, SEEK_END);
    const std::uint64_t size = static_cast<std::uint64_t>(ftello(f));
    std::uint8_t work[kx::zip::kBlock + kx::zip::kHold + 1];
    kx::zip::EndRecord rec;
    if (kx::zip::find_end_record(src, size, work, rec) != kx::zip::EndSearch::Found) {
        std::fclose(f);
        std::fprintf(stderr, "kx zip: %s: no end of central directory record\n", args[0].c_str());
        return kExitFailure;
    }
    // Bytes in front of the archive move every stored offset.
    std::int64_t extra = static_cast<std::int64_t>(rec.position) - rec.cd_size - rec.cd_offset;
    if (extra < 0) extra = 0;
    std::uint64_t pos = rec.cd_offset + static_cast<std::uint64_t>(extra);
    std::printf("%10s %10s  %-9s %-16s  %s\n", "packed", "size", "method", "modified", "name");
    unsigned count = 0;
    unsigned long long packed = 0, unpacked = 0;
    kx::zip::CentralEntry e;
    int status = kExitOk;
    for (unsigned i = 0; i < rec.entries_total; ++i) {
        if (kx::zip::read_central_entry(src, size, pos, e) != kx::zip::EntryRead::Ok) {
            std::fprintf(stderr, "kx zip: damaged central directory at entry %u\n", i + 1);
            status = kExitFailure;
            break;
        }
        std::printf("%10u %10u  %-9s %04u-%02u-%02u %02u:%02u  %s%s\n", e.compressed_size, e.uncompressed_size,
                    method_name(e.method), 1980u + (e.mod_date >> 9), (e.mod_date >> 5) & 15u, e.mod_date & 31u,
                    e.mod_time >> 11, (e.mod_time >> 5) & 63u, e.name.c_str(),
                    (e.flags & kx::zip::kFlagEncrypted) ? "  (encrypted)" : "");
        ++count;
        packed += e.compressed_size;
        unpacked += e.uncompressed_size;
    }
    std::fclose(f);
    std::printf("%10llu %10llu  %u member%s\n", packed, unpacked, count, count == 1 ? "" : "s");
    return status;
}

int run_zip(const Args &args)
{
    if (args.empty()) return usage_error(kZip, "give a sub-command: extract or list");
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "extract") return run_extract(rest);
    if (args[0] == "list") return run_list(rest);
    return usage_error(kZip, "unknown sub-command '" + args[0] + "'");
}

const Command kZip = {"zip", "extract the members of a ZIP archive, or list them", R"(Usage: kx zip extract ARCHIVE [PATTERN] [-C DIR]
       kx zip list ARCHIVE

extract  writes the members of ARCHIVE (ARCHIVE.zip when ARCHIVE does not
         exist) below the current directory, or below DIR with -C (created
         when missing). PATTERN selects members by their stored names: '*'
         any run ('/' included), '?' one character, [a-z] a set; letters
         match either case. Prints one line per member extracted (path,
         packed size, share of the packed bytes read so far) and a summary.
         Members are never written outside the target directory.
list     prints every central-directory entry: packed and full size, method,
         DOS modification time and name.

Methods decoded: stored, shrunk, reduced 1-4, imploded, deflated; encrypted
members and other methods are skipped.

Example: kx zip extract fonts.zip '*.pfb' -C /tmp/fonts)",
                    run_zip};

Registration reg_zip{kZip};

} // namespace
