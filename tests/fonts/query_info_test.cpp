// KxFonQueryInfo through the exported interface: screening, every format,
// the companion rules of the query modes, and real fonts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "common/test_support.h"
#include "font_builders.h"
#include "fonts/afm_reader.h"
#include "kxapi.h"

namespace {

namespace fs = std::filesystem;
using fontgen::Bytes;

struct Query {
    int rc;
    KxFontInfo info;
};

Query query(const std::string &path, int mode = 0, int metrics = 1)
{
    Query q{};
    std::memset(&q.info, 0x5A, sizeof q.info); // the call must clear it
    q.rc = KxFonQueryInfo(path.c_str(), &q.info, mode, metrics);
    return q;
}

void copy_fixture(const std::string &rel, const std::string &to)
{
    fs::copy_file(kxtest::data_path(rel), to, fs::copy_options::overwrite_existing);
}

std::uint32_t size_of(const std::string &path) { return static_cast<std::uint32_t>(fs::file_size(path)); }

TEST(FonQueryInfo, ArgumentsAndScreening)
{
    kxtest::TempDir dir;
    KxFontInfo info;
    EXPECT_EQ(KxFonQueryInfo(nullptr, &info, 0, 1), 1);
    EXPECT_EQ(KxFonQueryInfo("x.pfb", nullptr, 0, 1), 1);
    EXPECT_EQ(query(std::string(261, 'a')).rc, 1);
    EXPECT_EQ(query(dir.path() + "/" + std::string(260 - dir.path().size() - 1, 'a')).rc, 2); // exactly 260
    EXPECT_EQ(query(dir.file("missing.pfb")).rc, 2);

    // A PCL soft font is refused for an excluded extension, found by content otherwise.
    Bytes pcl = fontgen::pcl_soft_font({});
    for (const char *name : {"font.txt", "font.CFG", "font.ff", "font.TYP", "font.me", "font.bat", "font.cmd",
                             "font.com", "font.exe", "font.exe1"}) {
        kxtest::write_bytes(dir.file(name), pcl);
        EXPECT_EQ(query(dir.file(name)).rc, 27) << name;
    }
    kxtest::write_bytes(dir.file("font.sfp"), pcl);
    Query q = query(dir.file("font.sfp"));
    EXPECT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_PCL_BITMAP));
    EXPECT_TRUE(q.info.pNameList == nullptr);

    // Unknown extension, not a soft font.
    kxtest::write_text(dir.file("notes.doc"), "hello");
    EXPECT_EQ(query(dir.file("notes.doc")).rc, 27);

    // No "." at all (the temporary directory's own name has one, so go inside it).
    kxtest::write_bytes(dir.file("plainfont"), pcl);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    EXPECT_EQ(query("plainfont").rc, 1);
    // The "." of "./" starts the extension "/PL", which sends the file to the content test.
    EXPECT_EQ(query("./plainfont").rc, 0);
    ASSERT_EQ(chdir(cwd), 0);

    // The only "." in a directory name gives the extension.
    fs::create_directory(dir.file("set.pfa"));
    kxtest::write_text(dir.file("set.pfa/font"), "%!PS-AdobeFont-1.0\n/FontName /InDir def\n");
    q = query(dir.file("set.pfa/font"));
    EXPECT_EQ(q.rc, 0);
    EXPECT_STREQ(q.info.szDescription, "InDir");
}

TEST(FonQueryInfo, ExtensionOnlyFormats)
{
    kxtest::TempDir dir;
    for (const char *name : {"Arial.ttf", "Arial.fot", "Metric.TFM"}) kxtest::write_text(dir.file(name), "x");

    Query q = query(dir.file("Arial.ttf"), 0, 0);
    EXPECT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.dwFlags, 0x03u);
    EXPECT_EQ(q.info.nFontClass, static_cast<std::uint32_t>(FONT_CLASS_TRUETYPE));
    EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_TRUETYPE_FILE));
    EXPECT_STREQ(q.info.szDescription, "Arial");
    EXPECT_EQ(q.info.dwFileSize, 1u);
    EXPECT_EQ(q.info.dwMemoryNeeded, 0u);

    q = query(dir.file("Arial.fot"), 0, 1);
    EXPECT_EQ(q.rc, 27);
    EXPECT_EQ(q.info.nFontClass, static_cast<std::uint32_t>(FONT_CLASS_METRICS));
    EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_TRUETYPE_FILE));

    q = query(dir.file("Metric.TFM"), 0, 1);
    EXPECT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.dwFlags, 0x03u);
    EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_TFM));
    EXPECT_STREQ(q.info.szDescription, "Metric");
    EXPECT_EQ(query(dir.file("Metric.TFM"), 0, 0).rc, 27);
}

