// Directory queries.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/test_support.h"
#include "kxapi.h"

namespace {

using Listing = std::vector<std::pair<std::string, std::string>>;

// The list as sorted (name, description) pairs; frees it.
Listing take(KxDatFileEntry *list)
{
    Listing out;
    for (KxDatFileEntry *e = list; e; e = e->pNext) out.emplace_back(e->szPath, e->szDescr);
    KxDatQueryFilesFree(list);
    std::sort(out.begin(), out.end());
    return out;
}

struct QueryFiles : ::testing::Test {
    kxtest::TempDir dir;
    void SetUp() override
    {
        kxtest::write_text(dir.file("a.cfg"), "#!Office printers\nsecond line\n");
        kxtest::write_text(dir.file("b.cfg"), "no marker here\n#!on the second line\n");
        kxtest::write_text(dir.file("C.CFG"), "; setup #!Mid-line marker\r\n");
        kxtest::write_text(dir.file("d.cfg"), "#!" + std::string(60, 'L'));
        kxtest::write_text(dir.file("e.cfg"), "#!\n");            // empty description
        kxtest::write_text(dir.file(".hidden.cfg"), "#!Hidden\n");
        kxtest::write_text(dir.file("f.pss"), "#!PostScript setting\n");
        kxtest::write_text(dir.file("g.txt"), "x #!Text file");
        std::filesystem::create_directory(dir.file("sub.cfg"));
    }
};

TEST_F(QueryFiles, ByType)
{
    std::int16_t count = -1;
    Listing cfg = take(KxDatQueryFiles(dir.path().c_str(), KX_DAT_FILES_CFG, &count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(cfg, (Listing{{dir.file("C.CFG"), "Mid-line marker"},
                            {dir.file("a.cfg"), "Office printers"},
                            {dir.file("d.cfg"), std::string(47, 'L')}}));

    Listing pss = take(KxDatQueryFiles(dir.path().c_str(), KX_DAT_FILES_PSS, &count));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(pss, (Listing{{dir.file("f.pss"), "PostScript setting"}}));

    Listing any = take(KxDatQueryFiles((dir.path() + "/").c_str(), 3, &count));
    EXPECT_EQ(count, 5);
    ASSERT_EQ(any.size(), 5u);
    EXPECT_EQ(any.back(), (std::pair<std::string, std::string>{dir.file("g.txt"), "Text file"}));
}

TEST_F(QueryFiles, NothingAndNull)
{
    kxtest::TempDir empty;
    std::int16_t count = -1;
    EXPECT_EQ(KxDatQueryFiles(empty.path().c_str(), 1, &count), nullptr);
    EXPECT_EQ(count, 0);
    count = -1;
    EXPECT_EQ(KxDatQueryFiles(nullptr, 1, &count), nullptr);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(KxDatQueryFiles(dir.file("missing").c_str(), 1, &count), nullptr);
    KxDatQueryFilesFree(nullptr);
}

TEST_F(QueryFiles, EmptyDirectoryIsCurrentDirectory)
{
    std::string cwd = std::filesystem::current_path();
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    std::int16_t count = 0;
    Listing pss = take(KxDatQueryFiles("", KX_DAT_FILES_PSS, &count));
    ASSERT_EQ(::chdir(cwd.c_str()), 0);
    EXPECT_EQ(pss, (Listing{{"./f.pss", "PostScript setting"}}));
}

// A path that does not fit the 260-byte field is left out, never cut.
TEST(QueryFilesLimits, OverLongPathIsSkipped)
{
    kxtest::TempDir dir;
    std::string deep = dir.path();
    while (deep.size() < 240) deep += "/" + std::string(std::min<std::size_t>(50, 240 - deep.size()), 'd');
    std::filesystem::create_directories(deep);
    std::string fits(259 - deep.size() - 1, 'f');  // deep + "/" + name = 259 characters
    std::string too_long = fits + "x";
    kxtest::write_text(deep + "/" + fits, "#!fits\n");
    kxtest::write_text(deep + "/" + too_long, "#!too long\n");
    std::int16_t count = 0;
    Listing l = take(KxDatQueryFiles(deep.c_str(), 3, &count));
    EXPECT_EQ(count, 1);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].first.size(), 259u);
    EXPECT_EQ(l[0].second, "fits");
}

} // namespace
