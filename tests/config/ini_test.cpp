// The INI engine through its exports: load rules, look-ups, changes and the
// file as written back.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <string>

#include "common/test_support.h"
#include "kxapi.h"

namespace {

struct Ini {
    KxIniHandle *h = nullptr;
    explicit Ini(KxIniHandle *handle) : h(handle) {}
    ~Ini()
    {
        if (h) KxIniClose(h);
    }
    int close()
    {
        int r = KxIniClose(h);
        h = nullptr;
        return r;
    }
};

// Reads a value with KxIniRead2 into a std::string; the result code in rc.
std::string read2(KxIniHandle *h, const char *sec, const char *key, const char *def, int &rc,
                  uint32_t size = 256)
{
    std::string buf(size, '\x7f');
    uint32_t len = 12345;
    rc = KxIniRead2(h, sec, key, def, buf.data(), size, &len);
    if (rc != 0 && rc != KX_INI_DEFAULT_USED && rc != KX_ERR_BUFFER_SMALL) return "<none>";
    return buf.substr(0, len);
}

// Applies a change to a file opened in mode 7 and returns the file written back.
template <class F>
std::string after_change(const std::string &text, F change, int mode = KX_INI_READWRITE)
{
    kxtest::TempDir dir;
    std::string path = dir.file("t.ini");
    kxtest::write_text(path, text);
    KxIniHandle *h = KxIniOpen2(path.c_str(), mode);
    EXPECT_NE(h, nullptr);
    if (!h) return "<open failed>";
    change(h);
    EXPECT_EQ(KxIniClose(h), 1);
    return kxtest::read_text(path);
}

TEST(IniLoad, LinesAreShapedAndCommentsDroppedOnlyInReadMode)
{
    const std::string text =
        "; leading comment\r\n"
        "[Main]   \r\n"
        "Name   = Value  \r\n"
        "\r\n"
        ";key=kept as an entry\n"
        "plain line\n"
        "   \n"
        "  indented=  x\n";
    auto touch = [](KxIniHandle *h) { KxIniDelete(h, "NoSuchSection", nullptr, nullptr); };
    EXPECT_EQ(after_change(text, touch, KX_INI_READ),
              "[Main]\nName= Value\n;key=kept as an entry\nplain line\n  indented=  x\n");
    EXPECT_EQ(after_change(text, touch, KX_INI_READWRITE),
              "; leading comment\n[Main]\nName= Value\n\n;key=kept as an entry\nplain line\n\n  indented=  x\n");
}

TEST(IniLoad, BlanksBeforeEqualsGoAndKeysIgnoreCase)
{
    kxtest::TempDir dir;
    std::string path = dir.file("a.ini");
    kxtest::write_text(path, "[S]\nName   = Value\n");
    Ini ini(KxIniOpen(path.c_str()));
    ASSERT_NE(ini.h, nullptr);
    int rc;
    EXPECT_EQ(read2(ini.h, "s", "name", nullptr, rc), " Value");
    EXPECT_EQ(rc, 0);
}

TEST(IniLoad, LongLinesArriveInPiecesOf1019)
{
    // A line of exactly 1019 characters leaves its line feed for a second,
    // empty read; a 2500-character line gives pieces of 1019, 1019 and 462.
    std::string a(1019, 'a'), b(2500, 'b');
    std::string out = after_change("[S]\n" + a + "\n" + b + "\n", [](KxIniHandle *h) {
        KxIniDelete(h, "none", nullptr, nullptr);
    });
    EXPECT_EQ(out, "[S]\n" + a + "\n\n" + std::string(1019, 'b') + "\n" + std::string(1019, 'b') + "\n" +
                       std::string(462, 'b') + "\n");
}

TEST(IniOpen, EmptyFilesBadModesAndPaths)
{
    kxtest::TempDir dir;
    std::string empty = dir.file("empty.ini");
    kxtest::write_text(empty, "; only a comment\n\n");
    EXPECT_EQ(KxIniOpen(empty.c_str()), nullptr);
    KxIniHandle *h = KxIniOpen2(empty.c_str(), KX_INI_READ);
    ASSERT_NE(h, nullptr);
    int rc;
    read2(h, "S", "k", nullptr, rc);
    EXPECT_EQ(rc, KX_ERR_INI_NO_SECTION);
    EXPECT_EQ(KxIniClose(h), 1);

    for (int mode : {0, 2, 4, 6, 10, -1}) EXPECT_EQ(KxIniOpen2(empty.c_str(), mode), nullptr) << mode;
    EXPECT_EQ(KxIniOpen2(nullptr, KX_INI_READ), nullptr);
    EXPECT_EQ(KxIniOpen2("", KX_INI_READ), nullptr);
    EXPECT_EQ(KxIniOpen2(dir.file("missing.ini").c_str(), KX_INI_READ), nullptr);
    EXPECT_EQ(KxIniOpen2(dir.file("missing.ini").c_str(), KX_INI_READWRITE), nullptr);
    std::string longpath = dir.path() + "/" + std::string(300, 'x');
    EXPECT_EQ(KxIniOpen2(longpath.c_str(), KX_INI_APPEND), nullptr);

    // Modes 8 and 9 create the file; 8 empties an existing one at open.
    std::string made = dir.file("made.ini");
    h = KxIniOpen2(made.c_str(), KX_INI_APPEND);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(KxIniClose(h), 1);
    EXPECT_TRUE(kxtest::file_exists(made));
    kxtest::write_text(made, "[S]\nk=v\n");
    h = KxIniOpen2(made.c_str(), KX_INI_CREATE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(kxtest::read_text(made), "");
    EXPECT_EQ(KxIniClose(h), 1);
}

TEST(IniOpen, NameCaseFallsBackOnReadAndWritesTheSameFile)
{
    kxtest::TempDir dir;
    kxtest::write_text(dir.file("conf.ini"), "[S]\nk=1\n");
    std::string spelled = dir.file("CONF.INI");
    KxIniHandle *h = KxIniOpen2(spelled.c_str(), KX_INI_READWRITE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(KxIniWrite(h, "S", "k", "2"), 1);
    EXPECT_EQ(KxIniClose(h), 1);
    EXPECT_EQ(kxtest::read_text(dir.file("conf.ini")), "[S]\nk=2\n");
    EXPECT_FALSE(kxtest::file_exists(spelled));
}

TEST(IniRead2, ResultsAndBufferLimits)
{
    kxtest::TempDir dir;
    std::string path = dir.file("r.ini");
    kxtest::write_text(path, "[A]\nfive=12345\nempty=\n[B]\nx=1\n");
    Ini ini(KxIniOpen(path.c_str()));
    ASSERT_NE(ini.h, nullptr);
    struct Case {
        const char *sec, *key, *def;
        uint32_t size;
        int rc;
        std::string out;
    } cases[] = {
        {"A", "five", nullptr, 6, 0, "12345"},
        {"a", "FIVE", nullptr, 5, KX_ERR_BUFFER_SMALL, "12345"},  // five characters, no terminator
        {"A", "empty", nullptr, 1, 0, ""},
        {"A", "missing", "d", 256, KX_INI_DEFAULT_USED, "d"},
        {"A", "missing", nullptr, 256, KX_ERR_INI_NO_KEY, "<none>"},
        {"Z", "five", "dflt", 256, KX_INI_DEFAULT_USED, "dflt"},
        {"Z", "five", nullptr, 256, KX_ERR_INI_NO_SECTION, "<none>"},
        {"Z", "five", "dflt", 4, KX_ERR_BUFFER_SMALL, "dflt"},
        {"A", "x", nullptr, 256, KX_ERR_INI_NO_KEY, "<none>"},  // the next section's key is not A's
    };
    for (const auto &c : cases) {
        int rc;
        std::string out = read2(ini.h, c.sec, c.key, c.def, rc, c.size);
        EXPECT_EQ(rc, c.rc) << c.sec << "/" << c.key << " size " << c.size;
        EXPECT_EQ(out, c.out) << c.sec << "/" << c.key << " size " << c.size;
    }
    // The 42 case writes no terminator past the buffer.
    char buf[6] = {'#', '#', '#', '#', '#', '#'};
    uint32_t len = 0;
    EXPECT_EQ(KxIniRead2(ini.h, "A", "five", nullptr, buf, 5, &len), KX_ERR_BUFFER_SMALL);
    EXPECT_EQ(len, 5u);
    EXPECT_EQ(buf[5], '#');

    EXPECT_EQ(KxIniRead2(ini.h, nullptr, "k", "", buf, 6, &len), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxIniRead2(ini.h, "A", nullptr, "", buf, 6, &len), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxIniRead2(ini.h, "A", "five", "", nullptr, 6, &len), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxIniRead2(ini.h, "A", "five", "", buf, 0, &len), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxIniRead2(nullptr, "A", "five", "", buf, 6, &len), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxIniRead2(ini.h, "A", "five", "", buf, 6, nullptr), KX_ERR_INVALID_ARG);
}

TEST(IniRead2, EmptyLineDoesNotEndASectionForReading)
{
    kxtest::TempDir dir;
    std::string path = dir.file("r.ini");
    kxtest::write_text(path, "[S]\na=1\n\nb=2\n");
    Ini ini(KxIniOpen2(path.c_str(), KX_INI_READWRITE));
    int rc;
    EXPECT_EQ(read2(ini.h, "S", "b", nullptr, rc), "2");
    EXPECT_EQ(rc, 0);
}

TEST(IniRead2, OverlongSectionNamesNeverMatch)
{
    kxtest::TempDir dir;
    std::string path = dir.file("r.ini");
    std::string n1019(1019, 's'), n1020(1020, 's');
    kxtest::write_text(path, "[" + n1019 + "]\nk=a\n");
    // 1021 characters exceed the read buffer: the header arrives in two pieces.
    Ini ini(KxIniOpen(path.c_str()));
    ASSERT_NE(ini.h, nullptr);
    int rc;
    read2(ini.h, n1019.c_str(), "k", nullptr, rc);
    EXPECT_EQ(rc, KX_ERR_INI_NO_SECTION);
    // Written by the engine, a 1019-character name is found, a 1020 one never.
    EXPECT_EQ(KxIniWrite(ini.h, n1019.c_str(), "k", "b"), 1);
    EXPECT_EQ(read2(ini.h, n1019.c_str(), "k", nullptr, rc), "b");
    EXPECT_EQ(KxIniWrite(ini.h, n1020.c_str(), "k", "c"), 1);
    read2(ini.h, n1020.c_str(), "k", nullptr, rc);
    EXPECT_EQ(rc, KX_ERR_INI_NO_SECTION);
}

TEST(IniRead, ContinuedSearch)
{
    kxtest::TempDir dir;
    std::string path = dir.file("r.ini");
    kxtest::write_text(path, "[S]\nfirst line\nk=1\nk=2\n[T]\nk=3\n");
    Ini ini(KxIniOpen(path.c_str()));
    ASSERT_NE(ini.h, nullptr);
    EXPECT_STREQ(KxIniRead(ini.h, "s", nullptr), "first line");
    EXPECT_STREQ(KxIniRead(ini.h, nullptr, nullptr), "k=1");
    EXPECT_STREQ(KxIniRead(ini.h, nullptr, nullptr), "k=2");
    EXPECT_STREQ(KxIniRead(ini.h, nullptr, nullptr), "");  // the next header ends the search
    EXPECT_STREQ(KxIniRead(ini.h, nullptr, nullptr), "");

    EXPECT_STREQ(KxIniRead(ini.h, "S", "K"), "1");
    EXPECT_STREQ(KxIniRead(ini.h, nullptr, "k"), "2");
    // A missing section leaves the cursor where it was.
    EXPECT_STREQ(KxIniRead(ini.h, "Missing", "k"), "");
    EXPECT_STREQ(KxIniRead(ini.h, nullptr, "k"), "");  // T's key is past the header
    EXPECT_STREQ(KxIniRead(ini.h, "T", "k"), "3");
    EXPECT_STREQ(KxIniRead(nullptr, "T", "k"), "");
}

TEST(IniRead, CursorSurvivesDeletingTheLineItPointsAt)
{
    kxtest::TempDir dir;
    std::string path = dir.file("r.ini");
    kxtest::write_text(path, "[S]\na=1\nb=2\nc=3\n");
    Ini ini(KxIniOpen(path.c_str()));
    EXPECT_STREQ(KxIniRead(ini.h, "S", "a"), "1");  // cursor now at b
    EXPECT_EQ(KxIniDelete(ini.h, "S", "b", nullptr), 1);
    EXPECT_STREQ(KxIniRead(ini.h, nullptr, nullptr), "c=3");
}

TEST(IniWrite, ReplaceInsertAndNewSections)
{
    struct Case {
        const char *name, *before, *sec, *key, *value, *after;
    } cases[] = {
        {"replace keeps position, caller's spelling", "[S]\nKey=old\nz=1\n", "s", "KEY", "new value",
         "[S]\nKEY=new value\nz=1\n"},
        {"insert after last line of section", "[S]\na=1\n[T]\nb=2\n", "S", "c", "3", "[S]\na=1\nc=3\n[T]\nb=2\n"},
        {"empty section: directly after header", "[S]\n[T]\n", "S", "c", "3", "[S]\nc=3\n[T]\n"},
        {"empty line ends the section for writing", "[S]\na=1\n\nb=2\n", "S", "b", "9",
         "[S]\na=1\nb=9\n\nb=2\n"},
        {"new section after an entry gets a blank line", "[S]\na=1\n", "New", "k", "v",
         "[S]\na=1\n\n[New]\nk=v\n"},
        {"no extra blank after an empty last line", "[S]\na=1\n\n", "New", "k", "v", "[S]\na=1\n\n[New]\nk=v\n"},
        {"empty file", "", "New", "k", "v", "[New]\nk=v\n"},
    };
    for (const auto &c : cases) {
        std::string out = after_change(c.before, [&](KxIniHandle *h) {
            EXPECT_EQ(KxIniWrite(h, c.sec, c.key, c.value), 1);
        });
        EXPECT_EQ(out, c.after) << c.name;
    }
}

TEST(IniWrite, WriteAllBuildsRepeatedKeys)
{
    std::string out = after_change("[S]\n", [](KxIniHandle *h) {
        EXPECT_EQ(KxIniWriteAll(h, "S", "k", "one"), 1);
        EXPECT_EQ(KxIniWriteAll(h, "S", "k", "two"), 1);
        EXPECT_EQ(KxIniWriteAll(h, "s", "K", "ONE"), 1);  // identical ignoring case: nothing added
        EXPECT_EQ(KxIniWriteAll(h, "T", "k", "x"), 1);
    });
    EXPECT_EQ(out, "[S]\nk=one\nk=two\n\n[T]\nk=x\n");
}

TEST(IniWrite, RejectsNullArgumentsButStillMarksModified)
{
    kxtest::TempDir dir;
    std::string path = dir.file("w.ini");
    kxtest::write_text(path, "[S]\n; comment\n");
    KxIniHandle *h = KxIniOpen(path.c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(KxIniWrite(h, nullptr, "k", "v"), 0);
    EXPECT_EQ(KxIniWrite(h, "S", "k", nullptr), 0);
    EXPECT_EQ(KxIniWriteAll(nullptr, "S", "k", "v"), 0);
    EXPECT_EQ(KxIniDelete(h, nullptr, nullptr, nullptr), 0);
    // Nothing reached the handle: closing does not rewrite the file.
    EXPECT_EQ(KxIniClose(h), 1);
    EXPECT_EQ(kxtest::read_text(path), "[S]\n; comment\n");
}

TEST(IniDelete, SplitRulesAndHeaderRemoval)
{
    struct Case {
        const char *name, *before, *sec, *key, *value, *after;
    } cases[] = {
        {"key only: first match", "[S]\nk=1\nk=2\n", "S", "K", nullptr, "[S]\nk=2\n"},
        {"key and value", "[S]\nk=1\nk=2\n", "S", "k", "2", "[S]\nk=1\n"},
        {"value compared up to the next =", "[S]\nk=a=b\n", "S", "k", "a", "[S]\n"},
        {"empty pieces skipped", "[S]\n=k==v\n", "S", "k", "v", "[S]\n"},
        {"missing value counts as empty", "[S]\nk=\nk=1\n", "S", "k", "", "[S]\nk=1\n"},
        {"line without = matches as a key", "[S]\nplain\n", "S", "plain", nullptr, "[S]\n"},
        {"empty line does not end the section", "[S]\n\nk=1\n", "S", "k", nullptr, "[S]\n\n"},
        {"header ends it", "[S]\n[T]\nk=1\n", "S", "k", nullptr, "[S]\n[T]\nk=1\n"},
        {"header only: entries join the section before", "[A]\na=1\n[S]\nk=1\n", "S", nullptr, nullptr,
         "[A]\na=1\nk=1\n"},
        {"missing section", "[A]\na=1\n", "S", "a", nullptr, "[A]\na=1\n"},
    };
    for (const auto &c : cases) {
        std::string out = after_change(c.before, [&](KxIniHandle *h) {
            EXPECT_EQ(KxIniDelete(h, c.sec, c.key, c.value), 1);
        });
        EXPECT_EQ(out, c.after) << c.name;
    }
}

TEST(IniDelete, SecondHeaderOfTheSameNameTakesOver)
{
    kxtest::TempDir dir;
    std::string path = dir.file("d.ini");
    kxtest::write_text(path, "[S]\nk=1\n[s]\nk=2\n");
    Ini ini(KxIniOpen(path.c_str()));
    int rc;
    EXPECT_EQ(read2(ini.h, "S", "k", nullptr, rc), "1");
    EXPECT_EQ(KxIniDelete(ini.h, "S", nullptr, nullptr), 1);
    EXPECT_EQ(read2(ini.h, "S", "k", nullptr, rc), "2");
    EXPECT_EQ(KxIniDelete(ini.h, "S", nullptr, nullptr), 1);
    read2(ini.h, "S", "k", nullptr, rc);
    EXPECT_EQ(rc, KX_ERR_INI_NO_SECTION);
    // An entry whose text reads as a header of the section counts as one,
    // even though it was inserted before an existing header of that name.
    EXPECT_EQ(KxIniWrite(ini.h, "A", "x", "1"), 1);
    EXPECT_EQ(KxIniWrite(ini.h, "A=B", "y", "2"), 1);
    EXPECT_EQ(KxIniWrite(ini.h, "A", "[a", "b]"), 1);  // the line "[a=b]"
    EXPECT_EQ(read2(ini.h, "a=b", "y", nullptr, rc), "<none>");
    EXPECT_EQ(rc, KX_ERR_INI_NO_KEY);  // the earlier "[a=b]" line is the section now
}

TEST(IniClose, UnmodifiedHandleLeavesTheFileAlone)
{
    kxtest::TempDir dir;
    std::string path = dir.file("c.ini");
    kxtest::write_text(path, "[S]\n;c\nk=1\n");
    KxIniHandle *h = KxIniOpen(path.c_str());
    ASSERT_NE(h, nullptr);
    int rc;
    read2(h, "S", "k", nullptr, rc);
    kxtest::write_text(path, "changed meanwhile\n");
    EXPECT_EQ(KxIniClose(h), 1);
    EXPECT_EQ(kxtest::read_text(path), "changed meanwhile\n");
    EXPECT_EQ(KxIniClose(nullptr), 0);
}

TEST(IniClose, WriteBackKeepsPermissionsAndLeavesNoTemporaryFile)
{
    kxtest::TempDir dir;
    std::string path = dir.file("p.ini");
    kxtest::write_text(path, "[S]\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    Ini ini(KxIniOpen(path.c_str()));
    KxIniWrite(ini.h, "S", "k", "v");
    EXPECT_EQ(ini.close(), 1);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(kxtest::read_text(path), "[S]\nk=v\n");
}

TEST(IniClose, WriteBackThroughASymbolicLinkReplacesItsTarget)
{
    kxtest::TempDir dir;
    std::string real = dir.file("real.ini"), link = dir.file("link.ini");
    kxtest::write_text(real, "[S]\n");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    Ini ini(KxIniOpen(link.c_str()));
    ASSERT_NE(ini.h, nullptr);
    KxIniWrite(ini.h, "S", "k", "v");
    EXPECT_EQ(ini.close(), 1);
    struct stat st;
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(kxtest::read_text(real), "[S]\nk=v\n");
}

TEST(IniClose, WriteBackOfAFileWithANameNearTheSystemLimit)
{
    // A 250-character name is a valid path relative to its directory; the
    // write-back's sibling must not grow it past the system's name limit.
    kxtest::TempDir dir;
    char old_cwd[4096];
    ASSERT_NE(::getcwd(old_cwd, sizeof old_cwd), nullptr);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    const std::string name = std::string(246, 'n') + ".ini";
    kxtest::write_text(name, "[S]\n");
    KxIniHandle *h = KxIniOpen(name.c_str());
    int rc = -1;
    if (h) {
        KxIniWrite(h, "S", "k", "v");
        rc = KxIniClose(h);
    }
    ASSERT_EQ(::chdir(old_cwd), 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(kxtest::read_text(dir.file(name)), "[S]\nk=v\n");
}

TEST(IniClose, FailedWriteLeavesTheOriginalWhole)
{
    // A file-size limit makes the write fail part way: the original file
    // must stay as it was, with no temporary file left beside it.
    kxtest::TempDir dir;
    std::string path = dir.file("big.ini");
    const std::string original = "[S]\nk=small\n";
    kxtest::write_text(path, original);
    KxIniHandle *h = KxIniOpen(path.c_str());
    ASSERT_NE(h, nullptr);
    std::string big(200000, 'v');
    ASSERT_EQ(KxIniWrite(h, "S", "k", big.c_str()), 1);

    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 65536;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    int rc = KxIniClose(h);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(rc, 0);
    EXPECT_EQ(kxtest::read_text(path), original);
    std::string listing;
    int entries = 0;
    if (auto *d = ::opendir(dir.path().c_str())) {
        while (auto *ent = ::readdir(d))
            if (std::strcmp(ent->d_name, ".") && std::strcmp(ent->d_name, "..")) {
                ++entries;
                listing += std::string(ent->d_name) + " ";
            }
        ::closedir(d);
    }
    EXPECT_EQ(entries, 1) << listing;
}

} // namespace
