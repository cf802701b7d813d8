// The data-file reader and its handle exports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/test_support.h"
#include "data/datfile.h"
#include "kxapi.h"

namespace {

// Packed members are read by value: a reference to one would be misaligned.
double value(double d) { return d; }

KxDatRecord with_key(const char *key)
{
    KxDatRecord r;
    std::memset(&r, 0x55, sizeof r);  // the reader must not rely on a clean record
    std::strncpy(r.szKey, key, sizeof r.szKey);
    return r;
}

// Keys of all records from the first, by GetFirstKey and GetNextKey.
std::vector<std::string> all_keys(int h)
{
    std::vector<std::string> keys;
    KxDatRecord r = with_key("");
    for (int rc = KxDatGetFirstKey(h, &r); rc == 0; rc = KxDatGetNextKey(h, &r)) keys.push_back(r.szKey);
    return keys;
}

TEST(DatFile, ReadsFixtureInOrder)
{
    std::string path = kxtest::data_path("datfile/commands.dat");
    int h = KxDatOpenFile(path.c_str(), nullptr, KX_DAT_MODE_READ);
    ASSERT_GE(h, 0);
    EXPECT_EQ(all_keys(h), (std::vector<std::string>{"A1", "s2", "SA3", "SX4", "Z5", "S6"}));

    KxDatRecord r = with_key("SA");
    ASSERT_EQ(KxDatGetFirstKey(h, &r), 0);
    EXPECT_STREQ(r.szKey, "SA3");
    EXPECT_STREQ(r.szDescr, "Line spacing");
    EXPECT_STREQ(r.szEmulation, "PCL");
    EXPECT_STREQ(r.szCommand, "\\033&l%dD");
    EXPECT_STREQ(r.szVarFormat, "%d");
    EXPECT_EQ(value(r.dVarRangeLo), 1.5);
    EXPECT_EQ(value(r.dVarRangeHi), 48.0);
    EXPECT_EQ(value(r.dVarIncrement), 0.5);
    EXPECT_STREQ(r.szDuration, "P");
    // The next record, whatever its key; then on to the end.
    ASSERT_EQ(KxDatGetNextKey(h, &r), 0);
    EXPECT_STREQ(r.szKey, "SX4");
    EXPECT_EQ(value(r.dVarRangeHi), 99.99);
    ASSERT_EQ(KxDatGetNextKey(h, &r), 0);
    ASSERT_EQ(KxDatGetNextKey(h, &r), 0);
    EXPECT_STREQ(r.szKey, "S6");
    EXPECT_EQ(KxDatGetNextKey(h, &r), KX_DAT_EOF);
    EXPECT_EQ(KxDatGetNextKey(h, &r), KX_DAT_EOF);  // the current record stays the last one
    EXPECT_STREQ(r.szKey, "S6");

    r = with_key("S");
    ASSERT_EQ(KxDatGetFirstKey(h, &r), 0);
    EXPECT_STREQ(r.szKey, "SA3");  // byte for byte: "s2" does not start with "S"
    r = with_key("Q");
    EXPECT_EQ(KxDatGetFirstKey(h, &r), KX_DAT_ERR_NO_RECORD);
    EXPECT_EQ(KxDatGetNextKey(h, &r), KX_DAT_ERR_NO_RECORD);
    EXPECT_EQ(KxDatCloseFile(h), 0);
}

// One-line files: what each line gives, and the fields it fills.
TEST(DatFile, LineFormats)
{
    kxtest::TempDir dir;
    const std::string full = "\"K1\" \"Descr\" \"PCL\" \"cmd\" \"%d\" 1,2,3,\"P\"";
    struct Case {
        std::string text;
        int result;
        double hi;
    } cases[] = {
        {full + "\n", 0, 2},
        {full, KX_DAT_ERR_FORMAT, 0},                        // the last line must end with a line feed
        {full + " ;\t\r\n", 0, 2},                           // separators before the line feed
        {full + " x\n", KX_DAT_ERR_FORMAT, 0},               // anything else after the last field
        {"\"K1\" \"D\" \"E\" \"C\" \"F\" 1 ,2,3,\"P\"\n", KX_DAT_ERR_FORMAT, 0},  // a blank ends no number
        {"\"K1\" \"D\" \"E\" \"C\" \"F\" 1,2,3 \"P\"\n", KX_DAT_ERR_FORMAT, 0},   // ... not even the last
        {"\"K1\" \"D\" \"E\" \"C\" \"F\" 1,2.5e1,3;\"P\"\n", 0, 25},
        {"\"K1\" \"D\" \"E\" \"C\" \"F\" 1,,2;:3:\"P\"\n", 0, 2},              // a run of separators
        {"\"K1\" \"D\" \"E\" \"C\" \"F\" 1,x2,3,\"P\"\n", KX_DAT_ERR_FORMAT, 0},
        {"\"K1\" \"D\" \"E\" \"C\" \"F\" 1,2,3\n", KX_DAT_ERR_FORMAT, 0},       // a field missing
        {"K1 \"D\" \"E\" \"C\" \"F\" 1,2,3,\"P\"\n", KX_DAT_ERR_FORMAT, 0},     // unquoted string
        {"\"K1\" \"D\" \"E\" \"C\" \"F\" 1,2,3,\"P", KX_DAT_ERR_FORMAT, 0},     // end of file in a quote
        {"# only a comment\n\n   \n", KX_DAT_ERR_NO_RECORD, 0},
        {"", KX_DAT_ERR_NO_RECORD, 0},
        {"\"K1\" \"D\" \"E\" \"C\" \"F\" 1,123456789012345678901234567,3,\"P\"\n", 0,
         123456789012345678901234.0},  // 24 characters of a number are kept
    };
    for (const auto &c : cases) {
        std::string path = dir.file("one.dat");
        kxtest::write_text(path, c.text);
        int h = KxDatOpenFile(path.c_str(), nullptr, KX_DAT_MODE_READ);
        ASSERT_GE(h, 0);
        KxDatRecord r = with_key("");
        EXPECT_EQ(KxDatGetFirstKey(h, &r), c.result) << c.text;
        if (c.result == 0) {
            EXPECT_STREQ(r.szKey, "K1");
            EXPECT_EQ(value(r.dVarRangeHi), c.hi) << c.text;
        }
        if (c.result == KX_DAT_ERR_FORMAT) {
            EXPECT_EQ(KxDatGetNextKey(h, &r), KX_DAT_ERR_NO_RECORD);
        }
        EXPECT_EQ(KxDatCloseFile(h), 0);
    }
}

TEST(DatFile, LongFieldsAreCutNotOverrun)
{
    kxtest::TempDir dir;
    std::string descr(120, 'd'), key(9, 'k');
    std::string path = dir.file("long.dat");
    kxtest::write_text(path, "\"" + key + "\" \"" + descr + "\" \"EMULATION\" \"c\" \"f\" 1,2,3,\"PQ\"\n");
    int h = KxDatOpenFile(path.c_str(), nullptr, KX_DAT_MODE_READ);
    ASSERT_GE(h, 0);
    KxDatRecord r = with_key("");
    ASSERT_EQ(KxDatGetFirstKey(h, &r), 0);
    EXPECT_EQ(std::string(r.szKey), std::string(5, 'k'));
    EXPECT_EQ(std::string(r.szDescr), std::string(101, 'd'));
    EXPECT_STREQ(r.szEmulation, "EMULA");
    EXPECT_STREQ(r.szDuration, "P");
    EXPECT_EQ(value(r.dVarIncrement), 3.0);
    KxDatCloseFile(h);
}

// A quoted string left open at the end of its line is a malformed line; the
// reader does not take the next lines into the field.
TEST(DatFile, OpenQuoteStopsAtLineEnd)
{
    kxtest::TempDir dir;
    std::string path = dir.file("quote.dat");
    kxtest::write_text(path, "\"K1\" \"broken 1,2,3,\"P\"\n\"K2\" \"D\" \"E\" \"C\" \"F\" 1,2,3,\"P\"\n");
    int h = KxDatOpenFile(path.c_str(), nullptr, KX_DAT_MODE_READ);
    ASSERT_GE(h, 0);
    KxDatRecord r = with_key("");
    EXPECT_EQ(KxDatGetFirstKey(h, &r), KX_DAT_ERR_FORMAT);
    r = with_key("K2");
    EXPECT_EQ(KxDatGetFirstKey(h, &r), KX_DAT_ERR_FORMAT);  // the scan meets the broken line first
    KxDatCloseFile(h);
}

TEST(DatFile, HandleTableAndArguments)
{
    std::string path = kxtest::data_path("datfile/commands.dat");
    EXPECT_EQ(KxDatOpenFile(nullptr, nullptr, 2), KX_DAT_ERR_ARGS);
    EXPECT_EQ(KxDatOpenFile(path.c_str(), nullptr, 1), KX_DAT_ERR_ARGS);
    EXPECT_EQ(KxDatOpenFile(path.c_str(), nullptr, 3), KX_DAT_ERR_ARGS);
    EXPECT_EQ(KxDatOpenFile((path + ".missing").c_str(), nullptr, 2), KX_DAT_ERR_ARGS);
    std::string too_long = "/" + std::string(260, 'x');
    EXPECT_EQ(KxDatOpenFile(too_long.c_str(), nullptr, 2), KX_DAT_ERR_ARGS);

    int h[4];
    for (int i = 0; i < 4; ++i) {
        h[i] = KxDatOpenFile(path.c_str(), nullptr, 2);
        ASSERT_EQ(h[i], i);
    }
    EXPECT_EQ(KxDatOpenFile(path.c_str(), nullptr, 2), KX_DAT_ERR_FORMAT);
    // Handles are independent: each walks on its own.
    KxDatRecord a = with_key("Z"), b = with_key("");
    ASSERT_EQ(KxDatGetFirstKey(h[0], &a), 0);
    ASSERT_EQ(KxDatGetFirstKey(h[1], &b), 0);
    ASSERT_EQ(KxDatGetNextKey(h[0], &a), 0);
    EXPECT_STREQ(a.szKey, "S6");
    ASSERT_EQ(KxDatGetNextKey(h[1], &b), 0);
    EXPECT_STREQ(b.szKey, "s2");

    EXPECT_EQ(KxDatCloseFile(h[2]), 0);
    EXPECT_EQ(KxDatCloseFile(h[2]), KX_DAT_ERR_NOT_OPEN);
    EXPECT_EQ(KxDatGetFirstKey(h[2], &a), KX_DAT_ERR_NOT_OPEN);
    EXPECT_EQ(KxDatOpenFile(path.c_str(), nullptr, 2), 2);  // the freed slot is taken again
    EXPECT_EQ(KxDatGetFirstKey(h[0], nullptr), KX_DAT_ERR_NOT_OPEN);
    EXPECT_EQ(KxDatGetNextKey(-1, &a), KX_DAT_ERR_NOT_OPEN);
    EXPECT_EQ(KxDatGetNextKey(4, &a), KX_DAT_ERR_NOT_OPEN);
    EXPECT_EQ(KxDatCloseFile(-1), KX_DAT_ERR_FORMAT);
    EXPECT_EQ(KxDatCloseFile(4), KX_DAT_ERR_NOT_OPEN);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(KxDatCloseFile(i), 0);
}

TEST(DatFile, QueryCount)
{
    std::string path = kxtest::data_path("datfile/commands.dat");
    struct Case {
        const char *prefix;
        int count;
        const char *last;
    } cases[] = {
        {"S", 2, "Z5"},   // SA3, SX4: counting stops at the first key without the prefix
        {"", 6, "S6"},    // every record; the last GetNextKey met the end
        {"Z5", 1, "S6"},
        {"Q", 0, "Q"},
        {"SA3", 1, "SX4"},
    };
    for (const auto &c : cases) {
        KxDatRecord r = with_key(c.prefix);
        EXPECT_EQ(KxDatQueryCount(path.c_str(), &r, 2), c.count) << c.prefix;
        EXPECT_STREQ(std::string(r.szKey, strnlen(r.szKey, 6)).c_str(), c.last) << c.prefix;
    }
    KxDatRecord r = with_key("");
    EXPECT_EQ(KxDatQueryCount(path.c_str(), nullptr, 2), KX_DAT_ERR_NOT_OPEN);
    EXPECT_EQ(KxDatQueryCount(path.c_str(), &r, 1), KX_DAT_ERR_OPEN);
    EXPECT_EQ(KxDatQueryCount(nullptr, &r, 2), KX_DAT_ERR_OPEN);
}

TEST(DatFile, QueryCounts)
{
    kxtest::TempDir dir;
    std::string path = dir.file("keys.dat");
    std::string text;
    for (const char *k : {"A1", "s2", "SA3", "SX4", "Z5", "S2", "ff", "tS", "sT"})
        text += std::string("\"") + k + "\" \"\" \"\" \"\" \"\" 0,0,0,\"\"\n";
    kxtest::write_text(path, text);
    KxDatCounts c;
    std::memset(&c, 0xFF, sizeof c);
    ASSERT_EQ(KxDatQueryCounts(path.c_str(), &c, 2), 0);
    std::uint16_t got[12];
    std::memcpy(got, &c, sizeof got);
    const std::uint16_t expected[12] = {1, 1, 0, 0, 5, 1, /* S by second letter */ 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(got[i], expected[i]) << i;
    EXPECT_EQ(KxDatQueryCounts(path.c_str(), nullptr, 2), KX_DAT_ERR_NOT_OPEN);
    EXPECT_EQ(KxDatQueryCounts(dir.file("none").c_str(), &c, 2), KX_DAT_ERR_OPEN);
}

} // namespace
