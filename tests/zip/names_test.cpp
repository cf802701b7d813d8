// Member selection patterns, name mapping and the CRC-32.
#include <gtest/gtest.h>

#include <cstring>

#include "zip/crc32.h"
#include "zip/names.h"

using kx::zip::map_member_name;
using kx::zip::pattern_match;

TEST(ZipPattern, MatchesAsDescribed)
{
    struct Case {
        const char *pattern, *name;
        bool match;
    } const cases[] = {
        {"*.TXT", "docs/readme.txt", true},  // '*' crosses '/', letters ignore case
        {"*T", "xt", false},                 // the character after '*' keeps its case
        {"*t", "xt", true},
        {"*", "", true},
        {"a*", "a", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"README", "readme", true},
        {"read", "readme", false},           // only whole names
        {"[a-c]x", "bx", true},
        {"[c-a]x", "bx", true},              // a range in either order
        {"[a-c]x", "Bx", false},             // sets compare with case
        {"[!a-c]x", "dx", true},
        {"[^a-c]x", "ax", false},
        {"[\\]]x", "]x", true},              // a quoted bracket inside a set
        {"[]x", "]x", false},                // an empty set matches nothing
        {"[abc", "a", false},                // neither does an unclosed one
        {"*[0-9].txt", "f007.txt", true},    // after '*' a set is tried everywhere
        {"f*.txt", "f1.txt.txt", true},
        {"*.*", "noext", false},
    };
    for (const Case &c : cases) EXPECT_EQ(pattern_match(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
}

TEST(ZipNames, MapCharacterByCharacter)
{
    struct Case {
        const char *name;
        const char *path;
        bool dir_entry;
        bool refused;
    } const cases[] = {
        {"a/b/c.txt", "a/b/c.txt", false, false},
        {"a\\b\\c.txt", "a/b/c.txt", false, false},
        {"notes:v1.txt", "notes_v1.txt", false, false},
        {"file.txt;1", "file.txt", false, false},
        {"re<drop>port.txt", "report.txt", false, false},
        {"re[drop]port.txt", "report.txt", false, false},
        {"tab\there.txt", "tabhere.txt", false, false},
        {"x\xffy", "xy", false, false},
        {"lit\x16;eral", "lit;eral", false, false},
        {"with blank.txt", "with blank.txt", false, false},
        {"A/", "A/", true, false},
        {"a//./b", "a/b", false, false},
        // Names that would leave the target directory.
        {"../evil", "evil", false, true},
        {"a/../../evil", "a/evil", false, true},
        {"..\\evil", "evil", false, true},
        {"/etc/passwd", "etc/passwd", false, true},
        {"\\abs", "abs", false, true},
        {".<x>./evil", "evil", false, true},  // ".." made by the mapping itself
        {"a/..", "a/..", false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto m = map_member_name(c.name);
        EXPECT_EQ(m.refused, c.refused);
        if (!c.refused) {
            EXPECT_EQ(m.path, c.path);
        }
        EXPECT_EQ(m.directory_entry, c.dir_entry);
    }
    // A trailing backslash names directories but leaves the file part empty.
    const auto back = map_member_name("A\\");
    EXPECT_FALSE(back.directory_entry);
    EXPECT_TRUE(back.file.empty());
    EXPECT_EQ(back.dirs, std::vector<std::string>{"A"});
}

TEST(ZipCrc32, KnownValuesAndPieces)
{
    const char *text = "123456789";
    const auto *p = reinterpret_cast<const std::uint8_t *>(text);
    EXPECT_EQ(kx::zip::crc32_update(0, p, 9), 0xCBF43926u);
    EXPECT_EQ(kx::zip::crc32_update(0, p, 0), 0u);
    // Split at every point: the table path and the byte path agree.
    for (std::size_t k = 0; k <= 9; ++k)
        EXPECT_EQ(kx::zip::crc32_update(kx::zip::crc32_update(0, p, k), p + k, 9 - k), 0xCBF43926u);
    std::uint8_t zeros[1000] = {};
    EXPECT_EQ(kx::zip::crc32_update(0, zeros, sizeof zeros), 0x060B1780u);
}
