// Sending files and command strings, and the copy loop, against a file destination.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/test_support.h"
#include "data/copy_loop.h"
#include "kxapi.h"
#include "output/channel.h"

namespace {

using kxtest::Bytes;
using kxtest::bytes_of;
using kxtest::concat;

const Bytes kUel = bytes_of("\x1b%-12345X");
const Bytes kJobEndSwitch = {0x1B, 0x5B, 0x4B, 0x01, 0x00, 0x06};

KxPrinterInfo printer(std::uint8_t flags, int language, std::uint16_t copies = 0, const char *job = nullptr)
{
    KxPrinterInfo p;
    std::memset(&p, 0, sizeof p);
    p.bFlags = flags;
    p.nLanguage = language;
    p.wCopies = copies;
    p.port.pszJobName = job;
    return p;
}

struct SendFixture : ::testing::Test {
    kxtest::TempDir dir;
    std::string out = dir.file("printer.out");
    std::string in = dir.file("job.bin");
    Bytes payload = {0x1B, 'E', 0x00, 0xFF, 'x', '\n'};
    void SetUp() override { kxtest::write_bytes(in, payload); }
};

TEST_F(SendFixture, PlainCopiesRepeatTheFile)
{
    KxPrinterInfo p = printer(0, KX_LANG_PCL, 3);
    ASSERT_EQ(KxDatSendFile(in.c_str(), out.c_str(), &p, 0), 0);
    EXPECT_EQ(kxtest::read_bytes(out), concat({payload, payload, payload}));
    p.wCopies = 0;
    ASSERT_EQ(KxDatSendFile(in.c_str(), out.c_str(), &p, 0), 0);  // replaces
    EXPECT_EQ(kxtest::read_bytes(out), payload);
    ASSERT_EQ(KxDatSendFile(in.c_str(), out.c_str(), &p, 1), 0);  // appends
    EXPECT_EQ(kxtest::read_bytes(out), concat({payload, payload}));
}

TEST_F(SendFixture, PjlFraming)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL, KX_LANG_PCL, 3, "Report");
    ASSERT_EQ(KxDatSendFile(in.c_str(), out.c_str(), &p, 0), 0);
    EXPECT_EQ(kxtest::hex(kxtest::read_bytes(out)),
              kxtest::hex(concat({kUel, bytes_of("@PJL RDYMSG DISPLAY = \"Report\"\n"),
                                  bytes_of("@PJL ENTER LANGUAGE = PCL\n"), bytes_of("@PJL SET COPIES = 3\n"), payload,
                                  kUel, bytes_of("@PJL RDYMSG DISPLAY = \"\"\n"), bytes_of("@PJL RESET\n"), kUel})));
}

TEST_F(SendFixture, EscKAndPjlTogether)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL | KX_PRINTER_ESCK, KX_LANG_POSTSCRIPT, 2);
    p.bSwitchValue = 0x35;
    ASSERT_EQ(KxDatSendFile(in.c_str(), out.c_str(), &p, 0), 0);
    // The language switch instead of the PJL job start; the file once; both trailers.
    EXPECT_EQ(kxtest::hex(kxtest::read_bytes(out)),
              kxtest::hex(concat({{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x35, 0x08}, payload, kUel,
                                  bytes_of("@PJL RDYMSG DISPLAY = \"\"\n"), bytes_of("@PJL RESET\n"), kUel,
                                  kJobEndSwitch})));
}

TEST_F(SendFixture, EmptyFileSendsOnlyFraming)
{
    kxtest::write_bytes(in, {});
    KxPrinterInfo p = printer(KX_PRINTER_ESCK, KX_LANG_NONE, 2);
    ASSERT_EQ(KxDatSendFile(in.c_str(), out.c_str(), &p, 0), 0);
    EXPECT_EQ(kxtest::read_bytes(out), concat({bytes_of("\x1b&l2X"), kJobEndSwitch}));
}

TEST_F(SendFixture, LargeFileIsCopiedExactly)
{
    Bytes big(2048 * 5 + 77);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 31 + (i >> 11));
    kxtest::write_bytes(in, big);
    KxPrinterInfo p = printer(0, KX_LANG_NONE, 2);
    ASSERT_EQ(KxDatSendFile(in.c_str(), out.c_str(), &p, 0), 0);
    EXPECT_EQ(kxtest::read_bytes(out), concat({big, big}));
}

TEST_F(SendFixture, SendFileErrors)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL, KX_LANG_PCL);
    std::string too_long = "/" + std::string(260, 'x');
    EXPECT_EQ(KxDatSendFile(nullptr, out.c_str(), &p, 0), 1);
    EXPECT_EQ(KxDatSendFile(in.c_str(), nullptr, &p, 0), 1);
    EXPECT_EQ(KxDatSendFile(in.c_str(), out.c_str(), nullptr, 0), 1);
    EXPECT_EQ(KxDatSendFile(too_long.c_str(), out.c_str(), &p, 0), 1);
    EXPECT_EQ(KxDatSendFile(in.c_str(), too_long.c_str(), &p, 0), 1);
    for (int lang : {-1, 7}) {
        p.nLanguage = lang;
        EXPECT_EQ(KxDatSendFile(in.c_str(), out.c_str(), &p, 0), 1);
        EXPECT_EQ(KxDatSendString("1B45", out.c_str(), &p, 0), 1);
    }
    p.nLanguage = KX_LANG_PCL;
    EXPECT_EQ(KxDatSendFile(dir.file("missing").c_str(), out.c_str(), &p, 0), 2);
    EXPECT_EQ(KxDatSendFile(dir.path().c_str(), out.c_str(), &p, 0), 3);
    EXPECT_FALSE(kxtest::file_exists(out));  // nothing opened so far
    EXPECT_EQ(KxDatSendFile(in.c_str(), dir.file("no/such/dir").c_str(), &p, 0), 3);
    // A destination that takes no bytes: the first write fails, the job start stops.
    EXPECT_EQ(KxDatSendFile(in.c_str(), "/dev/full", &p, 0), 7);
    p.bFlags = 0;
    EXPECT_EQ(KxDatSendFile(in.c_str(), "/dev/full", &p, 0), 7);
}

