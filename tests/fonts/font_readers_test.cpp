// The readers behind identification: PFM header check and face name, the PCM
// walk, the DLF listing line and FMF name, the Type 1 name scans and the INF
// menu name, and the path helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "common/test_support.h"
#include "font_builders.h"
#include "fonts/dlf_reader.h"
#include "fonts/identify.h"
#include "fonts/pcm_reader.h"
#include "fonts/pfm_reader.h"
#include "fonts/type1_names.h"

namespace {

using fontgen::Bytes;

// A stream holding the given bytes, read from its start.
struct MemStream {
    explicit MemStream(const Bytes &b) : fp(std::tmpfile())
    {
        if (!b.empty()) std::fwrite(b.data(), 1, b.size(), fp);
        std::rewind(fp);
    }
    ~MemStream() { std::fclose(fp); }
    std::FILE *fp;
};

Bytes text(std::string_view s) { return kxtest::bytes_of(s); }

// ---- PFM ----

TEST(PfmReader, HeaderCheck)
{
    struct Row {
        const char *what;
        fontgen::Pfm pfm;
        std::uint64_t file_size; // 0: the image's size
        int rc;
    };
    auto pfm = [](auto change) {
        fontgen::Pfm p;
        change(p);
        return p;
    };
    const Row rows[] = {
        {"sized", pfm([](auto &) {}), 0, 0},
        {"255 bytes", pfm([](auto &p) { p.bytes = 255; p.face = 150; }), 0, 27},
        {"256 bytes", pfm([](auto &p) { p.bytes = 256; p.face = 150; }), 0, 0},
        {"dfSize differs", pfm([](auto &p) { p.size = 299; }), 0, 27},
        {"dfFace 34", pfm([](auto &p) { p.face = 34; }), 0, 27},
        {"dfFace 35", pfm([](auto &p) { p.face = 35; }), 0, 0},
        {"dfFace 2047", pfm([](auto &p) { p.face = 2047; p.bytes = 2100; }), 0, 0},
        {"dfFace 2048", pfm([](auto &p) { p.face = 2048; p.bytes = 2100; }), 0, 27},
        // A file 32 bytes longer than dfSize with no extension block: dfFace is
        // not range-checked, but it must still lie inside what was read.
        {"trailer", pfm([](auto &p) { p.size = 268; p.extension_word = 0; p.face = 250; }), 0, 0},
        {"trailer, face outside", pfm([](auto &p) { p.size = 268; p.extension_word = 0; p.face = 300; }), 0, 27},
        {"trailer, huge face", pfm([](auto &p) { p.size = 268; p.extension_word = 0; p.face = 0xFFFFFFF0; }), 0, 27},
        {"trailer, extension word set", pfm([](auto &p) { p.size = 268; p.face = 250; }), 0, 27},
        {"face past a short file", pfm([](auto &p) { p.bytes = 300; p.face = 1000; }), 0, 27},
    };
    for (const auto &r : rows) {
        Bytes b = fontgen::pfm_file(r.pfm);
        EXPECT_EQ(kx::fonts::check_pfm(b, r.file_size ? r.file_size : b.size()), r.rc) << r.what;
    }
}

TEST(PfmReader, FaceNameWithStyleMarks)
{
    kxtest::TempDir dir;
    struct Row {
        std::uint8_t italic;
        std::uint16_t weight;
        const char *name;
    };
    const Row rows[] = {{0, 400, "Courier"}, {1, 400, "Courier (It)"}, {0, 700, "Courier (Bd)"},
                        {2, 900, "Courier (It) (Bd)"}, {0, 699, "Courier"}};
    for (const auto &r : rows) {
        fontgen::Pfm p;
        p.italic = r.italic;
        p.weight = r.weight;
        kxtest::write_bytes(dir.file("f.pfm"), fontgen::pfm_file(p));
        kx::fonts::PfmImage image;
        ASSERT_EQ(kx::fonts::open_pfm(dir.file("f.pfm"), image), 0);
        EXPECT_EQ(kx::fonts::pfm_face_name(image), r.name);
    }
    // A name running to the end of the file stops there.
    fontgen::Pfm p;
    p.face = 290;
    p.name = "Unterminated";
    Bytes b = fontgen::pfm_file(p);
    std::copy(p.name.begin(), p.name.begin() + 10, b.begin() + 290);
    kxtest::write_bytes(dir.file("f.pfm"), b);
    kx::fonts::PfmImage image;
    ASSERT_EQ(kx::fonts::open_pfm(dir.file("f.pfm"), image), 0);
    EXPECT_EQ(kx::fonts::pfm_face_name(image), "Untermina" "t");
    // Long names are cut to 90 characters, marks included.
    p = fontgen::Pfm{};
    p.name = std::string(88, 'N');
    p.italic = 1;
    kxtest::write_bytes(dir.file("f.pfm"), fontgen::pfm_file(p));
    ASSERT_EQ(kx::fonts::open_pfm(dir.file("f.pfm"), image), 0);
    EXPECT_EQ(kx::fonts::pfm_face_name(image), std::string(88, 'N') + " (");
    EXPECT_EQ(kx::fonts::open_pfm(dir.file("missing.pfm"), image), 27);
}

TEST(PfmReader, RealFontForgeFiles)
{
    const std::pair<const char *, const char *> rows[] = {
        {"pfm/NimbusMonoPS-Regular.pfm", "Nimbus Mono PS"},
        {"pfm/NimbusRoman-Italic.pfm", "Nimbus Roman (It)"},
        {"pfm/NimbusSans-Regular.pfm", "Nimbus Sans"},
        {"pfm/StandardSymbolsPS.pfm", "Standard Symbols PS"},
    };
    for (const auto &[file, name] : rows) {
        kx::fonts::PfmImage image;
        ASSERT_EQ(kx::fonts::open_pfm(kxtest::data_path(file), image), 0) << file;
        EXPECT_EQ(kx::fonts::pfm_face_name(image), name);
    }
}

// ---- PCM ----

struct PcmResult {
    int rc;
    kx::fonts::PcmListing listing;
};

PcmResult walk(const Bytes &b)
{
    MemStream s(b);
    PcmResult r{};
    r.rc = kx::fonts::read_pcm(s.fp, b.size(), r.listing);
    return r;
}

fontgen::Bytes embedded(std::string name, std::uint8_t italic = 0, std::uint16_t weight = 400)
{
    fontgen::Pfm p;
    p.name = std::move(name);
    p.italic = italic;
    p.weight = weight;
    return fontgen::pfm_file(p);
}

TEST(PcmReader, TitleAndEmbeddedFaces)
{
    PcmResult r = walk(fontgen::pcm_file("Cartridge A", {embedded("Courier"), embedded("Times", 1, 700)}));
    ASSERT_EQ(r.rc, 0);
    EXPECT_EQ(r.listing.title, "Cartridge A");
    EXPECT_EQ(r.listing.faces, (std::vector<std::string>{"Courier", "Times (It) (Bd)"}));
}

TEST(PcmReader, DamagedWalks)
{
    auto put32 = [](Bytes b, std::size_t off, std::uint32_t v) {
        fontgen::put_le32(b, off, v);
        return b;
    };
    Bytes good = fontgen::pcm_file("Title", {embedded("One"), embedded("Two")});
    const std::size_t second = 16 + 80 + 300;

    // An entry whose dfFace is out of range ends the walk.
    PcmResult r = walk(put32(good, second + 105, 20));
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.listing.faces, std::vector<std::string>{"One"});
    // A dfSize that does not move past the face would walk in place: it ends the walk.
    r = walk(put32(good, second + 2, 0));
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.listing.faces, (std::vector<std::string>{"One"}));
    // A total size beyond the file sends the walk outside it.
    EXPECT_EQ(walk(put32(good, 4, 100000)).rc, 27);
    // A title offset outside the file.
    EXPECT_EQ(walk(put32(good, 8, 5000)).rc, 27);
    // A first PFM whose face name lies beyond the file.
    Bytes cut(good.begin(), good.begin() + 16 + 80 + 150);
    EXPECT_EQ(walk(put32(cut, 4, static_cast<std::uint32_t>(cut.size()))).rc, 27);
    // A header shorter than 16 bytes.
    EXPECT_EQ(walk(Bytes(good.begin(), good.begin() + 15)).rc, 27);
    // A title at the very end: what is there is the title.
    Bytes tail = put32(good, 8, static_cast<std::uint32_t>(good.size() - 3));
    tail[good.size() - 3] = 'E';
    tail[good.size() - 2] = 'n';
    tail[good.size() - 1] = 'd';
    r = walk(tail);
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.listing.title, "End");
}

