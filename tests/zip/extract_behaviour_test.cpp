// Extraction behaviour on small hand-built archives: arguments, selection,
// names that try to leave the target directory, links, damaged records and
// members that decode to more than they declare.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "kxapi.h"
#include "zip_test_support.h"

namespace fs = std::filesystem;
using namespace ziptest;
using kxtest::bytes_of;

namespace {

Member stored(const std::string &name, const std::string &text)
{
    Member m;
    m.name = name;
    m.data = bytes_of(text);
    return m;
}

// A workspace: `outside` is a sibling of the target directory `work`, so a
// write that escapes the target shows up there.
struct Sandbox {
    kxtest::TempDir root;
    std::string work = root.file("work");
    std::string outside = root.file("outside");
    std::string archive = root.file("test.zip");
    Sandbox()
    {
        fs::create_directory(work);
        fs::create_directory(outside);
    }
    int run(const std::vector<Member> &members, const char *pattern = nullptr, KxZipCallback cb = nullptr,
            const ArchiveOptions &opt = {})
    {
        kxtest::write_bytes(archive, build_archive(members, opt));
        InDir in(work);
        return KxZipExplode(archive.c_str(), pattern, cb);
    }
    std::vector<std::string> entries(const std::string &dir) const
    {
        std::vector<std::string> out;
        for (const auto &e : fs::recursive_directory_iterator(dir)) out.push_back(fs::relative(e.path(), dir).string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

// Writes Huffman codes and plain bits LSB-first, as deflate packs them.
struct BitWriter {
    kxtest::Bytes out;
    unsigned fill = 0;
    void bit(unsigned b)
    {
        if (fill == 0) out.push_back(0);
        out.back() |= static_cast<std::uint8_t>((b & 1) << fill);
        fill = (fill + 1) & 7;
    }
    void bits(unsigned v, unsigned n)
    {
        for (unsigned i = 0; i < n; ++i) bit(v >> i);
    }
    void code(unsigned c, unsigned n)
    {
        for (unsigned i = n; i-- > 0;) bit(c >> i);
    }
};

// A fixed-code deflate stream: 'a', then `repeats` matches of 258 bytes at distance 1.
kxtest::Bytes deflate_run(unsigned repeats)
{
    BitWriter w;
    w.bits(1, 1);  // final block
    w.bits(1, 2);  // fixed codes
    w.code(0x30 + 'a', 8);
    for (unsigned i = 0; i < repeats; ++i) {
        w.code(0xC0 + (285 - 280), 8);  // length 258
        w.code(0, 5);                   // distance 1
    }
    w.code(0, 7);  // end of block
    return w.out;
}

} // namespace

TEST(ZipExplode, ArgumentsAreCheckedInOrder)
{
    const std::string p260(260, 'x'), p261(261, 'x');
    EXPECT_EQ(KxZipExplode(nullptr, nullptr, nullptr), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxZipExplode(p261.c_str(), nullptr, nullptr), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxZipExplode(p260.c_str(), nullptr, nullptr), KX_ERR_NOT_FOUND);
    EXPECT_EQ(KxZipExplode("no-such-archive", p261.c_str(), nullptr), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxZipExplode("no-such-archive", "", nullptr), KX_ERR_NOT_FOUND);
    EXPECT_EQ(KxZipImplode(nullptr, nullptr, nullptr), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxZipImplode("a.zip", p261.c_str(), nullptr), KX_ERR_INVALID_ARG);
    kxtest::TempDir dir;
    InDir in(dir.path());
    EXPECT_EQ(KxZipImplode("new.zip", "*", nullptr), KX_ERR_NOT_SUPPORTED);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(ZipExplode, NameWithoutExtensionFindsTheZipFileAndPatternSelects)
{
    Sandbox s;
    kxtest::write_bytes(s.root.file("pack.zip"),
                        build_archive({stored("docs/readme.txt", "read me"), stored("xt", "x"), stored("a.TXT", "A")}));
    InDir in(s.work);
    g_reported.clear();
    EXPECT_EQ(KxZipExplode(s.root.file("pack").c_str(), "*.TXT", record_member), 0);
    EXPECT_EQ(s.entries(s.work), (std::vector<std::string>{"a.TXT", "docs", "docs/readme.txt"}));
    EXPECT_EQ(kxtest::read_text("docs/readme.txt"), "read me");
    ASSERT_EQ(g_reported.size(), 2u);
    EXPECT_EQ(g_reported[0].path, "docs/readme.txt");
    EXPECT_EQ(g_reported[0].size, 7u);
    EXPECT_EQ(g_reported[0].percent, 78);  // 7 of the 9 bytes of all entries read
    EXPECT_EQ(KxZipExplode(s.root.file("pack").c_str(), "*T", nullptr), 0);  // selects nothing new
    EXPECT_FALSE(fs::exists(s.work + "/xt"));
}

TEST(ZipExplode, NamesThatLeaveTheTargetAreRefusedOthersGoOn)
{
    Sandbox s;
    const int rc = s.run({stored("../escape1.txt", "1"), stored("/tmp/../" + s.outside.substr(1) + "/escape2.txt", "2"),
                          stored("sub/../../escape3.txt", "3"), stored("..\\escape4.txt", "4"),
                          stored("\\\\escape5.txt", "5"), stored("ok/fine.txt", "fine")});
    EXPECT_EQ(rc, KX_ERR_INVALID_FILE);
    EXPECT_EQ(s.entries(s.root.path()),
              (std::vector<std::string>{"outside", "test.zip", "work", "work/ok", "work/ok/fine.txt"}));
}

TEST(ZipExplode, SymbolicLinksAreNeverFollowed)
{
    Sandbox s;
    // A link as a directory part: the member is refused.
    fs::create_directory_symlink(s.outside, s.work + "/linkdir");
    // A link at a member's own path: replaced by the member, target untouched.
    kxtest::write_text(s.outside + "/target.txt", "keep");
    fs::create_symlink(s.outside + "/target.txt", s.work + "/file.txt");
    const int rc = s.run({stored("linkdir/planted.txt", "bad"), stored("file.txt", "new")});
    EXPECT_EQ(rc, KX_ERR_INVALID_FILE);
    EXPECT_EQ(s.entries(s.outside), std::vector<std::string>{"target.txt"});
    EXPECT_EQ(kxtest::read_text(s.outside + "/target.txt"), "keep");
    EXPECT_FALSE(fs::is_symlink(s.work + "/file.txt"));
    EXPECT_EQ(kxtest::read_text(s.work + "/file.txt"), "new");
}

TEST(ZipExplode, DirectoryEntriesAndNameMapping)
{
    {
        Sandbox s;
        g_reported.clear();
        EXPECT_EQ(s.run({stored("A/", "")}, nullptr, record_member), 0);
        EXPECT_TRUE(fs::is_directory(s.work + "/A"));
        EXPECT_TRUE(g_reported.empty());
    }
    {
        Sandbox s;  // a trailing backslash makes the directory but names no file
        EXPECT_EQ(s.run({stored("B\\", "")}), KX_ERR_INVALID_FILE);
        EXPECT_TRUE(fs::is_directory(s.work + "/B"));
    }
    {
        Sandbox s;
        EXPECT_EQ(s.run({stored("a:b", "colon"), stored("v;1", "ver")}), 0);
        EXPECT_EQ(kxtest::read_text(s.work + "/a_b"), "colon");
        EXPECT_EQ(kxtest::read_text(s.work + "/v"), "ver");
    }
}

TEST(ZipExplode, SkippedMembersLeaveTheResultAtZero)
{
    Sandbox s;
    Member vms = stored("vms.txt", "from vms");
    vms.version_needed = 0x0214;  // host 2, version 2.0
    Member later = stored("later.txt", "v4.5");
    later.version_needed = 45;
    Member tokenized = stored("tok.bin", "t");
    tokenized.method = 7;
    Member enc = stored("enc.txt", "secret");
    enc.flags = 1;
    EXPECT_EQ(s.run({vms, later, tokenized, enc, stored("plain.txt", "plain")}), 0);
    EXPECT_EQ(s.entries(s.work), std::vector<std::string>{"plain.txt"});
}

TEST(ZipExplode, MemberThatCannotBeCreated)
{
    const std::vector<Member> members = {stored("busy", "x"), stored("after.txt", "after")};
    {
        Sandbox s;
        fs::create_directories(s.work + "/busy/inner");  // a directory where the file goes
        EXPECT_EQ(s.run(members), KX_ERR_SHARING);
        EXPECT_EQ(kxtest::read_text(s.work + "/after.txt"), "after");  // the run went on
    }
    {
        Sandbox s;
        fs::create_directories(s.work + "/busy/inner");
        g_reported.clear();
        EXPECT_EQ(s.run(members, nullptr, record_member), KX_ERR_SHARING);
        EXPECT_FALSE(fs::exists(s.work + "/after.txt"));  // stopped at once
        EXPECT_TRUE(g_reported.empty());
    }
}

TEST(ZipExplode, OutputBeyondTheDeclaredSizeIsAnError)
{
    Sandbox s;
    Member bomb;
    bomb.name = "bomb.bin";
    bomb.method = 8;
    bomb.data = deflate_run(4000);  // 1,032,001 bytes
    bomb.usize = 1000;
    bomb.crc = 1;
    Member longer = stored("longer.txt", "0123456789");
    longer.usize = 4;
    Member ok;
    ok.name = "ok.bin";
    ok.method = 8;
    ok.data = deflate_run(3);
    ok.usize = 1 + 3 * 258;
    ok.crc = crc32_of(kxtest::Bytes(ok.usize, 'a'));
    EXPECT_EQ(s.run({bomb, longer, ok}), KX_ERR_INVALID_FILE);
    EXPECT_EQ(fs::file_size(s.work + "/bomb.bin"), 1000u);
    EXPECT_EQ(kxtest::read_text(s.work + "/longer.txt"), "0123");
    EXPECT_EQ(kxtest::read_bytes(s.work + "/ok.bin"), kxtest::Bytes(ok.usize, 'a'));
}

TEST(ZipExplode, DamagedDirectoryAndEndRecord)
{
    const std::vector<Member> two = {stored("one.txt", "1"), stored("two.txt", "2")};
    struct Case {
        const char *what;
        ArchiveOptions opt;
        int result;
        std::vector<std::string> files;
    } const cases[] = {
        {"entry count one short: a warning", {{}, 0, -1}, 0, {"one.txt"}},
        {"entry count one too many: no signature", {{}, 0, 1}, KX_ERR_INVALID_FILE, {"one.txt", "two.txt"}},
        {"largest comment", {{}, 65535, 0}, 0, {"one.txt", "two.txt"}},
        {"bytes in front, offsets not adjusted", {kxtest::Bytes(3000, 'M'), 0, 0}, 0, {"one.txt", "two.txt"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Sandbox s;
        EXPECT_EQ(s.run(two, nullptr, nullptr, c.opt), c.result);
        EXPECT_EQ(s.entries(s.work), c.files);
    }
    {
        SCOPED_TRACE("end record one byte beyond the search reach");
        Sandbox s;
        kxtest::Bytes z = build_archive(two, {{}, 65535, 0});
        z.push_back('!');
        kxtest::write_bytes(s.archive, z);
        InDir in(s.work);
        EXPECT_EQ(KxZipExplode(s.archive.c_str(), nullptr, nullptr), KX_ERR_INVALID_FILE);
    }
    {
        SCOPED_TRACE("a directory entry whose name runs past the end of the archive");
        Sandbox s;
        kxtest::Bytes z = build_archive(two);
        const std::size_t cd = z.size() - 22 - 2 * (46 + 7);
        z[cd + 28] = 0xFF;
        z[cd + 29] = 0xFF;
        kxtest::write_bytes(s.archive, z);
        InDir in(s.work);
        EXPECT_EQ(KxZipExplode(s.archive.c_str(), nullptr, nullptr), KX_ERR_EOF);
        EXPECT_TRUE(s.entries(s.work).empty());
    }
    {
        SCOPED_TRACE("garbage in place of deflate data");
        Sandbox s;
        Member junk;
        junk.name = "junk";
        junk.method = 8;
        for (int i = 0; i < 500; ++i) junk.data.push_back(static_cast<std::uint8_t>(i * 7919 >> 3));
        junk.usize = 100000;
        EXPECT_EQ(s.run({junk, stored("next.txt", "n")}), KX_ERR_INVALID_FILE);
        EXPECT_EQ(kxtest::read_text(s.work + "/next.txt"), "n");
    }
}

TEST(ZipExplode, ModificationTimeComesFromTheDosWords)
{
    Sandbox s;
    Member m = stored("t.txt", "time");
    m.dos_date = static_cast<std::uint16_t>((2010 - 1980) << 9 | 7 << 5 | 4);
    m.dos_time = static_cast<std::uint16_t>(23 << 11 | 59 << 5 | 29);
    EXPECT_EQ(s.run({m}), 0);
    EXPECT_EQ(mtime_of(s.work + "/t.txt"), utc_seconds(2010, 7, 4, 23, 59, 58));
}

TEST(ZipExplode, ShortWriteStopsTheRun)
{
    // A file size limit in a child process makes the first member's write come up short.
    Sandbox s;
    kxtest::write_bytes(s.archive, build_archive({stored("big.bin", std::string(5000, 'b')), stored("next.txt", "n")}));
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit lim = {1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        if (::chdir(s.work.c_str()) != 0) ::_exit(100);
        ::_exit(KxZipExplode(s.archive.c_str(), nullptr, nullptr));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), KX_ERR_DISK_FULL);
    EXPECT_FALSE(fs::exists(s.work + "/next.txt"));
}

TEST(ZipExplode, FuzzerFindsStayFixed)
{
    // Inputs the fuzz target once tripped on, run with and without a callback.
    for (const auto &e : fs::directory_iterator(kxtest::data_path("zip/fuzz"))) {
        SCOPED_TRACE(e.path().filename().string());
        for (const bool with_callback : {false, true}) {
            Sandbox s;
            g_reported.clear();
            InDir in(s.work);
            KxZipExplode(e.path().c_str(), nullptr, with_callback ? record_member : nullptr);
            for (const auto &r : g_reported) EXPECT_LE(r.percent, 100);
            EXPECT_EQ(s.entries(s.outside), std::vector<std::string>{});
        }
    }
}
