// AFM and INF metrics reader: global values, character metrics by glyph
// name, kerning, averages, limits, and real URW fonts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fonts/afm_reader.h"
#include "common/test_support.h"

namespace kx::fonts {
namespace {

using Metrics = std::unique_ptr<KxAfmMetrics>;

std::span<const std::uint8_t> bytes(const std::string &s)
{
    return {reinterpret_cast<const std::uint8_t *>(s.data()), s.size()};
}

// Reads AFM text (and INF text when given) into a fresh record.
Metrics read(const std::string &afm, const std::string *inf = nullptr, int expect_rc = 0)
{
    Metrics m = std::make_unique<KxAfmMetrics>();
    std::span<const std::uint8_t> inf_bytes;
    if (inf) inf_bytes = bytes(*inf);
    EXPECT_EQ(read_afm_bytes(bytes(afm), inf ? &inf_bytes : nullptr, "/fonts/Test.afm", *m), expect_rc);
    return m;
}

// A small text font: space, hyphen, A, Adieresis (by code -1), a, b, bullet.
const std::string kSmallFont =
    "StartFontMetrics 2.0\n"
    "FontName Test-Roman\n"
    "Weight Bold\n"
    "ItalicAngle -12.5\n"
    "IsFixedPitch false\n"
    "UnderlinePosition -100\n"
    "UnderlineThickness 50\n"
    "FontBBox -168 -218 1000 898\n"
    "CapHeight 662\n"
    "XHeight 450\n"
    "Ascender 683\n"
    "Descender -217\n"
    "StartCharMetrics 7\n"
    "C 32 ; WX 250 ; N space ; B 0 0 0 0 ;\n"
    "C 45 ; WX 333 ; N hyphen ; B 39 194 285 257 ;\n"
    "C 65 ; WX 722 ; N A ; B 15 0 706 674 ;\n"
    "C -1 ; WX 722 ; N Adieresis ; B 15 0 706 835 ;\n"
    "C 97 ; WX 444 ; N a ; B 37 -10 442 460 ;\n"
    "C 98 ; WX 500 ; N b ; B 3 -10 468 683 ;\n"
    "C 183 ; WX 350 ; N bullet ; B 40 196 310 466 ;\n"
    "EndCharMetrics\n"
    "EndFontMetrics\n";

void expect_metrics(const KxAfmCharMetrics &cm, KxAfmCharMetrics want, int code)
{
    EXPECT_EQ(cm.left, want.left) << code;
    EXPECT_EQ(cm.top, want.top) << code;
    EXPECT_EQ(cm.right, want.right) << code;
    EXPECT_EQ(cm.bottom, want.bottom) << code;
    EXPECT_EQ(cm.width, want.width) << code;
}

TEST(AfmReader, GlobalValuesAndCharacterMetrics)
{
    Metrics m = read(kSmallFont);
    EXPECT_STREQ(m->szSourcePath, "/fonts/Test.afm");
    EXPECT_STREQ(m->szFontName, "Test-Roman");
    EXPECT_EQ(m->nWeight, 700);
    EXPECT_EQ(m->nItalicAngle, -125);
    EXPECT_EQ(m->bVariablePitch, 1);
    EXPECT_EQ(m->nUnderlinePos, -100);
    EXPECT_EQ(m->nUnderlineThick, 50);
    EXPECT_EQ(m->nCapHeight, 662);
    EXPECT_EQ(m->nAscender, 683);
    EXPECT_EQ(m->nDescender, -217);
    EXPECT_EQ(m->rcFontBBox.left, -168);
    EXPECT_EQ(m->rcFontBBox.top, 898);
    EXPECT_EQ(m->rcFontBBox.right, 1000);
    EXPECT_EQ(m->rcFontBBox.bottom, -218);
    EXPECT_EQ(m->nCharLines, 7);
    EXPECT_EQ(m->nFirstCode, 32);
    EXPECT_EQ(m->nLastCode, 255);
    EXPECT_EQ(m->nCharSet, 0);
    EXPECT_EQ(m->nFamily, 0); // no INF
    EXPECT_STREQ(m->szMenuName, "");
    EXPECT_STREQ(m->szPclSymbolSet, "9U");
    EXPECT_EQ(m->nKernPairs, 0);

    expect_metrics(m->charMetrics[65], {15, 674, 706, 0, 722}, 65);
    expect_metrics(m->charMetrics[196], {15, 835, 706, 0, 722}, 196); // by glyph name, code -1
    expect_metrics(m->charMetrics[149], {40, 466, 310, 196, 350}, 149); // "bullet" wins over code 183
    // Codes the font lacks show the bullet, including code 183 and control codes.
    const KxAfmCharMetrics bullet{40, 466, 310, 196, 350};
    for (int code : {0, 1, 31, 66, 183, 255}) expect_metrics(m->charMetrics[code], bullet, code);
    // Code page 1252 duplicates: 160 is the space, 173 the hyphen, 175 the
    // (unlisted) macron and so code 0, which shows the bullet.
    expect_metrics(m->charMetrics[160], {0, 0, 0, 0, 250}, 160);
    expect_metrics(m->charMetrics[173], {39, 257, 285, 194, 333}, 173);
    expect_metrics(m->charMetrics[175], bullet, 175);

    // Plain average: (250 + 333 + 2 * 722 + 444 + 500 + 250 [160] + 333 [173]
    // + 248 codes * 350) / 256.
    std::uint32_t sum = 250 + 333 + 722 + 722 + 444 + 500 + 250 + 333 + 248u * 350;
    EXPECT_EQ(m->nAvgWidth, static_cast<std::int32_t>(sum / 256));
    EXPECT_EQ(afm_average_width(*m, AfmAverage::Plain), m->nAvgWidth);
    EXPECT_EQ(m->nMaxWidth, 722);
}

TEST(AfmReader, CodesByNumberForPiAndSymbolFonts)
{
    const std::string pi_inf = "MSMenuName (Test Pi)\nPi true\nSerif true\n";
    Metrics pi = read(kSmallFont, &pi_inf);
    EXPECT_EQ(pi->nFamily, 80);
    // Codes come from "C": 183 stores the bullet line, -1 stores nothing.
    expect_metrics(pi->charMetrics[183], {40, 466, 310, 196, 350}, 183);
    expect_metrics(pi->charMetrics[65], {15, 674, 706, 0, 722}, 65);
    // Nothing at 149 (the bullet code), so undefined codes are empty.
    expect_metrics(pi->charMetrics[196], {0, 0, 0, 0, 0}, 196);

    const std::string symbol_inf = "MSMenuName SymbolSans\n";
    Metrics sym = read(kSmallFont, &symbol_inf);
    EXPECT_EQ(sym->nFamily, 32);
    expect_metrics(sym->charMetrics[183], {40, 466, 310, 196, 350}, 183);
}

TEST(AfmReader, InfValuesAndFamily)
{
    struct Case {
        std::string inf;
        int family;
        const char *menu;
    };
    const Case cases[] = {
        {"MSMenuName (Times New Roman)\nSerif true\nPi false\n", 16, "Times New Roman"},
        {"MSMenuName Arial Narrow\r\nSerif false\r\n", 32, "Arial Narrow"},
        {"MSMenuName   (Unclosed name\nPi true\nSerif true\n", 80, "Unclosed name"},
        {"MSMenuName ()\nSerif yes\n", 32, ""},
        {"Serif true\nSerif maybe\n", 16, ""},          // an unknown word leaves the flag
        {"Pi true\nPi false\nSerif true\n", 16, ""},    // the last word counts
        {"", 32, ""},                                   // an empty INF still sets the family
    };
    for (const Case &c : cases) {
        Metrics m = read("FontName X\n", &c.inf);
        EXPECT_EQ(m->nFamily, c.family) << c.inf;
        EXPECT_STREQ(m->szMenuName, c.menu) << c.inf;
    }

    const std::string inf = "\tPCLTypefaceID 4101\nPCLStyle 1\nPCLStrokeWeight -3\nVPStyle N\nComment x\n";
    Metrics m = read("FontName X\n", &inf);
    EXPECT_EQ(m->nPclTypefaceId, 4101);
    EXPECT_EQ(m->nPclStyle, 1);
    EXPECT_EQ(m->nPclStrokeWeight, -3);
    EXPECT_EQ(m->bSerif, 0);
    EXPECT_EQ(m->bPi, 0);

    // The menu name is cut to 79 characters.
    const std::string long_inf = "MSMenuName (" + std::string(100, 'm') + ")\n";
    Metrics cut = read("FontName X\n", &long_inf);
    EXPECT_EQ(std::string(cut->szMenuName), std::string(79, 'm'));
}

TEST(AfmReader, ItalicAngleWeightAndPitchWords)
{
    struct Angle {
        const char *text;
        int tenths;
    };
    const Angle angles[] = {{"-12.5", -125}, {"-9.46", -94}, {"12", 120}, {"0.0", 0},
                            {"-0.99", -9},   {"7.25", 72},   {"x", 0},    {"3276.7", 32767},
                            {"3276.8", -32768}};
    for (const Angle &a : angles) {
        Metrics m = read(std::string("ItalicAngle ") + a.text + "\n");
        EXPECT_EQ(m->nItalicAngle, a.tenths) << a.text;
    }

    struct Weight {
        const char *word;
        int weight;
    };
    const Weight weights[] = {{"Light", 300}, {"LightCondensed", 300}, {"Book", 400}, {"Medium", 400},
                              {"Roman", 400}, {"Regular", 400},        {"Italic", 400}, {"MediumCondensed", 400},
                              {"Bold", 700},  {"BoldItalic", 700},     {"Demi", 700}, {"Poster", 700},
                              {"Heavy", 700}, {"Black", 700},          {"BlackCondensed", 700},
                              {"BoldCondensed", 700}, {"Semibold", 400}, {"bold", 400}, {"", 400}};
    for (const Weight &w : weights) {
        Metrics m = read(std::string("Weight ") + w.word + "\n");
        EXPECT_EQ(m->nWeight, w.weight) << w.word;
    }
    EXPECT_EQ(read("FontName X\n")->nWeight, 400);

    EXPECT_EQ(read("IsFixedPitch true\n")->bVariablePitch, 0);
    EXPECT_EQ(read("IsFixedPitch TRUE\n")->bVariablePitch, 1);
    EXPECT_EQ(read("IsFixedPitch false\n")->bVariablePitch, 1);
    EXPECT_EQ(read("FontName X\n")->bVariablePitch, 1); // no IsFixedPitch line: proportional

    EXPECT_EQ(read("FontName Symbol\n")->nCharSet, 2);
    EXPECT_EQ(read("FontName SymbolNeu-Bold\n")->nCharSet, 2);
    EXPECT_EQ(read("FontName ZapfDingbats\n")->nCharSet, 2);
    EXPECT_EQ(read("FontName ZapfDingbats-Bold\n")->nCharSet, 0);
    EXPECT_EQ(read("FontName StandardSymbolsPS\n")->nCharSet, 0);
}

TEST(AfmReader, FixedPitchWidthsFollowTheSpace)
{
    std::string afm = kSmallFont;
    afm.replace(afm.find("IsFixedPitch false"), 18, "IsFixedPitch true");
    Metrics m = read(afm);
    EXPECT_EQ(m->bVariablePitch, 0);
    for (int code = 32; code <= 255; ++code) ASSERT_EQ(m->charMetrics[code].width, 250) << code;
    EXPECT_EQ(m->charMetrics[31].width, 350); // below 32 keeps the bullet
    EXPECT_EQ(m->charMetrics[65].right, 706); // boxes stay
    EXPECT_EQ(m->nAvgWidth, 250);
    EXPECT_EQ(m->nMaxWidth, 250);
}

TEST(AfmReader, CharacterLinesThatStoreNothing)
{
    const std::string afm =
        "StartCharMetrics 6\n"
        "C 65 ; WX 600 ; N Acyrillic ; B 1 2 3 4 ;\n"    // glyph not listed
        "C 66 ; WX 600 ; N B ; B 1 2 3 4 ;\n"
        "CH <43> ; WX 610 ; N C ; B 1 2 3 4 ;\n"
        "C 300 ; WX 700 ; N bullet ; B 0 0 0 0 ;\n"      // the name decides, not the code
        "WX 500 ; N D ; B 1 2 3 4 ;\n"                   // items are taken by position: no width
        "C 69 ; WX 620 ; N E ;\n"                        // no box: zeros
        "EndCharMetrics\n";
    Metrics m = read(afm);
    EXPECT_EQ(m->nCharLines, 6);
    EXPECT_EQ(m->charMetrics[65].width, 700); // the bullet's width
    EXPECT_EQ(m->charMetrics[66].width, 600);
    EXPECT_EQ(m->charMetrics[67].width, 610);
    EXPECT_EQ(m->charMetrics[149].width, 700);
    expect_metrics(m->charMetrics[68], {1, 4, 3, 2, 0}, 68);
    expect_metrics(m->charMetrics[69], {0, 0, 0, 0, 620}, 69);

    // Without a bullet, undefined codes are empty rather than carrying -1.
    Metrics nb = read("StartCharMetrics 1\nC 32 ; WX 278 ; N space ; B 0 0 0 0 ;\nEndCharMetrics\n");
    for (int code = 0; code < 256; ++code)
        if (code != 32 && code != 160) {
            ASSERT_EQ(nb->charMetrics[code].width, 0) << code;
        }
    EXPECT_EQ(nb->nAvgWidth, (278 * 2) / 256);
    EXPECT_EQ(nb->nMaxWidth, 278);

    // Pi font: code by number; 0 and above 255 store nothing.
    const std::string pi_inf = "Pi true\n";
    Metrics pi = read("StartCharMetrics 5\nC 0 ; WX 1 ; N a ; B 0 0 0 0 ;\nC 256 ; WX 2 ; N b ; B 0 0 0 0 ;\n"
                      "C 255 ; WX 3 ; N c ; B 0 0 0 0 ;\nCH <41> ; WX 4 ; N x ; B 0 0 0 0 ;\n"
                      "CH 4a ; WX 5 ; N x ; B 0 0 0 0 ;\n",
                      &pi_inf);
    EXPECT_EQ(pi->charMetrics[255].width, 3);
    EXPECT_EQ(pi->charMetrics[65].width, 4);
    EXPECT_EQ(pi->charMetrics[74].width, 5);
    EXPECT_EQ(pi->charMetrics[0].width, 0);
}

TEST(AfmReader, CharMetricsCountGovernsTheLinesRead)
{
    // Count 2 but three lines: the third line is taken as "EndCharMetrics"
    // and the real one is ignored as an unknown keyword.
    Metrics m = read("StartCharMetrics 2\nC 65 ; WX 1 ; N A ; B 0 0 0 0 ;\nC 66 ; WX 2 ; N B ; B 0 0 0 0 ;\n"
                     "C 67 ; WX 3 ; N C ; B 0 0 0 0 ;\nEndCharMetrics\nFontName After\n");
    EXPECT_EQ(m->nCharLines, 2);
    EXPECT_EQ(m->charMetrics[66].width, 2);
    EXPECT_EQ(m->charMetrics[67].width, 0);
    EXPECT_STREQ(m->szFontName, "After");

    // Count larger than the lines present: reading stops at the end.
    Metrics t = read("StartCharMetrics 99999\nC 65 ; WX 1 ; N A ; B 0 0 0 0 ;\n");
    EXPECT_EQ(t->nCharLines, 1);
    EXPECT_EQ(t->charMetrics[65].width, 1);
}

std::string font_with_kerning(const std::string &kern)
{
    return "FontName K\nStartCharMetrics 0\nEndCharMetrics\nStartKernData\n" + kern + "EndKernData\n"
           "UnderlinePosition -77\nEndFontMetrics\n";
}

TEST(AfmReader, KerningPairsSortedBySecondThenFirstCode)
{
    Metrics m = read(font_with_kerning("StartKernPairs 3\n"
                                       "KPX T o -80\n"
                                       "KPX A V -135\n"
                                       "EndKernPairs\n"));
    ASSERT_EQ(m->nKernPairs, 2);
    EXPECT_EQ(m->kernPairs[0].wKey, 'V' << 8 | 'A');
    EXPECT_EQ(m->kernPairs[0].sAmount, -135);
    EXPECT_EQ(m->kernPairs[1].wKey, 'o' << 8 | 'T');
    EXPECT_EQ(m->kernPairs[1].sAmount, -80);
    EXPECT_EQ(m->nUnderlinePos, -77); // reading goes on after the kerning data

    Metrics s = read(font_with_kerning("StartKernPairs 5\n"
                                       "KPX b a 1\n"
                                       "KPX a b 2\n"
                                       "KPX A b 3\n"
                                       "KPX Acyrillic b 9\n" // not in code page 1252: not kept
                                       "KPX quoteright s -70000\n"
                                       "EndKernPairs\n"));
    ASSERT_EQ(s->nKernPairs, 4);
    const std::uint16_t keys[] = {'a' << 8 | 'b', 'b' << 8 | 'A', 'b' << 8 | 'a', 's' << 8 | 146};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s->kernPairs[i].wKey, keys[i]) << i;
    EXPECT_EQ(s->kernPairs[3].sAmount, static_cast<std::int16_t>(-70000));

