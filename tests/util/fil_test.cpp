// The exported file and path utilities.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "common/test_support.h"
#include "kxapi.h"

namespace {

namespace fs = std::filesystem;
using kxtest::Bytes;

std::string long_path(std::size_t n) { return "/" + std::string(n - 1, 'a'); }

TEST(FilExists, FilesDirectoriesAndBadPaths)
{
    kxtest::TempDir dir;
    kxtest::write_text(dir.file("Opts.ini"), "x");
    EXPECT_EQ(KxFilExists(dir.file("Opts.ini").c_str()), 1);
    EXPECT_EQ(KxFilExists(dir.file("OPTS.INI").c_str()), 1);  // letter case ignored when reading
    EXPECT_EQ(KxFilExists(dir.path().c_str()), 1);
    EXPECT_EQ(KxFilExists(dir.file("missing").c_str()), 0);
    EXPECT_EQ(KxFilExists(nullptr), 0);
    EXPECT_EQ(KxFilExists(""), 0);
    EXPECT_EQ(KxFilExists(long_path(261).c_str()), 0);
}

TEST(FilQuerySize, ExactNameAndWildcard)
{
    kxtest::TempDir dir;
    kxtest::write_text(dir.file("a.txt"), "12345");
    kxtest::write_text(dir.file("b.dat"), "123");
    EXPECT_EQ(KxFilQuerySize(dir.file("a.txt").c_str()), 5u);
    EXPECT_EQ(KxFilQuerySize(dir.file("*.DAT").c_str()), 3u);
    EXPECT_EQ(KxFilQuerySize(dir.file("?.txt").c_str()), 5u);
    EXPECT_EQ(KxFilQuerySize(dir.file("*.none").c_str()), 0u);
    EXPECT_EQ(KxFilQuerySize(dir.path().c_str()), 0u);  // a directory has no size
    EXPECT_EQ(KxFilQuerySize(nullptr), 0u);
    EXPECT_EQ(KxFilQuerySize(""), 0u);
}

TEST(FilCopy, CopiesReplacesAndMapsErrors)
{
    kxtest::TempDir dir;
    std::string src = dir.file("src.bin"), dst = dir.file("dst.bin");
    Bytes data(300000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
    kxtest::write_bytes(src, data);
    kxtest::write_text(dst, "old and longer than nothing");
    // A target name near the longest a file system takes (a relative path,
    // so that it fits the path limit) still gets its copy.
    {
        std::string cwd = fs::current_path();
        ASSERT_EQ(::chdir(dir.path().c_str()), 0);
        std::string long_target(250, 't');
        int rc = KxFilCopy("src.bin", long_target.c_str());
        Bytes copied = kxtest::read_bytes(long_target);
        fs::remove(long_target);
        ASSERT_EQ(::chdir(cwd.c_str()), 0);
        EXPECT_EQ(rc, 0);
        EXPECT_EQ(copied, data);
    }
    ASSERT_EQ(KxFilCopy(src.c_str(), dst.c_str()), 0);
    EXPECT_EQ(kxtest::read_bytes(dst), data);
    // No temporary sibling is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    EXPECT_EQ(KxFilCopy(nullptr, dst.c_str()), 1);
    EXPECT_EQ(KxFilCopy(src.c_str(), nullptr), 1);
    EXPECT_EQ(KxFilCopy(src.c_str(), long_path(261).c_str()), 1);
    EXPECT_EQ(KxFilCopy(dir.file("missing").c_str(), dst.c_str()), 2);
    EXPECT_EQ(KxFilCopy(src.c_str(), dir.file("nodir/x").c_str()), 2);
    EXPECT_EQ(KxFilCopy(dir.path().c_str(), dst.c_str()), 27);  // a directory as source
    fs::create_directory(dir.file("sub"));
    EXPECT_EQ(KxFilCopy(src.c_str(), dir.file("sub").c_str()), 27);  // a directory as target
    EXPECT_EQ(kxtest::read_bytes(dst), data);
}

TEST(FilCopy, OntoItselfKeepsTheFile)
{
    kxtest::TempDir dir;
    std::string f = dir.file("same.txt");
    kxtest::write_text(f, "keep me");
    EXPECT_EQ(KxFilCopy(f.c_str(), f.c_str()), 0);
    EXPECT_EQ(kxtest::read_text(f), "keep me");
    // Through another spelling of the same file as well.
    std::string other = dir.path() + "/./SAME.TXT";
    EXPECT_EQ(KxFilCopy(other.c_str(), f.c_str()), 0);
    EXPECT_EQ(kxtest::read_text(f), "keep me");
}

TEST(FilCopy, ReadOnlyTargetIsAccessDenied)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
    kxtest::TempDir dir;
    std::string src = dir.file("s"), dst = dir.file("d");
    kxtest::write_text(src, "new");
    kxtest::write_text(dst, "old");
    ::chmod(dst.c_str(), 0444);
    EXPECT_EQ(KxFilCopy(src.c_str(), dst.c_str()), 5);
    EXPECT_EQ(kxtest::read_text(dst), "old");
}

TEST(FilBackup, TakesFirstFreeNumber)
{
    kxtest::TempDir dir;
    std::string file = dir.file("opts.ini");
    kxtest::write_text(file, "[a]\n");
    kxtest::write_text(dir.file("opts.001"), "one");
    kxtest::write_text(dir.file("OPTS.002"), "two");  // taken whatever its letter case
    char name[KX_MAX_PATH + 1] = "untouched";
    ASSERT_EQ(KxFilBackup(file.c_str(), name), 0);
    EXPECT_EQ(std::string(name), dir.file("opts.003"));
    EXPECT_EQ(kxtest::read_text(dir.file("opts.003")), "[a]\n");
    EXPECT_EQ(kxtest::read_text(dir.file("opts.001")), "one");

    std::strcpy(name, "untouched");
    EXPECT_EQ(KxFilBackup(dir.file("missing.ini").c_str(), name), 27);
    EXPECT_STREQ(name, "untouched");
    EXPECT_EQ(KxFilBackup(nullptr, name), 1);
    EXPECT_EQ(KxFilBackup(file.c_str(), nullptr), 1);
}

TEST(FilBackup, AllNumbersTakenAndNameTooLong)
{
    kxtest::TempDir dir;
    std::string file = dir.file("x");
    kxtest::write_text(file, "x");
    for (int n = 1; n <= 998; ++n) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, ".%03d", n);
        kxtest::write_text(file + suffix, "");
    }
    char name[KX_MAX_PATH + 1] = "";
    EXPECT_EQ(KxFilBackup(file.c_str(), name), 37);
    EXPECT_EQ(std::string(name), file + ".998");
    EXPECT_FALSE(kxtest::file_exists(file + ".999"));

    // A 260-character name without extension would need 264: refused, not cut.
    std::string deep = dir.path() + "/";
    deep += std::string(KX_MAX_PATH - deep.size(), 'n');
    ASSERT_EQ(deep.size(), std::size_t(KX_MAX_PATH));
    if (deep.size() - dir.path().size() - 1 < 250) {  // the name itself must be creatable
        kxtest::write_text(deep, "x");
        std::strcpy(name, "untouched");
        EXPECT_EQ(KxFilBackup(deep.c_str(), name), 1);
        EXPECT_STREQ(name, "untouched");
    }
}

