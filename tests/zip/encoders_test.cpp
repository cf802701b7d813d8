// Archives made at test time by encoders nobody here wrote: Info-ZIP zip,
// Python's zipfile and 7-Zip. Every member's bytes and modification time
// must come back; encrypted and Deflate64 members are skipped.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "kxapi.h"
#include "zip_test_support.h"

namespace fs = std::filesystem;
using namespace ziptest;

namespace {

// 2021-06-15 12:34:56 UTC; encoders run with TZ=UTC, so the DOS words hold this clock.
const long long kStamp = utc_seconds(2021, 6, 15, 12, 34, 56);

bool have(const char *tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

struct Source {
    kxtest::TempDir dir;
    std::vector<std::string> files;
    Source()
    {
        std::string text;
        for (int i = 0; text.size() < 300000; ++i)
            text += "line " + std::to_string(i) + ": the quick brown fox " + std::to_string(i * i % 977) + "\n";
        kxtest::Bytes noise(70000);
        std::uint32_t x = 12345;
        for (auto &b : noise) {
            x = x * 1103515245u + 12345u;
            b = static_cast<std::uint8_t>(x >> 24);
        }
        fs::create_directories(dir.file("sub/deeper"));
        kxtest::write_text(dir.file("text.txt"), text);
        kxtest::write_bytes(dir.file("noise.bin"), noise);
        kxtest::write_text(dir.file("empty.txt"), "");
        kxtest::write_text(dir.file("sub/deeper/small.txt"), "small\n");
        kxtest::write_text(dir.file("sub/zeros.bin"), std::string(100000, '\0'));
        files = {"empty.txt", "noise.bin", "sub/deeper/small.txt", "sub/zeros.bin", "text.txt"};
        for (const auto &f : files) {
            struct timespec t[2] = {{kStamp, 0}, {kStamp, 0}};
            ::utimensat(AT_FDCWD, dir.file(f).c_str(), t, 0);
        }
    }
};

// Runs a shell command in dir with TZ=UTC.
void sh(const std::string &dir, const std::string &cmd)
{
    const std::string full = "cd '" + dir + "' && (TZ=UTC " + cmd + ") >/dev/null 2>&1";
    ASSERT_EQ(std::system(full.c_str()), 0) << cmd;
}

void expect_extracted(const Source &src, const std::string &archive, const std::vector<std::string> &files)
{
    kxtest::TempDir out;
    {
        InDir in(out.path());
        ASSERT_EQ(KxZipExplode(archive.c_str(), nullptr, nullptr), 0);
    }
    std::vector<std::string> got;
    for (const auto &e : fs::recursive_directory_iterator(out.path()))
        if (e.is_regular_file()) got.push_back(fs::relative(e.path(), out.path()).string());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, files);
    for (const auto &f : files) {
        SCOPED_TRACE(f);
        EXPECT_EQ(kxtest::read_bytes(out.file(f)), kxtest::read_bytes(src.dir.file(f)));
        EXPECT_EQ(mtime_of(out.file(f)), kStamp);
    }
}

} // namespace

TEST(ZipEncoders, InfoZip)
{
    if (!have("zip")) GTEST_SKIP() << "zip not installed";
    Source src;
    kxtest::TempDir arc;
    struct Case {
        const char *options;
        bool expect_members;
    } const cases[] = {{"-q -r -X -9", true}, {"-q -r -X -1", true}, {"-q -r -X -0", true},
                       {"-q -r -X -P secret", false}};
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options);
        const std::string archive = arc.file("z" + std::to_string(n++) + ".zip");
        sh(src.dir.path(), std::string("zip ") + c.options + " '" + archive + "' .");
        expect_extracted(src, archive, c.expect_members ? src.files : std::vector<std::string>{});
    }
    // Written to a pipe: sizes and CRC-32 follow each member in a data descriptor.
    const std::string streamed = arc.file("stream.zip");
    sh(src.dir.path(), "TZ=UTC zip -q -X - text.txt noise.bin sub/zeros.bin | cat > '" + streamed + "'");
    expect_extracted(src, streamed, {"noise.bin", "sub/zeros.bin", "text.txt"});
}

TEST(ZipEncoders, PythonZipfile)
{
    if (!have("python3")) GTEST_SKIP() << "python3 not installed";
    Source src;
    kxtest::TempDir arc;
    const std::string script = R"(
import os, sys, zipfile
names = sys.argv[3:]
def add(z):
    for n in names:
        z.write(n, n)
mode = sys.argv[2]
if mode == 'stream':
    # A stream that cannot seek: every member gets a data descriptor.
    with open(sys.argv[1], 'wb') as raw:
        class NoSeek:
            def write(self, b): return raw.write(b)
            def flush(self): raw.flush()
        with zipfile.ZipFile(NoSeek(), 'w', zipfile.ZIP_DEFLATED) as z: add(z)
else:
    method = zipfile.ZIP_STORED if mode == 'stored' else zipfile.ZIP_DEFLATED
    level = {'fast': 1, 'best': 9}.get(mode)
    with zipfile.ZipFile(sys.argv[1], 'w', method, compresslevel=level) as z: add(z)
)";
    kxtest::write_text(arc.file("make.py"), script);
    std::string names;
    for (const auto &f : src.files) names += " '" + f + "'";
    for (const char *mode : {"stored", "fast", "best", "stream"}) {
        SCOPED_TRACE(mode);
        const std::string archive = arc.file(std::string(mode) + ".zip");
        sh(src.dir.path(), "python3 '" + arc.file("make.py") + "' '" + archive + "' " + mode + names);
        expect_extracted(src, archive, src.files);
    }
}

TEST(ZipEncoders, SevenZip)
{
    if (!have("7z")) GTEST_SKIP() << "7z (p7zip-full) not installed";
    Source src;
    kxtest::TempDir arc;
    struct Case {
        const char *method;
        bool expect_members;
    } const cases[] = {{"Deflate", true}, {"Copy", true}, {"Deflate64", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.method);
        const std::string archive = arc.file(std::string(c.method) + ".zip");
        sh(src.dir.path(), std::string("7z a -tzip -mm=") + c.method + " '" + archive + "' .");
        if (c.expect_members) {
            expect_extracted(src, archive, src.files);
        } else {
            // 7-Zip keeps files it cannot shrink stored; the Deflate64 ones are skipped.
            expect_extracted(src, archive, {"empty.txt", "noise.bin", "sub/deeper/small.txt"});
        }
    }
}
