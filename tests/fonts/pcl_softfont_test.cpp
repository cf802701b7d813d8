// PCL soft-font reader: recognising the file, the descriptor formats, the
// description and identifiers it builds, and the short font name.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "common/test_support.h"
#include "font_builders.h"
#include "fonts/pcl_softfont.h"

namespace {

using fontgen::PclFont;
using kx::fonts::parse_descriptor;

struct Parsed {
    int rc;
    KxFontInfo info;
};

Parsed parse(const PclFont &f)
{
    Parsed p{};
    auto d = fontgen::pcl_descriptor(f);
    p.rc = parse_descriptor(d, p.info);
    return p;
}

// The first 64 bytes of a descriptor, as the short name takes them.
std::string short_name(const PclFont &f)
{
    auto d = fontgen::pcl_descriptor(f);
    return kx::fonts::short_font_name(std::span<const std::uint8_t, 64>(d.data(), 64));
}

TEST(PclDescriptor, FormatAndSizeGiveFormatCodeAndFamily)
{
    struct Row {
        std::uint8_t format;
        std::uint16_t size;
        std::uint8_t font_type;
        int rc;
        std::uint32_t code;
        int family;
    };
    const Row rows[] = {
        {0, 64, 2, 0, FORMAT_PCL_BITMAP, 0},
        {5, 72, 0, 0, FORMAT_PCL_BITMAP_ALT, 1},
        {9, 74, 1, 0, FORMAT_PCL_BITMAP_ALT, 2},
        {12, 92, 2, 0, FORMAT_PCL_BITMAP_ALT, 2},
        {10, 80, 0, 0, FORMAT_PCL_BOUND_SCALABLE, 4},
        {11, 88, 10, 0, FORMAT_PCL_UNBOUND_SCALABLE, 4},
        {15, 72, 11, 0, FORMAT_PCL_TRUETYPE, 4},
        {20, 68, 2, 0, FORMAT_PCL_RES_BITMAP, 4},
    };
    for (const auto &r : rows) {
        PclFont f;
        f.format = r.format;
        f.size = r.size;
        f.font_type = r.font_type;
        Parsed p = parse(f);
        EXPECT_EQ(p.rc, r.rc) << int(r.format);
        EXPECT_EQ(p.info.nFontFormat, r.code) << int(r.format);
        EXPECT_EQ(kx::fonts::descriptor_family(), r.family) << int(r.format);
    }
}

TEST(PclDescriptor, UnknownPairingsAndFontTypesAreRefusedAndLeaveTheFamily)
{
    PclFont known;
    known.format = 9;
    known.size = 72;
    ASSERT_EQ(parse(known).rc, 0);
    ASSERT_EQ(kx::fonts::descriptor_family(), 2);

    PclFont wrong_size;
    wrong_size.format = 10;
    wrong_size.size = 88;
    EXPECT_EQ(parse(wrong_size).rc, 27);
    EXPECT_EQ(kx::fonts::descriptor_family(), 2);

    for (std::uint8_t t : {3, 9, 12, 255}) {
        PclFont bad_type;
        bad_type.font_type = t;
        EXPECT_EQ(parse(bad_type).rc, 27) << int(t);
    }
    PclFont short_one;
    auto d = fontgen::pcl_descriptor(short_one);
    KxFontInfo info{};
    EXPECT_EQ(parse_descriptor(std::span<const std::uint8_t>(d.data(), 63), info), 27);
}

TEST(PclDescriptor, BitmapDescriptionIdentifiersAndSymbolSet)
{
    PclFont f; // Courier, height 200 at 300 dpi, weight 0, upright, 8U, typeface 3, vendor C 1234
    Parsed p = parse(f);
    ASSERT_EQ(p.rc, 0);
    EXPECT_STREQ(p.info.szDescription, "Courier           [12.0 Pt.] (Roman-8)");
    EXPECT_STREQ(p.info.szIdentifiers, "Ven:0  Typ:3  Fon:C1234");
    EXPECT_STREQ(p.info.szSymbolSet, "8U");
    EXPECT_EQ(p.info.dwFlags, 0u);
    EXPECT_EQ(p.info.wXResolution, 0);

    f.height = 50;
    f.spacing = 1;
    f.name = "Courier Bold Long";
    f.weight = 3;
    f.style = 1;
    f.symbol_set = 1; // "0A", not a listed symbol set
    f.typeface = 0x4ABC;
    f.vendor_char = 0;
    f.font_number = 0xFFFFFF;
    p = parse(f);
    ASSERT_EQ(p.rc, 0);
    EXPECT_STREQ(p.info.szDescription, "Courier Bold BdIt [ 3.0 Pt.] (0A)");
    EXPECT_STREQ(p.info.szIdentifiers, "Ven:4  Typ:2748  Fon:?16777215");
    EXPECT_STREQ(p.info.szSymbolSet, "0A");
    EXPECT_EQ(p.info.dwFlags, static_cast<std::uint32_t>(FONT_PROPORTIONAL));
}

TEST(PclDescriptor, PointSizeRoundsToTenths)
{
    // height x 18 / 300: 173 gives 10.38 (10.4), 177 gives 10.62 (11.0), 175 gives
    // 10.5, which rounds up to 11 and leaves nothing above it (11.0).
    const std::pair<std::uint16_t, const char *> rows[] = {
        {173, "[10.4 Pt.]"}, {177, "[11.0 Pt.]"}, {175, "[11.0 Pt.]"}, {0, "[ 0.0 Pt.]"}};
    for (const auto &[height, text] : rows) {
        PclFont f;
        f.height = height;
        Parsed p = parse(f);
        ASSERT_EQ(p.rc, 0);
        EXPECT_NE(std::strstr(p.info.szDescription, text), nullptr) << p.info.szDescription;
    }
}

TEST(PclDescriptor, ResolutionDescriptorUsesItsYResolution)
{
    PclFont f;
    f.format = 20;
    f.size = 68;
    f.x_res = 300;
    f.y_res = 600;
    Parsed p = parse(f);
    ASSERT_EQ(p.rc, 0);
    EXPECT_EQ(p.info.wXResolution, 300);
    EXPECT_EQ(p.info.wYResolution, 600);
    EXPECT_STREQ(p.info.szDescription, "Courier           [ 6.0 Pt.] (Roman-8)");

    // Without its resolutions, or with a zero one, the point size is unknown.
    auto d = fontgen::pcl_descriptor(f);
    KxFontInfo info{};
    EXPECT_EQ(parse_descriptor(std::span<const std::uint8_t>(d.data(), 66), info), 27);
    f.y_res = 0;
    EXPECT_EQ(parse(f).rc, 27);
}

TEST(PclDescriptor, ScalableAndUnboundDescriptions)
{
    PclFont f;
    f.format = 10;
    f.size = 80;
    f.font_type = 0;
    f.name = "Univers";
    f.pad_name_with_nul = true;
    Parsed p = parse(f);
    ASSERT_EQ(p.rc, 0);
    EXPECT_STREQ(p.info.szDescription, "Univers          [Outline]  (Roman-8)");

    // NULs after the name become spaces only up to the next other byte.
    f.name = std::string("Uni\0vers", 8);
    p = parse(f);
    EXPECT_STREQ(p.info.szDescription, "Uni vers [Outline]  (Roman-8)");

    f.format = 11;
    f.size = 88;
    f.font_type = 10;
    f.name = "Univers";
    f.pad_name_with_nul = false;
    p = parse(f);
    ASSERT_EQ(p.rc, 0);
    EXPECT_STREQ(p.info.szDescription, "Univers          [Outline]  (unbound)");
    EXPECT_STREQ(p.info.szSymbolSet, "");
}

TEST(PclDescriptor, TypefaceZeroMarkOnFormatZeroOnly)
{
    PclFont f;
    f.typeface = 0x1000; // vendor 1, typeface number 0
    Parsed p = parse(f);
    EXPECT_STREQ(p.info.szDescription, "Courier           [12.0 Pt.] (Roman-8) *TF:0");
    f.name = "Line Printer";
    p = parse(f);
    EXPECT_STREQ(p.info.szDescription, "Line Printer      [12.0 Pt.] (Roman-8)");
    f.name = "Courier";
    f.format = 5;
    f.size = 72;
    p = parse(f);
    EXPECT_STREQ(p.info.szDescription, "Courier           [12.0 Pt.] (Roman-8)");
}

TEST(PclShortName, BuildsSixteenCharacters)
{
    PclFont f; // Courier, height 200, weight 0, upright, 277
    EXPECT_EQ(short_name(f), "Courier128U     ");

    f.name = "Times New Roman";
    EXPECT_EQ(short_name(f), "TmesNewRoman128U"); // two spaces, then one vowel dropped

    f.name = "Helvetica-Narrow";
    f.weight = 3;
    f.style = 1;
    f.symbol_set = 629;
    EXPECT_EQ(short_name(f), "Hlvtc-Nrrw12BdIt");

    PclFont scalable;
    scalable.format = 10;
    scalable.size = 80;
    scalable.name = "Univers";
    EXPECT_EQ(short_name(scalable), "Univers8U       ");

    PclFont blank;
    blank.name = "";
    EXPECT_EQ(short_name(blank), " 128U           "); // the first character stays
}

TEST(PclOpener, NeedsTheDescriptorCommandWithinNineBytes)
{
    kxtest::TempDir dir;
    const std::pair<std::string, bool> rows[] = {
        {"\x1b)s64W", true},          {"\x1b)s12345W", true}, {"\x1b)s123456W", false},
        {"\x1b)s1234567W", false},    {"\x1b)s64", false},    {"\x1b)", false},
        {"\x1b(s64W", false},         {"", false},
    };
    for (const auto &[start, ok] : rows) {
        std::string path = dir.file("font.sfp");
        kxtest::write_text(path, start + std::string(70, 'x'));
        auto f = kx::fonts::open_soft_font(path);
        EXPECT_EQ(static_cast<bool>(f), ok) << kxtest::hex(kxtest::bytes_of(start));
        if (f) {
            EXPECT_EQ(std::fgetc(f.get()), 'x');
        }
    }
    EXPECT_FALSE(kx::fonts::open_soft_font(dir.file("missing.sfp")));
}

TEST(PclDescriptor, ReadsRealSoftFonts)
{
    struct Row {
        const char *file;
        std::uint32_t format;
        const char *description;
        const char *identifiers;
    };
    const Row rows[] = {
        {"pcl/dvilj2p-cmr10.sfp", FORMAT_PCL_BITMAP, "                  [61.4 Pt.] (Roman-8) *TF:0",
         "Ven:0  Typ:0  Fon:?0"},
        {"pcl/ghostpdl-bitfont-Uncial.sfp", FORMAT_PCL_BITMAP, "Uncial            [16.0 Pt.] (Roman-8)",
         "Ven:0  Typ:73  Fon:C90508"},
        // Symbol-set word 0 names no set: its id is shown.
        {"pcl/monobit-4x6.sfp", FORMAT_PCL_BITMAP, "Fixed Medium      [ 1.4 Pt.] (0@) *TF:0", "Ven:0  Typ:0  Fon:?0"},
        {"pcl/dvilj4-600-cmr10.sfp", FORMAT_PCL_RES_BITMAP, "                  [31.0 Pt.] (Roman-8)",
         "Ven:0  Typ:0  Fon:?0"},
        // A NUL-padded name, italic, PC-8.
        {"pcl/okidriver-prn-id3.sfp", FORMAT_PCL_RES_BITMAP, "Cache 3  It [12.2 Pt.] (PC-8)", "Ven:0  Typ:0  Fon:?0"},
    };
    for (const auto &r : rows) {
        auto f = kx::fonts::open_soft_font(kxtest::data_path(r.file));
        ASSERT_TRUE(f) << r.file;
        KxFontInfo info{};
        ASSERT_EQ(kx::fonts::read_descriptor(f.get(), info), 0) << r.file;
        EXPECT_EQ(info.nFontFormat, r.format) << r.file;
        EXPECT_STREQ(info.szDescription, r.description);
        EXPECT_STREQ(info.szIdentifiers, r.identifiers);
        if (r.format == FORMAT_PCL_RES_BITMAP) {
            EXPECT_EQ(info.wYResolution, 600) << r.file;
        }
    }
}

} // namespace