// ---- DLF and FMF ----

std::string listing(const fontgen::Dlf &d) { return kx::fonts::dlf_listing(fontgen::dlf_font(d)); }

TEST(DlfReader, ListingLines)
{
    fontgen::Dlf size_font; // variant 1, Courier, 10 point, cp 850, name length 24
    EXPECT_EQ(listing(size_font), "Courier                Typo  10.0 point  cp: 850 ");

    fontgen::Dlf pitch_font;
    pitch_font.style = 1 | 2;
    pitch_font.metric = 600; // 72000 / 600 = 120 characters per inch
    pitch_font.class_nibble = 3;
    EXPECT_EQ(listing(pitch_font), "Courier                     120.0 pitch  cp: 850C");

    fontgen::Dlf ref;
    ref.variant = 10;
    ref.style = 2;
    ref.metric = 1250; // 12.5 point rounds to 13.0
    ref.code_page = 437;
    ref.record_bytes = 38;
    EXPECT_EQ(listing(ref), "Courier              PS     13.0 point  Referenced  cp: 437");

    fontgen::Dlf ref_pitch = ref;
    ref_pitch.style = 1;
    ref_pitch.metric = 0; // no pitch text
    ref_pitch.name = "Gothic";
    ref_pitch.length = 42; // six name bytes
    EXPECT_EQ(listing(ref_pitch), "Gothic                            pitch  Referenced  cp: 437");
}

