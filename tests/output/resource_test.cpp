// KxGenResource through the exported API, byte-exact against a file destination.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "kxapi.h"
#include "output_test_support.h"

using namespace kxtest;

namespace {
const Bytes kRamSwitch = {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x32};
const Bytes kDeviceSwitch = {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x31};
const Bytes kFormatSwitch = {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x46};
const Bytes kDirectorySwitch = {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x50};
const Bytes kDeviceClassPrefix = {0x1B, 0x5B, 0x4B, 0x01, 0x00, 0x01};
const Bytes kJobEnd = concat({kUel, panel(""), kUel});

struct Case {
    const char *what;
    int mode;
    std::uint8_t flags;
    int language;
    const char *job;
    int target;
    int device_class;
    Bytes expected;
};
} // namespace

TEST(GenResource, SendsExactlyTheFramedCommand)
{
    const Case cases[] = {
        {"directory, PJL, job name, PCL", 4, KX_PRINTER_PJL, 5, "Job", 1, 0,
         concat({kUel, panel("Job"), pjl("ENTER LANGUAGE = PCL"), kUel, pjl("KPRINTDIRECTORY"), kJobEnd})},
        {"directory, PJL, no job name, language 1 (no language line)", 4, KX_PRINTER_PJL, 1, nullptr, 1, 0,
         concat({kUel, kUel, pjl("KPRINTDIRECTORY"), kJobEnd})},
        {"directory, PJL off, ESC [ K off", 4, 0, 5, "Job", 1, 0, kDirectorySwitch},
        {"RAM, neither PJL nor ESC [ K", 1, 0, 5, "Job", 1, 0, {}},
        {"RAM, PJL and ESC [ K, PostScript", 1, KX_PRINTER_PJL | KX_PRINTER_ESCK, 3, nullptr, 2, 0,
         concat({kUel, pjl("ENTER LANGUAGE = POSTSCRIPT"), kUel, pjl("SET KDOWNLOADTARGET = ram"), kRamSwitch,
                 kJobEnd})},
        {"device flash2, ESC [ K only", 2, KX_PRINTER_ESCK, 5, nullptr, 3, 0, kDeviceSwitch},
        {"device disk2, PJL, device class 2, PPDS", 2, KX_PRINTER_PJL, 2, nullptr, 5, 2,
         concat({kUel, pjl("ENTER LANGUAGE = PPDS"), kDeviceClassPrefix, kUel, pjl("SET KDOWNLOADTARGET = disk2"),
                 kJobEnd})},
        {"device class 2 without PJL", 2, 0, 4, nullptr, 2, 2, kDeviceClassPrefix},
        {"format disk1, PJL, GL", 3, KX_PRINTER_PJL, 4, nullptr, 4, 0,
         concat({kUel, pjl("ENTER LANGUAGE = GL"), kUel, pjl("KFORMAT DEVICE = disk1"), kJobEnd})},
        {"format, PJL off (switch even without ESC [ K)", 3, 0, 6, nullptr, 2, 0, kFormatSwitch},
        {"panel message cut to 20 characters", 4, KX_PRINTER_PJL, 0, "ABCDEFGHIJKLMNOPQRSTUVWXY", 1, 0,
         concat({kUel, panel("ABCDEFGHIJKLMNOPQRST"), kUel, pjl("KPRINTDIRECTORY"), kJobEnd})},
    };
    for (const auto &c : cases) {
        TempDir dir;
        std::string out = dir.file("out.prn");
        KxPrinterInfo p = printer(c.flags, c.language, c.job);
        p.nDeviceClass = c.device_class;
        ASSERT_EQ(KxGenResource(c.mode, out.c_str(), &p, c.target, 0, nullptr), 0) << c.what;
        EXPECT_EQ(hex(read_bytes(out)), hex(c.expected)) << c.what;
    }
}

TEST(GenResource, ReplacesAnExistingFile)
{
    TempDir dir;
    std::string out = dir.file("out.prn");
    write_text(out, "old contents that must go");
    KxPrinterInfo p = printer(0, 5);
    ASSERT_EQ(KxGenResource(4, out.c_str(), &p, 1, 0, nullptr), 0);
    EXPECT_EQ(read_bytes(out), kDirectorySwitch);
}

TEST(GenResource, RejectsBadArgumentsBeforeTouchingAnything)
{
    TempDir dir;
    std::string out = dir.file("out.prn");
    KxPrinterInfo p = printer(KX_PRINTER_PJL, 5);
    EXPECT_EQ(KxGenResource(4, nullptr, &p, 1, 0, nullptr), 1);
    EXPECT_EQ(KxGenResource(4, out.c_str(), nullptr, 1, 0, nullptr), 1);
    for (int mode : {0, 5}) EXPECT_EQ(KxGenResource(mode, out.c_str(), &p, 1, 0, nullptr), 1) << mode;
    for (int target : {0, 6}) EXPECT_EQ(KxGenResource(4, out.c_str(), &p, target, 0, nullptr), 1) << target;
    EXPECT_FALSE(file_exists(out));
}

// Printer names of 260 characters or more are refused; 259 is accepted.
TEST(GenResource, NameLengthLimit)
{
    TempDir dir;
    std::string base = dir.path() + "/";
    std::string sub = base + std::string(100, 'd');
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    auto name_of_length = [&](std::size_t n) { return sub + "/" + std::string(n - sub.size() - 1, 'f'); };
    std::string n259 = name_of_length(259), n260 = name_of_length(260);
    ASSERT_EQ(n259.size(), 259u);
    KxPrinterInfo p = printer(0, 5);
    EXPECT_EQ(KxGenResource(4, n260.c_str(), &p, 1, 0, nullptr), 1);
    EXPECT_FALSE(file_exists(n260));
    EXPECT_EQ(KxGenResource(4, n259.c_str(), &p, 1, 0, nullptr), 0);
    EXPECT_EQ(read_bytes(n259), kDirectorySwitch);
}

TEST(GenResource, DestinationThatCannotBeOpenedGives3)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL, 5);
    EXPECT_EQ(KxGenResource(4, "/nonexistent-kx-dir/out.prn", &p, 1, 0, nullptr), 3);
}

TEST(GenResource, ShortWriteGives7)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL, 5, "Job");
    EXPECT_EQ(KxGenResource(4, "/dev/full", &p, 1, 0, nullptr), 7);
    p.bFlags = 0;
    EXPECT_EQ(KxGenResource(4, "/dev/full", &p, 1, 0, nullptr), 7);
}