TEST(FonQueryInfo, RealType1Fonts)
{
    kxtest::TempDir dir;
    struct Row {
        const char *fixture;
        const char *as;
        std::uint32_t flags;
        std::uint32_t memory_permille; // x 10000
        const char *name;
    };
    const Row rows[] = {
        {"type1/NimbusMonoPS-Regular.pfb", "mono.pfb", 0x2B, 11531, "NimbusMonoPS-Regular"},
        {"type1/StandardSymbolsPS.pfb", "SYMBOL.PFB", 0x29, 11531, "StandardSymbolsPS"},
        {"type1/NimbusMonoPS-Regular.pfa", "mono.pfa", 0x2A, 5172, "NimbusMonoPS-Regular"},
        {"type1/StandardSymbolsPS.pfa", "symbol.pfab", 0x2A, 5172, "StandardSymbolsPS"},
    };
    for (const auto &r : rows) {
        std::string path = dir.file(r.as);
        copy_fixture(r.fixture, path);
        Query q = query(path);
        ASSERT_EQ(q.rc, 0) << r.as;
        EXPECT_EQ(q.info.dwFlags, r.flags) << r.as;
        EXPECT_EQ(q.info.nFontClass, static_cast<std::uint32_t>(FONT_CLASS_DOWNLOADABLE));
        EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_TYPE1));
        EXPECT_STREQ(q.info.szDescription, r.name);
        EXPECT_EQ(q.info.dwFileSize, size_of(path));
        EXPECT_EQ(q.info.dwMemoryNeeded, static_cast<std::uint32_t>(size_of(path) * (r.memory_permille / 10000.0)));
        EXPECT_STREQ(q.info.szCompanion, "");
        EXPECT_STREQ(q.info.szIdentifiers, "");
    }
}

// Every URW base 35 font as Debian ships it (binary Type 1 named .t1, AFM
// beside it): identified as a PFB under that extension, its name is the
// AFM's FontName and the AFM is found as its companion.
TEST(FonQueryInfo, UrwBase35Fonts)
{
    const fs::path urw = "/usr/share/fonts/type1/urw-base35";
    if (!fs::is_directory(urw)) GTEST_SKIP() << "fonts-urw-base35 is not installed";
    kxtest::TempDir dir;
    int seen = 0;
    for (const auto &e : fs::directory_iterator(urw)) {
        if (e.path().extension() != ".t1") continue;
        fs::path afm = e.path();
        afm.replace_extension(".afm");
        if (!fs::exists(afm)) continue;
        std::string stem = e.path().stem().string();
        std::string pfb = dir.file(stem + ".pfb");
        fs::create_symlink(e.path(), pfb);
        fs::create_symlink(afm, dir.file(stem + ".AFM"));
        std::string font_name;
        std::istringstream afm_text(kxtest::read_text(afm.string()));
        for (std::string line; std::getline(afm_text, line);) {
            if (line.rfind("FontName ", 0) == 0) {
                font_name = line.substr(9);
                while (!font_name.empty() && (font_name.back() == '\r' || font_name.back() == ' ')) font_name.pop_back();
                break;
            }
        }
        Query q = query(pfb, 2, 0);
        ASSERT_EQ(q.rc, 0) << stem;
        EXPECT_EQ(q.info.szDescription, font_name) << stem;
        EXPECT_EQ(q.info.szCompanion, dir.file(stem + ".AFM")) << stem;
        EXPECT_EQ(q.info.szCompanion2, dir.file(stem + ".PFM")) << stem;
        // The symbol and dingbat fonts carry their own encodings.
        bool symbolic = stem == "StandardSymbolsPS" || stem == "D050000L";
        EXPECT_EQ(q.info.dwFlags, symbolic ? 0x29u : 0x2Bu) << stem;
        ++seen;
    }
    EXPECT_EQ(seen, 35);
}

