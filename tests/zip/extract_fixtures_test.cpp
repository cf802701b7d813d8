// The supplied archives from independent encoders: every member's bytes and
// modification time against the manifest read by another ZIP reader, and the
// result codes of the damaged and special ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "kxapi.h"
#include "zip_test_support.h"

namespace fs = std::filesystem;
using namespace ziptest;

namespace {

struct ManifestLine {
    std::string name, path, source;
    int dt[6];
};

std::map<std::string, std::vector<ManifestLine>> load_manifest()
{
    std::map<std::string, std::vector<ManifestLine>> m;
    std::ifstream in(kxtest::data_path("zip/manifest.tsv"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string archive;
        ManifestLine l;
        std::getline(f, archive, '\t');
        std::getline(f, l.name, '\t');
        std::getline(f, l.path, '\t');
        std::getline(f, l.source, '\t');
        for (int &v : l.dt) f >> v;
        m[archive].push_back(l);
    }
    return m;
}

// Files (not directories) below root, as relative paths.
std::vector<std::string> files_below(const std::string &root)
{
    std::vector<std::string> out;
    for (const auto &e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) out.push_back(fs::relative(e.path(), root).string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

TEST(ZipFixtures, EveryMemberExactWithItsTime)
{
    const auto manifest = load_manifest();
    ASSERT_GE(manifest.size(), 28u);
    for (const auto &[archive, members] : manifest) {
        SCOPED_TRACE(archive);
        kxtest::TempDir dir;
        {
            InDir in(dir.path());
            ASSERT_EQ(KxZipExplode(kxtest::data_path("zip/" + archive).c_str(), nullptr, nullptr), 0);
        }
        std::vector<std::string> expected_files;
        for (const auto &m : members) {
            SCOPED_TRACE(m.name);
            const std::string out = dir.file(m.path);
            if (m.source == "-") {
                EXPECT_TRUE(fs::is_directory(out));
                continue;
            }
            expected_files.push_back(m.path);
            EXPECT_EQ(kxtest::read_bytes(out), kxtest::read_bytes(kxtest::data_path("zip/" + m.source)));
            EXPECT_EQ(mtime_of(out), utc_seconds(m.dt[0], m.dt[1], m.dt[2], m.dt[3], m.dt[4], m.dt[5]));
        }
        std::sort(expected_files.begin(), expected_files.end());
        // Nothing else was written: skipped members stay out.
        EXPECT_EQ(files_below(dir.path()), expected_files);
    }
}

TEST(ZipFixtures, ResultCodesOfSpecialArchives)
{
    struct Case {
        const char *archive;
        int result;
        std::size_t files;  // files written
    } const cases[] = {
        {"misc/short_21_bytes.zip", KX_ERR_INVALID_FILE, 0},
        {"misc/empty_22_bytes.zip", KX_OK, 0},
        {"misc/multidisk_eocd_disk1.zip", KX_ERR_NOT_FOUND, 0},
        // Sizes that disagree: the stored data runs past its declared size.
        {"pkware/pkzip204g_bad_stored_size.zip", KX_ERR_INVALID_FILE, 1},
        // Member data said to run past the end of the archive: refused before any file is made.
        {"pkware/pkzip204g_member_out_of_bounds.zip", KX_ERR_INVALID_FILE, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.archive);
        kxtest::TempDir dir;
        InDir in(dir.path());
        EXPECT_EQ(KxZipExplode(kxtest::data_path(std::string("zip/") + c.archive).c_str(), "", nullptr), c.result);
        EXPECT_EQ(files_below(dir.path()).size(), c.files);
    }
}

TEST(ZipFixtures, LegacyImplodeStreamsDecodeWithoutHarm)
{
    // Members e to h imitate an early implode encoder that chose the minimum
    // match length by another rule: under the published rule f decodes to
    // other bytes (a CRC-32 warning) and g runs out of data (an error); the
    // rest come out exact and nothing else is harmed.
    kxtest::TempDir dir;
    InDir in(dir.path());
    EXPECT_EQ(KxZipExplode(kxtest::data_path("zip/pkware/hwzip_legacy_implode_compat.zip").c_str(), nullptr, nullptr),
              KX_ERR_INVALID_FILE);
    for (const char *n : {"a", "b", "c", "d", "e", "h"}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(kxtest::read_bytes(dir.file(n)),
                  kxtest::read_bytes(kxtest::data_path(std::string("zip/pkware/src/hwzip_legacy_implode_compat/") + n)));
    }
    EXPECT_EQ(kxtest::read_bytes(dir.file("f")).size(), 19u);
}

TEST(ZipFixtures, PercentagesFollowTheRunningTotalOfEachBatch)
{
    const std::string archive = kxtest::data_path("zip/misc/batch100_stored.zip");
    // Member i holds 11 * (i + 1) bytes.
    auto size_of = [](unsigned i) { return 11u * (i + 1); };
    std::uint64_t first64 = 0, all = 0;
    for (unsigned i = 0; i < 100; ++i) {
        all += size_of(i);
        if (i < 64) first64 += size_of(i);
    }
    std::vector<Reported> runs[2];
    for (auto &run : runs) {
        kxtest::TempDir dir;
        InDir in(dir.path());
        g_reported.clear();
        ASSERT_EQ(KxZipExplode(archive.c_str(), nullptr, record_member), 0);
        run = g_reported;
    }
    ASSERT_EQ(runs[0].size(), 100u);
    for (unsigned i = 0; i < 100; ++i) {
        SCOPED_TRACE(i);
        const std::uint64_t total = i < 64 ? first64 : all;
        char name[16];
        std::snprintf(name, sizeof name, "f%03u.txt", i);
        EXPECT_EQ(runs[0][i].path, name);
        EXPECT_EQ(runs[0][i].size, size_of(i));
        EXPECT_EQ(runs[0][i].percent, (size_of(i) * 200 + total) / (2 * total));
        // A second call starts its total afresh.
        EXPECT_EQ(runs[1][i].percent, runs[0][i].percent);
    }
    EXPECT_EQ(runs[0][63].percent, 3);  // 704 of 22880 bytes: 3.08 %
}

TEST(ZipFixtures, BadCrcKeepsFilesAndStopsOnlyWithACallback)
{
    const std::string archive = kxtest::data_path("zip/misc/bad_crc.zip");
    {
        kxtest::TempDir dir;
        InDir in(dir.path());
        EXPECT_EQ(KxZipExplode(archive.c_str(), nullptr, nullptr), 0);
        EXPECT_EQ(files_below(dir.path()),
                  (std::vector<std::string>{"badcrc_deflated.txt", "badcrc_stored.txt", "good.txt"}));
        EXPECT_EQ(kxtest::read_bytes(dir.file("badcrc_deflated.txt")),
                  kxtest::read_bytes(kxtest::data_path("zip/misc/src/bad_crc/badcrc_deflated.txt")));
    }
    {
        kxtest::TempDir dir;
        InDir in(dir.path());
        g_reported.clear();
        EXPECT_EQ(KxZipExplode(archive.c_str(), nullptr, record_member), 0);
        ASSERT_EQ(g_reported.size(), 1u);
        EXPECT_EQ(g_reported[0].path, "good.txt");
        // The run stopped at the first bad member, which stays on disk.
        EXPECT_EQ(files_below(dir.path()), (std::vector<std::string>{"badcrc_stored.txt", "good.txt"}));
    }
}