TEST_F(SendFixture, SendStringForms)
{
    KxPrinterInfo p = printer(0, KX_LANG_PCL, 5);  // copies are never sent for strings
    p.bFlags = KX_PRINTER_ESCK;                    // nor a language switch
    struct Case {
        const char *command;
        int result;
        Bytes sent;
    } cases[] = {
        {"1B45", 0, {0x1B, 0x45}},
        {"1b4500ff", 0, {0x1B, 0x45, 0x00, 0xFF}},
        {"", 0, {}},
        {"1B4", 1, {}},
        {"1G", 1, {}},
        {"1B 5", 1, {}},
        {"$A\\x41\\nB", 0, bytes_of("AA\nB")},
        {"$", 0, {}},
        {"$ab\\", 0, bytes_of("ab")},            // a backslash at the end ends the text
        {"$\\q\\\\z", 0, bytes_of("q\\z")},     // any other escaped character is itself
        {"$A\\x4", 0, {'A', 0x04}},             // the text ends inside the escape
        {"$A\\x4GB", 0, {'A', 0x04, 'B'}},     // strtol stops at G; both characters are used up
        {"$A\\xG1B", 0, bytes_of("A")},         // decodes to 0: the data ends there
        {"$\\x-1", 0, {0xFF}},                  // read as strtol reads it
        {"$\\x", 0, {}},
    };
    for (const auto &c : cases) {
        kxtest::write_bytes(out, bytes_of("old"));
        EXPECT_EQ(KxDatSendString(c.command, out.c_str(), &p, 0), c.result) << c.command;
        if (c.result == 0)
            EXPECT_EQ(kxtest::hex(kxtest::read_bytes(out)), kxtest::hex(c.sent)) << c.command;
        else
            EXPECT_EQ(kxtest::read_text(out), "old") << c.command;  // no channel was opened
    }
}

TEST_F(SendFixture, SendStringPjlAndFile)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL, KX_LANG_POSTSCRIPT, 2, "J");
    ASSERT_EQ(KxDatSendString("$%!\\n", out.c_str(), &p, 0), 0);
    EXPECT_EQ(kxtest::hex(kxtest::read_bytes(out)),
              kxtest::hex(concat({kUel, bytes_of("@PJL RDYMSG DISPLAY = \"J\"\n"),
                                  bytes_of("@PJL ENTER LANGUAGE = POSTSCRIPT\n"), bytes_of("%!\n"), kUel,
                                  bytes_of("@PJL RDYMSG DISPLAY = \"\"\n"), kUel})));
    // "%path" is exactly a file send, with its framing (copies, reset).
    std::string cmd = "%" + in;
    ASSERT_EQ(KxDatSendString(cmd.c_str(), out.c_str(), &p, 0), 0);
    Bytes via_string = kxtest::read_bytes(out);
    ASSERT_EQ(KxDatSendFile(in.c_str(), out.c_str(), &p, 0), 0);
    EXPECT_EQ(via_string, kxtest::read_bytes(out));
    EXPECT_EQ(KxDatSendString(("%" + dir.file("missing")).c_str(), out.c_str(), &p, 0), 2);
    EXPECT_EQ(KxDatSendString(nullptr, out.c_str(), &p, 0), 1);
    EXPECT_EQ(KxDatSendString("1B", nullptr, &p, 0), 1);
    EXPECT_EQ(KxDatSendString("1B", out.c_str(), nullptr, 0), 1);
    EXPECT_EQ(KxDatSendString("1B", "/dev/full", &p, 0), 7);
}

// The copy loop on its own: hexadecimal text, modes, read errors.
TEST(CopyLoop, HexBinaryAndErrors)
{
    kxtest::TempDir dir;
    std::string in = dir.file("in"), out = dir.file("out");
    KxPrinterInfo p = printer(0, 0);
    auto run = [&](const std::string &from, int mode) {
        std::FILE *fp = std::fopen(from.c_str(), "rb");
        EXPECT_TRUE(fp);
        kx::output::Channel ch;
        ch.pInfo = &p;
        EXPECT_EQ(kx::output::open(ch, out.c_str(), 0, nullptr), 0);
        int r = kx::data::copy_loop(fp, ch, mode);
        kx::output::close(ch);
        std::fclose(fp);
        return r;
    };
    kxtest::write_bytes(in, {0x00, 0xFF, 0x7A});
    EXPECT_EQ(run(in, kx::data::kCopyHex), 0);
    EXPECT_EQ(kxtest::read_text(out), "00FF7A");

    // Across several 1024-byte hexadecimal blocks.
    Bytes big(1024 * 3 + 5);
    std::string expected;
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<std::uint8_t>(i * 37);
        char two[3];
        std::snprintf(two, sizeof two, "%02X", big[i]);
        expected += two;
    }
    kxtest::write_bytes(in, big);
    EXPECT_EQ(run(in, kx::data::kCopyHex), 0);
    EXPECT_EQ(kxtest::read_text(out), expected);
    EXPECT_EQ(run(in, kx::data::kCopyBinary), 0);
    EXPECT_EQ(kxtest::read_bytes(out), big);

    EXPECT_EQ(run(in, 2), 32);
    EXPECT_TRUE(kxtest::read_bytes(out).empty());
    EXPECT_EQ(run(dir.path(), kx::data::kCopyBinary), 6);  // a directory cannot be read
}

} // namespace