TEST(DlfReader, NameStaysInsideWhatWasRead)
{
    // A referenced record holds at most 38 bytes, so of the 24 name bytes the
    // header length asks for only 22 exist.
    fontgen::Dlf ref;
    ref.variant = 10;
    ref.style = 1;
    ref.metric = 7200;
    ref.name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    ref.record_bytes = 38;
    EXPECT_EQ(listing(ref), "ABCDEFGHIJKLMNOPQRSTUV       10.0 pitch  Referenced  cp: 850");
    // The shortest record: no name, and of the metric only its first two
    // bytes (00 01); the missing two count as zero: M = 65536, 1.1 pitch.
    ref.metric = 0x00011C20;
    ref.record_bytes = 14;
    EXPECT_EQ(listing(ref), std::string(26, ' ') + "    1.1 pitch  Referenced  cp: 850");
    // A header length below 36 asks for 24 bytes.
    fontgen::Dlf font;
    font.length = 20;
    font.name = "Control\x01\x1f" "Chars";
    font.style = 1;
    font.metric = 1200;
    EXPECT_EQ(listing(font), "Control  Chars               60.0 pitch  cp: 850 ");
}

TEST(DlfReader, RefusedHeaders)
{
    fontgen::Dlf font;
    Bytes good = fontgen::dlf_font(font);
    auto with = [&](std::size_t off, std::uint8_t v) {
        Bytes b = good;
        b[off] = v;
        return kx::fonts::dlf_listing(b);
    };
    EXPECT_EQ(with(0, 0x1C), "");
    EXPECT_EQ(with(1, '+'), "");
    EXPECT_EQ(with(4, '2'), "");
    EXPECT_EQ(with(5, 2), "");
    EXPECT_EQ(with(6, 1), ""); // variant 1 record must start with 0
    EXPECT_EQ(kx::fonts::dlf_listing(Bytes(good.begin(), good.begin() + 6 + 33)), "");
    EXPECT_NE(kx::fonts::dlf_listing(Bytes(good.begin(), good.begin() + 6 + 34)), "");
    EXPECT_EQ(kx::fonts::dlf_listing(Bytes(good.begin(), good.begin() + 5)), "");
}

TEST(FmfReader, NameNeedsTwoHundredBytes)
{
    EXPECT_EQ(kx::fonts::fmf_name(fontgen::fmf_file("Courier 10", 200)), "Courier 10");
    EXPECT_EQ(kx::fonts::fmf_name(fontgen::fmf_file("Courier 10", 199)), "");
    Bytes unterminated(200, 'A');
    EXPECT_EQ(kx::fonts::fmf_name(unterminated), std::string(144, 'A'));
}

// ---- Type 1 and INF ----

