// Symbol-set, weight-and-posture and typeface tables.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "fonts/font_tables.h"

namespace kx::fonts {
namespace {

// Formats a PCL symbol-set word the way descriptors name their symbol set.
std::string id_of(unsigned word)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%u%c", word >> 5, static_cast<char>((word & 31) + 64));
    return buf;
}

TEST(SymbolSets, NamesByIdFromDescriptorWords)
{
    EXPECT_STREQ(symbol_set_name(id_of(277)), "Roman-8");
    EXPECT_EQ(id_of(629), "19U");
    EXPECT_STREQ(symbol_set_name(id_of(629)), "Windows 3.1 Latin 1");
    EXPECT_EQ(symbol_set_name(id_of(1)), nullptr); // "0A" is not listed
    EXPECT_STREQ(symbol_set_name("579L"), "Wingdings");
    EXPECT_STREQ(symbol_set_name("7J"), "DeskTop");
    EXPECT_STREQ(symbol_set_name("2U"), "ISO  2: International Ref.");
    // Exact match only: no prefix or case folding.
    EXPECT_EQ(symbol_set_name("19"), nullptr);
    EXPECT_EQ(symbol_set_name("19u"), nullptr);
    EXPECT_EQ(symbol_set_name("19U "), nullptr);
    EXPECT_EQ(symbol_set_name(""), nullptr);
}

TEST(SymbolSets, IdsAreUniqueAndTwoShareLineDraw7)
{
    std::set<std::string> ids;
    int line_draw_7 = 0;
    for (const SymbolSetRow &row : kSymbolSets) {
        EXPECT_TRUE(ids.insert(row.id).second) << row.id;
        if (std::string(row.name) == "Line Draw-7") ++line_draw_7;
    }
    EXPECT_EQ(ids.size(), 61u);
    EXPECT_EQ(line_draw_7, 2);
    EXPECT_STREQ(symbol_set_name("0B"), "Line Draw-7");
    EXPECT_STREQ(symbol_set_name("0L"), "Line Draw-7");
}

TEST(WeightPosture, CodesFromStrokeWeightAndStyle)
{
    struct Case {
        int weight;
        unsigned style;
        std::string name;
        const char *code;
    };
    const Case cases[] = {
        {3, 1, "Courier", "BdIt"},
        {3, 1, "CourierItalic", "Bd"},
        {3, 1, std::string("Ab\0Italic", 9), "BdIt"}, // the name ends at its NUL
        {-7, 0, "", "Ut"},
        {-6, 0, "", "Et"},
        {-5, 0, "", "Tn"},
        {-4, 0, "", "Xl"},
        {-3, 0, "", "Lt"},
        {-2, 0, "", "Dl"},
        {-1, 0, "", "Sl"},
        {0, 0, "", ""},
        {1, 0, "", "Sb"},
        {2, 0, "", "Db"},
        {4, 0, "", "Xb"},
        {5, 0, "", "Bk"},
        {6, 0, "", "Ek"},
        {7, 3, "", "Uk"},
        {8, 2, "", "Al"},
        {-8, 1, "", "It"},
        {-128, 0, "", ""},
        {0, 0x25, "", "It"}, // only the low two bits of the style count
        {-1, 0xFE, "", "SlAl"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(weight_posture_code(static_cast<std::int8_t>(c.weight), static_cast<std::uint8_t>(c.style), c.name),
                  c.code)
            << c.weight << "/" << c.style;
}

TEST(Typefaces, EntriesClassesAndGaps)
{
    auto helv = typeface_entry(4);
    ASSERT_TRUE(helv);
    EXPECT_EQ(helv->class_letter, 'W');
    EXPECT_EQ(helv->windows_family, 0x20);
    EXPECT_STREQ(helv->family, "Helv");
    EXPECT_FALSE(typeface_entry(28));
    EXPECT_FALSE(typeface_entry(140));
    EXPECT_FALSE(typeface_entry(0xFFFFFFFFu));
    EXPECT_STREQ(typeface_text(140), "");

    struct Row {
        unsigned number;
        const char *text;
        int family;
    };
    const Row rows[] = {
        {0, "M,LinePrinter", 0x30},       {5, "R,Tms Rmn", 0x10},
        {7, "S,Script", 0x40},            {19, "D,Cooper Black", 0x50},
        {27, "R,ITC Korinna", 0x10},      {29, "D,Cloister Black", 0x50},
        {47, "R,ITC Bookman", 0x10},      {51, "W,Gill Sans", 0x20},
        {70, "D,Futura Black", 0x50},     {73, "W,Uncial", 0x20},
        {78, "R,ITC Lubalin Graph", 0x10}, {79, "W,Eurostile", 0x20},
        {85, "W,Univers Cond", 0x20},     {136, "R,Bitstream Charter", 0x10},
        {138, "M,Symbol A Mono Sans Serif", 0x30}, {139, "R,Bitstream Amerigo", 0x10},
    };
    for (const Row &r : rows) {
        EXPECT_STREQ(typeface_text(r.number), r.text) << r.number;
        auto e = typeface_entry(r.number);
        ASSERT_TRUE(e) << r.number;
        EXPECT_EQ(e->windows_family, r.family) << r.number;
        EXPECT_STREQ(e->family, r.text + 2);
    }

    const std::set<unsigned> empty_below_86 = {28, 48, 49, 50, 71, 72, 74, 75, 76, 77, 80, 81, 82, 83, 84};
    int present = 0;
    for (unsigned n = 0; n < kTypefaceEntries; ++n) {
        bool empty = empty_below_86.count(n) || (n >= 86 && n <= 135);
        EXPECT_EQ(!typeface_entry(n), empty) << n;
        present += !empty;
    }
    EXPECT_EQ(present, 75);
}

TEST(Typefaces, FamilyOfClassLetter)
{
    EXPECT_EQ(windows_family_of('R'), 0x10);
    EXPECT_EQ(windows_family_of('W'), 0x20);
    EXPECT_EQ(windows_family_of('M'), 0x30);
    EXPECT_EQ(windows_family_of('S'), 0x40);
    EXPECT_EQ(windows_family_of('D'), 0x50);
    EXPECT_EQ(windows_family_of('r'), 0);
    EXPECT_EQ(windows_family_of('X'), 0);
}

} // namespace
} // namespace kx::fonts