    // Announcing fewer pairs than present: the extra KPX line is taken as the
    // closing line and the rest ignored.
    Metrics f = read(font_with_kerning("StartKernPairs 1\nKPX A V -1\nKPX A W -2\nKPX A Y -3\nEndKernPairs\n"));
    ASSERT_EQ(f->nKernPairs, 1);
    EXPECT_EQ(f->nUnderlinePos, -77);

    // KPX outside kerning data is ignored.
    Metrics o = read("KPX A V -50\nStartKernPairs 1\nKPX A V -50\n");
    EXPECT_EQ(o->nKernPairs, 0);
}

TEST(AfmReader, KerningKeepsTheFirst1024Pairs)
{
    std::string kern = "StartKernPairs 1100\n";
    const char *letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    int n = 0;
    for (int i = 0; i < 52 && n < 1100; ++i)
        for (int j = 0; j < 52 && n < 1100; ++j, ++n)
            kern += std::string("KPX ") + letters[i] + " " + letters[j] + " " + std::to_string(-n) + "\n";
    kern += "EndKernPairs\n";
    Metrics m = read(font_with_kerning(kern));
    ASSERT_EQ(m->nKernPairs, 1024);
    for (int i = 1; i < m->nKernPairs; ++i) ASSERT_LT(m->kernPairs[i - 1].wKey, m->kernPairs[i].wKey);
    // Pair 1023 (the last kept) is letters[19] letters[35]; pair 1024 is dropped.
    bool has_last = false, has_dropped = false;
    for (int i = 0; i < m->nKernPairs; ++i) {
        if (m->kernPairs[i].sAmount == -1023) has_last = true;
        if (m->kernPairs[i].sAmount == -1024) has_dropped = true;
    }
    EXPECT_TRUE(has_last);
    EXPECT_FALSE(has_dropped);
    EXPECT_EQ(m->nUnderlinePos, -77);
}

TEST(AfmReader, LineAndWordHandling)
{
    // CR-only line ends, blank lines, leading tabs, a long FontName cut to 79.
    const std::string name(120, 'N');
    Metrics m = read("\r\n\r\n\t  FontName " + name + "\r\r\t\tWeight\tLight\rCapHeight\t 700\r");
    EXPECT_EQ(std::string(m->szFontName), name.substr(0, 79));
    EXPECT_EQ(m->nWeight, 300);
    EXPECT_EQ(m->nCapHeight, 700);

    // A line over 255 characters is cut there; its rest is not a new line.
    Metrics l = read("Comment " + std::string(300, 'x') + " CapHeight 9\nAscender 5\n");
    EXPECT_EQ(l->nCapHeight, 0);
    EXPECT_EQ(l->nAscender, 5);

    // Keywords match whole words exactly; "FontName;" is another word.
    EXPECT_STREQ(read("FontNameX Y\nfontname Z\n")->szFontName, "");
    // Fractions are read and dropped.
    Metrics f = read("FontBBox -168.5 -218.25 1000.9 898\n");
    EXPECT_EQ(f->rcFontBBox.left, -168);
    EXPECT_EQ(f->rcFontBBox.bottom, -218);
    EXPECT_EQ(f->rcFontBBox.right, 1000);
    EXPECT_EQ(f->rcFontBBox.top, 898);
    // EndFontMetrics stops reading.
    EXPECT_EQ(read("EndFontMetrics\nCapHeight 5\n")->nCapHeight, 0);
    // An embedded NUL ends its line.
    EXPECT_STREQ(read(std::string("FontName Ab\0cd\nWeight Bold\n", 27))->szFontName, "Ab");
}

TEST(AfmReader, PpdsAverageWidthWeighsLetters)
{
    Metrics m = read("FontName X\n");
    for (KxAfmCharMetrics &cm : m->charMetrics) cm.width = 0;
    for (int c = 'a'; c <= 'z'; ++c) m->charMetrics[c].width = 500;
    m->charMetrics[' '].width = 250;
    EXPECT_EQ(afm_average_width(*m, AfmAverage::Ppds), (500 * 834 + 250 * 166) / 1000);
    m->charMetrics['e'].width = 1000; // e counts 100 per thousand
    EXPECT_EQ(afm_average_width(*m, AfmAverage::Ppds), (500 * 734 + 1000 * 100 + 250 * 166) / 1000);
    // Kept as an unsigned 16-bit value.
    for (int c = 'a'; c <= 'z'; ++c) m->charMetrics[c].width = 100000;
    EXPECT_EQ(afm_average_width(*m, AfmAverage::Ppds), static_cast<std::uint16_t>((100000 * 834 + 250 * 166) / 1000));
}

TEST(AfmReader, SizeLimitChecksInfFirst)
{
    std::vector<std::uint8_t> at_limit(kAfmMaxFileBytes, ' ');
    std::memcpy(at_limit.data(), "FontName Big\n", 13);
    std::vector<std::uint8_t> over(kAfmMaxFileBytes + 1, ' ');
    const std::string small = "FontName Small\n";
    std::span<const std::uint8_t> over_span(over);
    std::span<const std::uint8_t> small_span = bytes(small);

    auto m = std::make_unique<KxAfmMetrics>();
    EXPECT_EQ(read_afm_bytes(at_limit, nullptr, "p", *m), 0);
    EXPECT_STREQ(m->szFontName, "Big");
    EXPECT_EQ(read_afm_bytes(over, nullptr, "p", *m), 37);
    EXPECT_EQ(read_afm_bytes(small_span, &over_span, "p", *m), 37);
    EXPECT_STREQ(m->szFontName, ""); // the INF failed before the AFM was read
    EXPECT_EQ(read_afm_bytes(over, &small_span, "p", *m), 37);

    // The same through streams.
    kxtest::TempDir dir;
    kxtest::write_bytes(dir.file("over.afm"), over);
    kxtest::write_text(dir.file("small.afm"), small);
    std::FILE *big = std::fopen(dir.file("over.afm").c_str(), "rb");
    std::FILE *ok = std::fopen(dir.file("small.afm").c_str(), "rb");
    ASSERT_TRUE(big && ok);
    EXPECT_EQ(read_afm(big, nullptr, "p", *m), 37);
    EXPECT_EQ(read_afm(ok, big, "p", *m), 37);
    EXPECT_EQ(read_afm(ok, nullptr, nullptr, *m), 0);
    EXPECT_STREQ(m->szFontName, "Small");
    EXPECT_STREQ(m->szSourcePath, "");
    std::fclose(big);
    std::fclose(ok);
}

// A stream opened for writing only cannot be read: a read error, not success.
TEST(AfmReader, UnreadableStreamIsAReadError)
{
    kxtest::TempDir dir;
    std::FILE *w = std::fopen(dir.file("w.afm").c_str(), "wb");
    ASSERT_TRUE(w);
    std::fputs("FontName W\n", w);
    auto m = std::make_unique<KxAfmMetrics>();
    EXPECT_EQ(read_afm(w, nullptr, "p", *m), 6);
    std::fclose(w);
}

TEST(AfmReader, GlyphNameTable)
{
    EXPECT_EQ(glyph_code("space"), 32);
    EXPECT_EQ(glyph_code("circumflex"), 94);
    EXPECT_EQ(glyph_code("tilde"), 126);
    EXPECT_EQ(glyph_code("quotesinglbase"), 130);
    EXPECT_EQ(glyph_code("Ydieresis"), 159);
    EXPECT_EQ(glyph_code("spacerequired"), 160);
    EXPECT_EQ(glyph_code("hyphensyllable"), 173);
    EXPECT_EQ(glyph_code("overline"), 175);
    EXPECT_EQ(glyph_code("micro"), 181);
    EXPECT_EQ(glyph_code("ydieresis"), 255);
    EXPECT_EQ(glyph_code("macron"), 0);
    EXPECT_EQ(glyph_code("Euro"), 0);
    EXPECT_EQ(glyph_code("A;"), 0);
    EXPECT_EQ(glyph_code(""), 0);
    // Codes rise through the table; 136 and 152 repeat earlier names.
    for (std::size_t i = 1; i < kGlyphNames; ++i)
        EXPECT_LT(kGlyphNameTable[i - 1].code, kGlyphNameTable[i].code) << kGlyphNameTable[i].name;
    int unreachable = 0;
    for (const GlyphName &g : kGlyphNameTable) unreachable += glyph_code(g.name) != g.code;
    EXPECT_EQ(unreachable, 2);
}

struct RealFont {
    const char *file;
    const char *name;
    int weight;
    int angle;
    int variable;
    KxAfmRect bbox;
    int kern_pairs;
};

// Real URW fonts: values read off the files by hand; the full comparison
// with an independent AFM parser runs as fonts_metrics_afmlib.
TEST(AfmReader, RealUrwFonts)
{
    const RealFont fonts[] = {
        {"NimbusSans-Regular.afm", "NimbusSans-Regular", 400, 0, 1, {-210, 1075, 1032, -299}, 1024},
        {"NimbusRoman-Italic.afm", "NimbusRoman-Italic", 400, -150, 1, {-169, 951, 1085, -270}, 1024},
        {"NimbusMonoPS-Regular.afm", "NimbusMonoPS-Regular", 400, 0, 0, {-161, 933, 761, -317}, 0},
        {"StandardSymbolsPS.afm", "StandardSymbolsPS", 400, 0, 1, {-180, 1010, 1090, -293}, 0},
    };
    for (const RealFont &f : fonts) {
        std::string path = kxtest::data_path(std::string("afm/") + f.file);
        std::FILE *fp = std::fopen(path.c_str(), "rb");
        ASSERT_TRUE(fp) << path;
        auto m = std::make_unique<KxAfmMetrics>();
        EXPECT_EQ(read_afm(fp, nullptr, path.c_str(), *m), 0);
        std::fclose(fp);
        EXPECT_STREQ(m->szFontName, f.name);
        EXPECT_EQ(m->nWeight, f.weight) << f.file;
        EXPECT_EQ(m->nItalicAngle, f.angle) << f.file;
        EXPECT_EQ(m->bVariablePitch, f.variable) << f.file;
        EXPECT_EQ(m->rcFontBBox.left, f.bbox.left) << f.file;
        EXPECT_EQ(m->rcFontBBox.top, f.bbox.top) << f.file;
        EXPECT_EQ(m->rcFontBBox.right, f.bbox.right) << f.file;
        EXPECT_EQ(m->rcFontBBox.bottom, f.bbox.bottom) << f.file;
        EXPECT_EQ(m->nKernPairs, f.kern_pairs) << f.file;
    }
}

// Truncated copies of a real font and random garbage read without failing
// and without touching memory outside the image (the sanitizer build checks).
TEST(AfmReader, TruncatedAndGarbageInput)
{
    kxtest::Bytes real = kxtest::read_bytes(kxtest::data_path("afm/NimbusMonoPS-Regular.afm"));
    ASSERT_GT(real.size(), 40000u);
    auto m = std::make_unique<KxAfmMetrics>();
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{17}, std::size_t{600}, std::size_t{1234},
                            real.size() / 2, real.size() - 1}) {
        std::span<const std::uint8_t> part(real.data(), cut);
        ASSERT_EQ(read_afm_bytes(part, &part, "t", *m), 0) << cut;
        for (const KxAfmCharMetrics &cm : m->charMetrics) ASSERT_GE(cm.width, 0) << cut;
    }
    std::mt19937 rng(7);
    std::vector<std::uint8_t> junk(5000);
    const char *alphabet = "CWXNB ;-0123456789\n\r\tKPXStartCharMetrics StartKernData ";
    for (int round = 0; round < 200; ++round) {
        for (auto &b : junk)
            b = round % 2 ? static_cast<std::uint8_t>(rng()) : static_cast<std::uint8_t>(alphabet[rng() % 55]);
        std::span<const std::uint8_t> s(junk);
        ASSERT_EQ(read_afm_bytes(s, &s, "g", *m), 0);
        ASSERT_LE(m->nKernPairs, 1024);
        ASSERT_EQ(m->szFontName[79], '\0');
        ASSERT_EQ(m->szMenuName[79], '\0');
    }
}

} // namespace
} // namespace kx::fonts