TEST(FonQueryInfo, MemoryEstimatesOfSmallFiles)
{
    kxtest::TempDir dir;
    auto padded = [](std::string s) {
        s.resize(100, ' ');
        return s;
    };
    kxtest::write_text(dir.file("a.pfa"), padded("/FontName /A def\n"));
    kxtest::write_text(dir.file("a.pfb"), padded("/FontName /A def\n"));
    Bytes pcl = fontgen::pcl_soft_font({});
    pcl.resize(100, 0);
    kxtest::write_bytes(dir.file("a.sfp"), pcl);
    fontgen::Dlf d;
    Bytes dlf = fontgen::dlf_font(d);
    dlf.resize(100, 0);
    kxtest::write_bytes(dir.file("a.dlf"), dlf);
    EXPECT_EQ(query(dir.file("a.pfa")).info.dwMemoryNeeded, 51u);
    EXPECT_EQ(query(dir.file("a.pfb")).info.dwMemoryNeeded, 115u);
    EXPECT_EQ(query(dir.file("a.sfp")).info.dwMemoryNeeded, 420u);
    EXPECT_EQ(query(dir.file("a.dlf")).info.dwMemoryNeeded, 420u);
    // A PFB without an Encoding entry is not standard-encoded.
    EXPECT_EQ(query(dir.file("a.pfb")).info.dwFlags, 0x29u);
}

TEST(FonQueryInfo, Type1CompanionRules)
{
    kxtest::TempDir dir;
    std::string font = dir.file("font.pfb");
    copy_fixture("type1/NimbusMonoPS-Regular.pfb", font);
    struct Row {
        int mode;
        bool pfm, inf, afm;
        int rc;
        const char *companion;  // file name or ""
        const char *companion2;
    };
    // Companions are spelled in capitals on disk: the lookup ignores case.
    const Row rows[] = {
        {0, true, true, true, 0, "", ""},
        {1, true, true, true, 0, "", ""},
        {2, false, false, false, 32, "", ""},
        {2, false, false, true, 0, "FONT.AFM", "font.PFM"},
        {2, true, false, true, 0, "FONT.AFM", "FONT.PFM"},
        {4, true, false, false, 0, "", "FONT.PFM"},
        {4, false, false, true, 32, "", ""},
        {4, false, true, false, 32, "", ""},
        {4, false, true, true, 0, "FONT.AFM", "font.PFM"},
        {5, false, false, false, 0, "", ""},
        {5, false, true, false, 0, "", ""},
        {5, true, true, true, 0, "", "FONT.PFM"},
        {5, false, true, true, 0, "FONT.AFM", "font.PFM"},
    };
    for (const auto &r : rows) {
        for (const char *name : {"FONT.PFM", "FONT.INF", "FONT.AFM"}) fs::remove(dir.file(name));
        if (r.pfm) copy_fixture("pfm/NimbusMonoPS-Regular.pfm", dir.file("FONT.PFM"));
        if (r.inf) kxtest::write_text(dir.file("FONT.INF"), "MSMenuName (Mono)\n");
        if (r.afm) copy_fixture("type1/NimbusMonoPS-Regular.afm", dir.file("FONT.AFM"));
        Query q = query(font, r.mode);
        std::string where = "mode " + std::to_string(r.mode) + " pfm " + std::to_string(r.pfm) + " inf " +
                            std::to_string(r.inf) + " afm " + std::to_string(r.afm);
        EXPECT_EQ(q.rc, r.rc) << where;
        EXPECT_STREQ(q.info.szDescription, "NimbusMonoPS-Regular") << where;
        EXPECT_EQ(q.info.szCompanion, *r.companion ? dir.file(r.companion) : std::string()) << where;
        EXPECT_EQ(q.info.szCompanion2, *r.companion2 ? dir.file(r.companion2) : std::string()) << where;
    }
}