Bytes segment(std::uint8_t type, std::string_view body, std::uint32_t length_override = 0)
{
    Bytes b = {0x80, type, 0, 0, 0, 0};
    fontgen::put_le32(b, 2, length_override ? length_override : static_cast<std::uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

kx::fonts::PfbNames scan(const Bytes &b)
{
    MemStream s(b);
    return kx::fonts::pfb_names(s.fp);
}

TEST(Type1Names, PfbScan)
{
    const std::string head = "%!PS-AdobeFont-1.0: Test\n/FontName /Test-Regular def\n";
    auto names = scan(kxtest::concat({segment(1, head + "/Encoding StandardEncoding def\n"),
                                      segment(2, "\x01\x02/FontName /Fake def\n"), segment(3, "")}));
    EXPECT_EQ(names.font_name, "Test-Regular");
    EXPECT_TRUE(names.standard_encoding);

    names = scan(kxtest::concat({segment(1, head + "/Encoding 256 array\n"), segment(3, "")}));
    EXPECT_EQ(names.font_name, "Test-Regular");
    EXPECT_FALSE(names.standard_encoding);

    // Only the clear text is scanned: a name inside a binary segment is not the font's.
    names = scan(kxtest::concat({segment(1, "%!PS\n"), segment(2, "/FontName /Hidden def\n"), segment(3, "")}));
    EXPECT_EQ(names.font_name, "");

    // A segment longer than the file ends the font there.
    names = scan(kxtest::concat({segment(1, "%!PS\n"), segment(2, "xx", 1000), segment(1, head)}));
    EXPECT_EQ(names.font_name, "");
    names = scan(segment(1, head, 1000));
    EXPECT_EQ(names.font_name, "");

    // A file without segment headers is scanned as it is; CR LF ends the name.
    names = scan(text("/FontName /Plain\r\n/Encoding StandardEncoding def"));
    EXPECT_EQ(names.font_name, "Plain");
    EXPECT_TRUE(names.standard_encoding);
    // The chunk tested after a slash is at most 39 bytes.
    names = scan(text("/" + std::string(30, ' ') + "Encoding StandardEncoding\n/FontName /X def\n"));
    EXPECT_FALSE(names.standard_encoding);
    EXPECT_EQ(names.font_name, "X");
    EXPECT_EQ(scan(Bytes{}).font_name, "");
}

TEST(Type1Names, PfaFontName)
{
    auto name = [](std::string_view t) {
        MemStream s(text(t));
        return kx::fonts::pfa_font_name(s.fp);
    };
    EXPECT_EQ(name("%!PS-AdobeFont-1.0\n/FontName /Alpha def\n/FontName /Beta def\n"), "Alpha");
    EXPECT_EQ(name("/FontName /Gamma\n"), "Gamma");
    EXPECT_EQ(name("/FontName /Delta\r\n"), "Delta");
    EXPECT_EQ(name("/FontName /Eps"), "Eps");
    EXPECT_EQ(name(" /FontName /Indented def\n"), "");
    EXPECT_EQ(name("/FontName (Paren) def\n"), "");
}

TEST(Type1Names, InfMenuName)
{
    const std::pair<const char *, const char *> rows[] = {
        {"MSMenuName (Univers)\nVPStyle (T)\n", "UniversBOLDITALIC"},
        {"VPStyle (B)\nMSMenuName (Univers)\n", "UniversBOLD"},
        {"MSMenuName (Univers)\nVPStyle (I)\n", "UniversITALIC"},
        {"MSMenuName (Univers)\nVPStyle (N)\n", "Univers"},
        {"MSMenuName (Old)\nMSMenuName (New\n", "New"},
        {"MSMenuName Univers\nVPStyle (T)\n", ""},
        {"MSMenuName (Univers) \r\n", "Univers"},
        {"FontName (Other)\n", ""},
    };
    for (const auto &[inf, expected] : rows) {
        MemStream s(text(inf));
        EXPECT_EQ(kx::fonts::inf_menu_name(s.fp), expected) << inf;
    }
}

// ---- Paths ----

TEST(FontPaths, ReplaceExtensionBaseNameAndExtension)
{
    using kx::fonts::replace_extension;
    EXPECT_EQ(replace_extension("FONT", "PFM"), "FONTPFM");
    EXPECT_EQ(replace_extension("FONT", ".PFM"), "FONT.PFM");
    EXPECT_EQ(replace_extension("dir/font.pfb", "AFM"), "dir/font.AFM");
    EXPECT_EQ(replace_extension("dir/font.pfb", ".afm"), "dir/font.afm");
    EXPECT_EQ(replace_extension("a.b/font", "AFM"), "a.b/fontAFM");
    EXPECT_EQ(replace_extension("C:\\x.y\\font.x.pfb", "INF"), "C:\\x.y\\font.x.INF");
    EXPECT_EQ(replace_extension("C:font", "PFM"), "C:fontPFM");

    using kx::fonts::font_base_name;
    EXPECT_EQ(font_base_name("C:\\fonts\\times.pfb"), "times");
    EXPECT_EQ(font_base_name("/a/b.c/font.ttf"), "font");
    EXPECT_EQ(font_base_name("a/x:y.ttf"), "y");
    EXPECT_EQ(font_base_name("/a/b.c/font"), "font");

    using kx::fonts::font_extension;
    EXPECT_EQ(font_extension("font.pfab"), "PFA");
    EXPECT_EQ(font_extension("FONT.Pf"), "PF");
    EXPECT_EQ(font_extension("/a/b.cdef/font"), "CDE");
    EXPECT_EQ(font_extension("font."), "");
    EXPECT_EQ(font_extension("font"), "");
}

} // namespace