struct ModifyState {
    int calls = 0;
};

void upper_and_drop_comments(char *line, void *ctx)
{
    static_cast<ModifyState *>(ctx)->calls++;
    if (line[0] == '#') {
        line[0] = '\0';
        return;
    }
    for (char *p = line; *p; ++p)
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 32);
}

void empty_all(char *line, void *) { line[0] = '\0'; }

TEST(FilModify, RewritesThroughCallback)
{
    kxtest::TempDir dir, tmp;
    ::setenv("TMPDIR", tmp.path().c_str(), 1);
    std::string file = dir.file("a.txt");
    std::string longline(3000, 'x');
    kxtest::write_text(file, "one\n# comment\ntwo\n" + longline + "\nlast");
    ::chmod(file.c_str(), 0640);
    ModifyState st;
    ASSERT_EQ(KxFilModify(file.c_str(), &st, upper_and_drop_comments), 0);
    EXPECT_EQ(kxtest::read_text(file), "ONE\nTWO\n" + std::string(3000, 'X') + "\nLAST");
    EXPECT_EQ(st.calls, 6);  // the 3000-character line arrives in two pieces
    struct stat sb;
    ASSERT_EQ(::stat(file.c_str(), &sb), 0);
    EXPECT_EQ(sb.st_mode & 0777, 0640u);  // the original's permissions stay
    EXPECT_TRUE(fs::is_empty(tmp.path()));  // the temporary file is gone

    ASSERT_EQ(KxFilModify(file.c_str(), nullptr, empty_all), 0);
    EXPECT_EQ(kxtest::read_text(file), "");
    ::unsetenv("TMPDIR");
}

TEST(FilModify, FailuresLeaveOriginal)
{
    kxtest::TempDir dir;
    std::string file = dir.file("a.txt");
    kxtest::write_text(file, "keep\n");
    EXPECT_EQ(KxFilModify(nullptr, nullptr, empty_all), 1);
    EXPECT_EQ(KxFilModify(file.c_str(), nullptr, nullptr), 1);
    EXPECT_EQ(KxFilModify(dir.file("missing").c_str(), nullptr, empty_all), 3);
    // No temporary file can be made.
    ::setenv("TMPDIR", dir.file("no-such-dir").c_str(), 1);
    EXPECT_EQ(KxFilModify(file.c_str(), nullptr, empty_all), 26);
    ::unsetenv("TMPDIR");
    // A directory cannot be read as text: a read error, not an empty file.
    fs::create_directory(dir.file("d"));
    EXPECT_EQ(KxFilModify(dir.file("d").c_str(), nullptr, empty_all), 6);
    EXPECT_TRUE(fs::is_directory(dir.file("d")));
    EXPECT_EQ(kxtest::read_text(file), "keep\n");
}