TEST(FonQueryInfo, AfmWithItsCompanions)
{
    kxtest::TempDir dir;
    std::string afm = dir.file("mono.afm");
    copy_fixture("type1/NimbusMonoPS-Regular.afm", afm);
    EXPECT_EQ(query(afm, 0, 0).rc, 27);

    Query q = query(afm, 0);
    EXPECT_EQ(q.rc, 32); // no PFB beside it
    EXPECT_STREQ(q.info.szDescription, "NimbusMonoPS-Regular");
    EXPECT_EQ(q.info.dwFlags, 0x0Au);
    EXPECT_EQ(q.info.nFontClass, static_cast<std::uint32_t>(FONT_CLASS_AFM));
    EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_TYPE1));

    copy_fixture("type1/NimbusMonoPS-Regular.pfb", dir.file("Mono.PFB"));
    q = query(afm, 2);
    EXPECT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.szCompanion, dir.file("Mono.PFB"));
    EXPECT_STREQ(q.info.szIdentifiers, "");
    EXPECT_EQ(q.info.dwMemoryNeeded, 0u);

    // Modes 4 and 5 need the INF.
    q = query(afm, 4);
    EXPECT_EQ(q.rc, 32);
    EXPECT_EQ(q.info.dwFlags, 0x02u);
    EXPECT_STREQ(q.info.szDescription, "");
    q = query(afm, 5);
    EXPECT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.dwFlags, 0x02u);
    EXPECT_EQ(q.info.dwFileSize, size_of(afm));
    EXPECT_STREQ(q.info.szDescription, "");

    kxtest::write_text(dir.file("MONO.inf"), "MSMenuName (Mono PS)\nVPStyle (T)\nSerif false\nPi false\n");
    q = query(afm, 4);
    EXPECT_EQ(q.rc, 0);
    EXPECT_STREQ(q.info.szIdentifiers, "Mono PSBOLDITALIC");
    EXPECT_STREQ(q.info.szDescription, "NimbusMonoPS-Regular");
}

TEST(FonQueryInfo, AfmLimitsAndEmptyNames)
{
    kxtest::TempDir dir;
    std::string afm = dir.file("big.afm");
    std::string body = "StartFontMetrics 2.0\nFontName Big\n";
    body.resize(kx::fonts::kAfmMaxFileBytes + 1, ' ');
    kxtest::write_text(afm, body);
    EXPECT_EQ(query(afm).rc, 37);
    body.resize(kx::fonts::kAfmMaxFileBytes);
    kxtest::write_text(afm, body);
    EXPECT_EQ(query(afm).rc, 32); // read; no PFB beside it

    kxtest::write_text(dir.file("noname.afm"), "StartFontMetrics 2.0\nWeight Bold\nEndFontMetrics\n");
    EXPECT_EQ(query(dir.file("noname.afm")).rc, 27);
}

TEST(FonQueryInfo, PpdsFontsAndMetrics)
{
    kxtest::TempDir dir;
    fontgen::Dlf d;
    kxtest::write_bytes(dir.file("courier.dlf"), fontgen::dlf_font(d));
    Query q = query(dir.file("courier.dlf"), 0, 0);
    EXPECT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.dwFlags, 0x0Bu);
    EXPECT_EQ(q.info.nFontClass, static_cast<std::uint32_t>(FONT_CLASS_DOWNLOADABLE));
    EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_DLF));
    EXPECT_STREQ(q.info.szDescription, "Courier                Typo  10.0 point  cp: 850 ");
    EXPECT_EQ(query(dir.file("courier.dlf"), 2).rc, 32);

    kxtest::write_bytes(dir.file("COURIER.FMF"), fontgen::fmf_file("Courier 10 cpi"));
    q = query(dir.file("courier.dlf"), 2);
    EXPECT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.szCompanion, dir.file("COURIER.FMF"));

    q = query(dir.file("COURIER.FMF"));
    EXPECT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.dwFlags, 0x2Bu);
    EXPECT_EQ(q.info.nFontClass, static_cast<std::uint32_t>(FONT_CLASS_METRICS));
    EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_FMF));
    EXPECT_STREQ(q.info.szDescription, "Courier 10 cpi");
    EXPECT_EQ(q.info.szCompanion, dir.file("courier.dlf"));
    EXPECT_EQ(q.info.szCompanion2, dir.file("courier.dlf"));
    EXPECT_EQ(query(dir.file("COURIER.FMF"), 0, 0).rc, 27);

    kxtest::write_bytes(dir.file("short.fmf"), fontgen::fmf_file("Short", 199));
    EXPECT_EQ(query(dir.file("short.fmf")).rc, 27);
    kxtest::write_bytes(dir.file("bad.dlf"), Bytes{0x1B, '=', 0, 0});
    EXPECT_EQ(query(dir.file("bad.dlf")).rc, 27);
}

