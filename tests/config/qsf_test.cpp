// QSF files: header checks in order, block extents, the sticky error, and
// the variable lists of the INI counterpart.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/test_support.h"
#include "common/word_checksum.h"
#include "kxapi.h"

namespace {

using kxtest::Bytes;

void put32(Bytes &b, std::size_t off, std::int32_t v)
{
    for (int i = 0; i < 4; ++i) b[off + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}
void put16(Bytes &b, std::size_t off, std::uint16_t v)
{
    b[off] = static_cast<std::uint8_t>(v);
    b[off + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Stores the file checksum with word 2 (bytes 2-3, where it lives) left out.
void seal(Bytes &b) { put16(b, 2, kxtest::word_checksum(b, 2)); }

struct Layout {
    std::uint8_t type = 2, flag_a = 0, flag_b = 0;
    std::int32_t off1 = 0, off2 = 0, off5 = 0;
    std::uint16_t w1 = 0, w2 = 0, w5 = 0;
};

// A QSF file: the header, then `body` from offset 74.
Bytes qsf(const Layout &l, const Bytes &body)
{
    Bytes b(74, 0);
    b[0] = 'Q';
    b[1] = 'S';
    b[4] = l.type;
    b[5] = l.flag_a;
    b[6] = l.flag_b;
    put32(b, 44, l.off1);
    put16(b, 48, l.w1);
    put32(b, 50, l.off2);
    put16(b, 54, l.w2);
    put32(b, 56, l.off5);
    put16(b, 60, l.w5);
    b.insert(b.end(), body.begin(), body.end());
    seal(b);
    return b;
}

Bytes seq(std::size_t n, std::uint8_t start)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(start + i);
    return b;
}

struct Qsf {
    KxQsfHandle *h = nullptr;
    ~Qsf() { KxQsfClose(h); }
};

TEST(QsfOpen, HeaderChecksInOrder)
{
    kxtest::TempDir dir;
    Layout ok;
    ok.off1 = 74;
    ok.w1 = 1;
    Bytes good = qsf(ok, seq(10, 1));

    struct Case {
        const char *name;
        Bytes file;
        int type;
        int rc;
    } cases[] = {
        {"valid", good, 2, 0},
        {"type first, even with a bad magic", [&] { Bytes b = good; b[0] = 'X'; b[4] = 3; return b; }(), 2, 44},
        {"bad magic", [&] { Bytes b = good; b[1] = 'X'; seal(b); return b; }(), 2, 29},
        {"flag above 1", [&] { Layout l = ok; l.flag_b = 2; return qsf(l, seq(10, 1)); }(), 2, 29},
        {"A=1 B=0 needs block 1", [&] { Layout l = ok; l.flag_a = 1; l.w1 = 0; return qsf(l, seq(10, 1)); }(), 2, 29},
        {"A=1 B=0 with block 1", [&] { Layout l = ok; l.flag_a = 1; return qsf(l, seq(10, 1)); }(), 2, 0},
        {"checksum word changed", [&] { Bytes b = good; b[2] ^= 0x01; return b; }(), 2, 43},
        {"body changed", [&] { Bytes b = good; b[80] ^= 0x40; return b; }(), 2, 43},
        {"short header", Bytes(good.begin(), good.begin() + 73), 2, 3},
        {"type uses low 8 bits", good, 0x102, 0},
    };
    for (const auto &c : cases) {
        std::string path = dir.file("f.qsf");
        kxtest::write_bytes(path, c.file);
        KxQsfHandle *h = reinterpret_cast<KxQsfHandle *>(1);
        EXPECT_EQ(KxQsfOpen(path.c_str(), c.type, &h), c.rc) << c.name;
        EXPECT_EQ(h == nullptr, c.rc != 0) << c.name;
        KxQsfClose(c.rc == 0 ? h : nullptr);
    }
    KxQsfHandle *h = reinterpret_cast<KxQsfHandle *>(1);
    EXPECT_EQ(KxQsfOpen(dir.file("missing.qsf").c_str(), 2, &h), KX_ERR_OPEN);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(KxQsfOpen(nullptr, 2, &h), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxQsfOpen("x", 2, nullptr), KX_ERR_INVALID_ARG);
    KxQsfClose(nullptr);
}

// Opens a file made from the layout and body; the handle in q.
void open_qsf(kxtest::TempDir &dir, const Layout &l, const Bytes &body, Qsf &q)
{
    std::string path = dir.file("b.qsf");
    kxtest::write_bytes(path, qsf(l, body));
    ASSERT_EQ(KxQsfOpen(path.c_str(), l.type, &q.h), 0);
}

Bytes take(void *buf, std::size_t n)
{
    auto *p = static_cast<const std::uint8_t *>(buf);
    return Bytes(p, p + n);
}

TEST(QsfBlocks, ExtentsAndPrefix)
{
    kxtest::TempDir dir;
    Bytes body = seq(30, 0x40);  // block 1: 74..84, block 2: 84..94, block 5: 94..104
    Layout l;
    l.flag_a = 1;
    l.flag_b = 1;
    l.off1 = 74, l.w1 = 0x0203;
    l.off2 = 84, l.w2 = 0x0405;
    l.off5 = 94, l.w5 = 0x0607;
    Qsf q;
    open_qsf(dir, l, body, q);
    void *buf = nullptr;
    int16_t word = 0;
    ASSERT_EQ(KxQsfGetVariables(q.h, 1, &buf, &word), 0);
    EXPECT_EQ(word, 0x0203);
    EXPECT_EQ(kxtest::hex(take(buf, 16)),
              kxtest::hex(kxtest::concat({{0x0A, 0x00, 0x00, 0x00, 0x02, 0x03}, seq(10, 0x40)})));
    KxMemFree(buf);
    ASSERT_EQ(KxQsfGetVariables(q.h, 2, &buf, &word), 0);
    EXPECT_EQ(kxtest::hex(take(buf, 16)),
              kxtest::hex(kxtest::concat({{0x0A, 0x00, 0x00, 0x00, 0x04, 0x05}, seq(10, 0x4A)})));
    KxMemFree(buf);
    ASSERT_EQ(KxQsfGetVariables(q.h, 5, &buf, &word), 0);
    EXPECT_EQ(kxtest::hex(take(buf, 16)),
              kxtest::hex(kxtest::concat({{0x0A, 0x00, 0x00, 0x00, 0x06, 0x07}, seq(10, 0x54)})));
    KxMemFree(buf);
    EXPECT_EQ(KxQsfGetVariables(q.h, 3, &buf, &word), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxQsfGetVariables(nullptr, 1, &buf, &word), KX_ERR_INVALID_ARG);
    EXPECT_EQ(buf, nullptr);
    EXPECT_EQ(word, 0);
}

TEST(QsfBlocks, FlagsChooseWhereBlock2EndsAndAbsentBlocks)
{
    kxtest::TempDir dir;
    Bytes body = seq(30, 0x40);
    // A=1, B=0: block 2 runs to the end of the file, no prefix.
    Layout l;
    l.flag_a = 1;
    l.off1 = 74, l.w1 = 1;
    l.off2 = 84, l.w2 = 2;
    l.off5 = 94, l.w5 = 0;
    {
        Qsf q;
        open_qsf(dir, l, body, q);
        void *buf = nullptr;
        int16_t word = 0;
        ASSERT_EQ(KxQsfGetVariables(q.h, 2, &buf, &word), 0);
        EXPECT_EQ(kxtest::hex(take(buf, 20)), kxtest::hex(seq(20, 0x4A)));
        KxMemFree(buf);
        // Block 5 with word 0: success and no buffer.
        EXPECT_EQ(KxQsfGetVariables(q.h, 5, &buf, &word), 0);
        EXPECT_EQ(buf, nullptr);
    }
    // Flags 0/0 with block 5 absent (offset 0): block 2 runs to the end of
    // the file instead of ending before it starts.
    l.flag_a = 0;
    l.off5 = 0;
    {
        Qsf q;
        open_qsf(dir, l, body, q);
        void *buf = nullptr;
        int16_t word = 0;
        ASSERT_EQ(KxQsfGetVariables(q.h, 2, &buf, &word), 0);
        EXPECT_EQ(kxtest::hex(take(buf, 20)), kxtest::hex(seq(20, 0x4A)));
        KxMemFree(buf);
    }
}

TEST(QsfBlocks, UntrustedExtentsFailWithoutAllocatingAndStick)
{
    kxtest::TempDir dir;
    Bytes body = seq(1024, 0);
    struct Case {
        const char *name;
        std::int32_t off1, off2;
        int rc;
    } cases[] = {
        {"2 GiB block in a 1 KiB file", 74, 0x7FFFFFF0, KX_ERR_EOF},
        {"offset past the end", 5000, 0, KX_ERR_EOF},
        {"end before the start", 500, 100, KX_ERR_EOF},
        {"negative offset", -10, 0, KX_ERR_SEEK},
    };
    for (const auto &c : cases) {
        Layout l;
        l.off1 = c.off1, l.w1 = 1;
        l.off2 = c.off2, l.w2 = 0;
        l.off5 = 0, l.w5 = 5;
        Qsf q;
        open_qsf(dir, l, body, q);
        void *buf = nullptr;
        int16_t word = 0;
        EXPECT_EQ(KxQsfGetVariables(q.h, 1, &buf, &word), c.rc) << c.name;
        EXPECT_EQ(buf, nullptr);
        // Sticky: a block that would read fine now fails the same way.
        EXPECT_EQ(KxQsfGetVariables(q.h, 5, &buf, &word), c.rc) << c.name;
        // A block with word 0 still answers 0 before the error is looked at.
        EXPECT_EQ(KxQsfGetVariables(q.h, 2, &buf, &word), 0) << c.name;
    }
}

// ---- INI variable lists ----

struct IniFile {
    kxtest::TempDir dir;
    KxIniHandle *h = nullptr;
    explicit IniFile(const std::string &text)
    {
        kxtest::write_text(dir.file("q.ini"), text);
        h = KxIniOpen2(dir.file("q.ini").c_str(), KX_INI_READWRITE);
    }
    ~IniFile() { KxIniClose(h); }
};

std::string section_hex(KxIniHandle *h, int type, int number, int &rc)
{
    uint16_t *vars = reinterpret_cast<uint16_t *>(1);
    uint16_t count = 77;
    rc = KxQsfIniGetSection(h, type, number, &vars, &count);
    if (rc != 0) {
        EXPECT_EQ(vars, nullptr);
        EXPECT_EQ(count, 0);
        return "-";
    }
    std::string s = kxtest::hex(take(vars, count * 2u));
    KxMemFree(vars);
    return s;
}

TEST(QsfIniSection, ListsAndFallbacks)
{
    IniFile ini(
        "[007OPTIONAL]\nNUMVARS=3\nNUMENTRIES=1\nOMVARS1=1A 0x2B zz3\n"
        "[001REQUIRED]\nNUMVARS=4\nNUMENTRIES=2\nOMVARS1=  FFFF  10\nOMVARS2=12345 0\n"
        "[DEFAULTEXCLUDE]\nNUMVARS=1\nNUMENTRIES=1\nOMVARS1=ab\n"
        "[002REQUIRED]\nNUMVARS=1\nNUMENTRIES=1\nOMVARS1=1 2\n"
        "[003REQUIRED]\nNUMVARS=3\nNUMENTRIES=1\nOMVARS1=1 2\n"
        "[004REQUIRED]\nNUMVARS=0\nNUMENTRIES=1\n"
        "[005REQUIRED]\nNUMVARS=65536\nNUMENTRIES=1\n"
        "[006REQUIRED]\nNUMVARS=1\n"
        "[008REQUIRED]\nNUMVARS=1\nNUMENTRIES=2\nOMVARS1=1\nOMVARS2=\n"
        "[009REQUIRED]\nNUMVARS=1\nNUMENTRIES=0\n");
    ASSERT_NE(ini.h, nullptr);
    struct Case {
        int type, number;
        int rc;
        const char *hex;
    } cases[] = {
        {2, 7, 0, "00 1A 00 2B 00 03"},
        {2, 7 + 256, 0, "00 1A 00 2B 00 03"},  // low 8 bits of the number
        {1, 1, 0, "FF FF 00 10 23 45 00 00"},   // 16-bit accumulation
        {3, 5, 0, "00 AB"},                     // no 005EXCLUDE: DEFAULTEXCLUDE
        {4, 5, KX_ERR_INI_NO_SECTION, "-"},     // no DEFAULTORDER either
        {1, 50, KX_ERR_INI_NO_SECTION, "-"},    // no fallback for REQUIRED
        {1, 2, KX_ERR_INVALID_FILE, "-"},       // more numbers than NUMVARS
        {1, 3, KX_ERR_INVALID_FILE, "-"},       // fewer
        {1, 4, KX_ERR_INVALID_FILE, "-"},       // NUMVARS 0
        {1, 5, KX_ERR_INVALID_FILE, "-"},       // NUMVARS zero in its low 16 bits
        {1, 6, KX_ERR_INI_NO_KEY, "-"},         // NUMENTRIES missing
        {1, 8, KX_ERR_INVALID_FILE, "-"},       // an empty list line
        {1, 9, KX_ERR_INVALID_FILE, "-"},       // NUMENTRIES 0
        {0, 7, KX_ERR_INVALID_ARG, "-"},
        {5, 7, KX_ERR_INVALID_ARG, "-"},
    };
    for (const auto &c : cases) {
        int rc;
        EXPECT_EQ(section_hex(ini.h, c.type, c.number, rc), c.hex) << c.type << "/" << c.number;
        EXPECT_EQ(rc, c.rc) << c.type << "/" << c.number;
    }
    int rc;
    section_hex(nullptr, 1, 1, rc);
    EXPECT_EQ(rc, KX_ERR_INVALID_ARG);
}

TEST(QsfIniSection, LongerValueWrittenInPlaceStillFits)
{
    // The read buffer is sized from the longest line; a value replaced by a
    // longer one must still be read whole.
    IniFile ini("[001REQUIRED]\nNUMVARS=1\nNUMENTRIES=1\nOMVARS1=1\n");
    std::string many;
    for (int i = 0; i < 40; ++i) many += "00 ";
    many += "7";
    ASSERT_EQ(KxIniWrite(ini.h, "001REQUIRED", "NUMVARS", "41"), 1);
    ASSERT_EQ(KxIniWrite(ini.h, "001REQUIRED", "OMVARS1", many.c_str()), 1);
    int rc;
    std::string hex = section_hex(ini.h, 1, 1, rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(hex.substr(hex.size() - 5), "00 07");
}

} // namespace