TEST(FilMakePath, CreatesMissingDirectories)
{
    kxtest::TempDir dir;
    fs::create_directory(dir.file("a"));
    std::string path = dir.file("a") + "\\b//c";
    char created[KX_MAX_PATH + 1] = "junk";
    ASSERT_EQ(KxFilMakePath(path.c_str(), created), 0);
    EXPECT_STREQ(created, "/b/c");
    EXPECT_TRUE(fs::is_directory(dir.file("a/b/c")));
    // Everything there already: nothing created.
    ASSERT_EQ(KxFilMakePath(path.c_str(), created), 0);
    EXPECT_STREQ(created, "");
    EXPECT_EQ(KxFilMakePath(dir.file("a/x/y").c_str(), nullptr), 0);
    EXPECT_TRUE(fs::is_directory(dir.file("a/x/y")));
}

TEST(FilMakePath, RefusedPaths)
{
    kxtest::TempDir dir;
    kxtest::write_text(dir.file("f"), "");
    char created[KX_MAX_PATH + 1] = "junk";
    struct Case {
        std::string path;
    } cases[] = {{""}, {"rel/a"}, {"C:\\a"}, {dir.file("n/")}, {dir.file("f")}, {dir.file("f/sub")},
                 {long_path(261)}};
    for (const auto &c : cases) {
        std::strcpy(created, "junk");
        EXPECT_EQ(KxFilMakePath(c.path.c_str(), created), 26) << c.path;
        EXPECT_STREQ(created, "") << c.path;
    }
    EXPECT_EQ(KxFilMakePath(nullptr, nullptr), 26);
    EXPECT_FALSE(fs::exists("rel"));
    EXPECT_FALSE(fs::exists(dir.file("n")));
    EXPECT_TRUE(fs::is_regular_file(dir.file("f")));
}

TEST(FilChecksum, PathHandleAndErrors)
{
    kxtest::TempDir dir;
    std::string file = dir.file("q.bin");
    kxtest::write_bytes(file, {0x01, 0x00, 0x02, 0x00});
    std::uint16_t sum = 0;
    EXPECT_EQ(KxFilChecksum(file.c_str(), 0, 0, &sum), 0);
    EXPECT_EQ(sum, 0xFFFD);
    EXPECT_EQ(KxFilChecksum(file.c_str(), 0, 2, &sum), 0);
    EXPECT_EQ(sum, 0xFFFF);
    // An empty path takes the open descriptor, which stays open.
    FILE *fp = std::fopen(file.c_str(), "rb");
    ASSERT_TRUE(fp);
    sum = 0;
    EXPECT_EQ(KxFilChecksum("", fileno(fp), 0, &sum), 0);
    EXPECT_EQ(sum, 0xFFFD);
    EXPECT_EQ(KxFilChecksum(nullptr, fileno(fp), 1, &sum), 0);
    EXPECT_EQ(sum, 0xFFFE);
    EXPECT_EQ(std::fclose(fp), 0);

    EXPECT_EQ(KxFilChecksum(nullptr, 0, 0, &sum), 1);
    EXPECT_EQ(KxFilChecksum(file.c_str(), 0, 0, nullptr), 1);
    EXPECT_EQ(KxFilChecksum(dir.file("missing").c_str(), 0, 0, &sum), 3);
    EXPECT_EQ(KxFilChecksum(dir.path().c_str(), 0, 0, &sum), 6);
}

TEST(StrCpy, FileAndDirectoryParts)
{
    char out[KX_MAX_PATH + 1];
    struct Case {
        const char *path, *file, *dir;
    } cases[] = {
        {"c:\\dir\\abc.txt", "ABC.TXT", "C:\\DIR\\"},
        {"/usr/share/x.y", "X.Y", "/USR/SHARE/"},
        {"c:abc", "ABC", "C:"},
        {"name", "NAME", ""},
        {"dir/", "", "DIR/"},
        {"a\xE4z/b\xE4", "B\xE4", "A\xE4Z/"},  // bytes above 0x7F unchanged
        {nullptr, "", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(KxStrCpyFile(out, c.path), out);
        EXPECT_STREQ(out, c.file);
        EXPECT_EQ(KxStrCpyPath(out, c.path), out);
        EXPECT_STREQ(out, c.dir);
    }
    EXPECT_STREQ(KxStrCpyFile(nullptr, "a"), "");
    EXPECT_STREQ(KxStrCpyPath(nullptr, "a"), "");
    // An over-long path is cut to the longest path, never past the buffer.
    std::string big(1000, 'q');
    KxStrCpyFile(out, big.c_str());
    EXPECT_EQ(std::strlen(out), std::size_t(KX_MAX_PATH));
}

} // namespace