TEST(FonQueryInfo, PrinterFontMetrics)
{
    kxtest::TempDir dir;
    for (const char *ext : {"pfm", "PSM", "pbm"}) {
        std::string path = dir.file(std::string("roman.") + ext);
        copy_fixture("pfm/NimbusRoman-Italic.pfm", path);
        Query q = query(path);
        EXPECT_EQ(q.rc, 0) << ext;
        EXPECT_EQ(q.info.dwFlags, 0x2Bu);
        EXPECT_EQ(q.info.nFontClass, static_cast<std::uint32_t>(FONT_CLASS_METRICS));
        EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_PFM));
        EXPECT_STREQ(q.info.szDescription, "Nimbus Roman (It)");
        EXPECT_EQ(query(path, 0, 0).rc, 27);
    }
    fontgen::Pfm empty_name;
    empty_name.name = "";
    kxtest::write_bytes(dir.file("empty.pfm"), fontgen::pfm_file(empty_name));
    EXPECT_EQ(query(dir.file("empty.pfm")).rc, 27);
}

TEST(FonQueryInfo, CartridgeMetricsNameList)
{
    kxtest::TempDir dir;
    auto face = [](std::string name, std::uint8_t italic) {
        fontgen::Pfm p;
        p.name = std::move(name);
        p.italic = italic;
        return fontgen::pfm_file(p);
    };
    kxtest::write_bytes(dir.file("cart.pcm"),
                        fontgen::pcm_file("Office Cartridge", {face("Courier", 0), face("Courier", 1)}));
    Query q = query(dir.file("cart.pcm"));
    ASSERT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.dwFlags, 0x03u);
    EXPECT_EQ(q.info.nFontClass, static_cast<std::uint32_t>(FONT_CLASS_METRICS));
    EXPECT_EQ(q.info.nFontFormat, static_cast<std::uint32_t>(FORMAT_PCM));
    EXPECT_STREQ(q.info.szDescription, "Office Cartridge");
    std::vector<std::string> names;
    for (KxFontName *n = q.info.pNameList; n; n = n->pNext) names.push_back(n->pszText);
    EXPECT_EQ(names, (std::vector<std::string>{"Office Cartridge", "Courier", "Courier (It)"}));
    // Released node by node with the library's own release call.
    for (KxFontName *n = q.info.pNameList; n;) {
        KxFontName *next = n->pNext;
        KxMemFree(n->pszText);
        KxMemFree(n);
        n = next;
    }
    EXPECT_EQ(query(dir.file("cart.pcm"), 0, 0).rc, 27);

    kxtest::write_bytes(dir.file("untitled.pcm"), fontgen::pcm_file("", {face("Courier", 0)}));
    q = query(dir.file("untitled.pcm"));
    EXPECT_EQ(q.rc, 27);
    EXPECT_TRUE(q.info.pNameList == nullptr);
}

TEST(FonQueryInfo, RealPclSoftFonts)
{
    kxtest::TempDir dir;
    struct Row {
        const char *fixture;
        std::uint32_t format;
        std::uint32_t flags;
        std::uint16_t resolution;
    };
    const Row rows[] = {
        {"pcl/dvilj2p-cmr10.sfp", FORMAT_PCL_BITMAP, 0x07, 0},
        {"pcl/ghostpdl-bitfont-Uncial.sfp", FORMAT_PCL_BITMAP, 0x07, 0},
        {"pcl/okidriver-prn-id3.sfp", FORMAT_PCL_RES_BITMAP, 0x07, 600},
    };
    for (const auto &r : rows) {
        std::string path = dir.file(fs::path(r.fixture).filename().string());
        copy_fixture(r.fixture, path);
        Query q = query(path);
        ASSERT_EQ(q.rc, 0) << r.fixture;
        EXPECT_EQ(q.info.nFontFormat, r.format) << r.fixture;
        EXPECT_EQ(q.info.dwFlags & ~static_cast<std::uint32_t>(FONT_PROPORTIONAL), 0x03u) << r.fixture;
        EXPECT_EQ(q.info.nFontClass, static_cast<std::uint32_t>(FONT_CLASS_DOWNLOADABLE));
        EXPECT_EQ(q.info.wYResolution, r.resolution);
        EXPECT_EQ(q.info.dwMemoryNeeded, size_of(path) + 320);
    }
    // Scalable soft fonts carry the Type 1-like flags.
    fontgen::PclFont scalable;
    scalable.format = 15;
    scalable.size = 72;
    scalable.spacing = 1;
    kxtest::write_bytes(dir.file("tt.sft"), fontgen::pcl_soft_font(scalable));
    Query q = query(dir.file("tt.sft"));
    EXPECT_EQ(q.rc, 0);
    EXPECT_EQ(q.info.dwFlags, 0x2Fu);
}

TEST(FonQueryInfo, TruncatedAndGarbageFilesOfEveryFormat)
{
    kxtest::TempDir dir;
    fontgen::Pfm pfm;
    std::vector<std::pair<std::string, Bytes>> files = {
        {"a.pfb", kxtest::read_bytes(kxtest::data_path("type1/StandardSymbolsPS.pfb"))},
        {"a.pfa", kxtest::read_bytes(kxtest::data_path("type1/StandardSymbolsPS.pfa"))},
        {"a.afm", kxtest::read_bytes(kxtest::data_path("type1/StandardSymbolsPS.afm"))},
        {"a.pfm", fontgen::pfm_file(pfm)},
        {"a.pcm", fontgen::pcm_file("T", {fontgen::pfm_file(pfm)})},
        {"a.dlf", fontgen::dlf_font({})},
        {"a.fmf", fontgen::fmf_file("F")},
        {"a.sfp", kxtest::read_bytes(kxtest::data_path("pcl/dvilj4-600-cmr10.sfp"))},
    };
    for (const auto &[name, full] : files) {
        ASSERT_FALSE(full.empty()) << name;
        std::string path = dir.file(name);
        // Every prefix length near the headers, then a few further on.
        std::vector<std::size_t> cuts;
        for (std::size_t n = 0; n < 140 && n < full.size(); ++n) cuts.push_back(n);
        for (std::size_t n = 140; n < full.size(); n += full.size() / 7 + 1) cuts.push_back(n);
        for (std::size_t n : cuts) {
            kxtest::write_bytes(path, Bytes(full.begin(), full.begin() + static_cast<long>(n)));
            Query q = query(path, 5);
            EXPECT_TRUE(q.rc == 0 || q.rc == 27 || q.rc == 32 || q.rc == 37) << name << " cut " << n << ": " << q.rc;
            for (KxFontName *node = q.info.pNameList; node;) {
                KxFontName *next = node->pNext;
                KxMemFree(node->pszText);
                KxMemFree(node);
                node = next;
            }
        }
        // Garbage of the same size (an FMF file has nothing to check but its
        // size, so any 200 bytes with text at 56 name a font).
        Bytes junk(full.size());
        for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<std::uint8_t>(i * 131 + 7);
        kxtest::write_bytes(path, junk);
        EXPECT_EQ(query(path).rc, name == "a.fmf" ? 0 : 27) << name;
    }
}

} // namespace
