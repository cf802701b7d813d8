// The channel and the command steps, tested on the library's internals.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "output/channel.h"
#include "output/commands.h"
#include "output/spooler.h"
#include "output_test_support.h"

using namespace kxtest;
namespace out = kx::output;

namespace {

// Runs steps on a channel opened on a fresh file and returns the bytes sent.
template <typename Steps>
Bytes sent_by(const KxPrinterInfo &p, Steps steps, int target = 1)
{
    TempDir dir;
    std::string path = dir.file("out.prn");
    out::Channel ch;
    ch.pInfo = &p;
    ch.nMode = out::kModeReplace;
    ch.nTarget = target;
    EXPECT_EQ(out::open(ch, path.c_str(), 0, nullptr), 0);
    steps(ch);
    EXPECT_EQ(ch.nResult, 0);
    out::close(ch);
    return read_bytes(path);
}

} // namespace

TEST(Channel, AppendsInModeAbAndClosesOnlyOnce)
{
    TempDir dir;
    std::string path = dir.file("out.prn");
    write_text(path, "head:");
    KxPrinterInfo p = printer(0, 5);
    out::Channel ch;
    ch.pInfo = &p;
    ch.nMode = out::kModeAppend;
    ASSERT_EQ(out::open(ch, path.c_str(), 0, nullptr), 0);
    EXPECT_EQ(out::write(ch, std::string_view("\0\xff tail", 7)), 7u);
    EXPECT_EQ(out::close(ch), 0);
    EXPECT_EQ(out::close(ch), 0);
    EXPECT_EQ(out::write(ch, std::string_view("late")), 0u);  // nothing goes to a closed channel
    EXPECT_EQ(read_bytes(path), bytes_of(std::string_view("head:\0\xff tail", 12)));
}

TEST(Channel, OpenModeTable)
{
    const char *expected[] = {"", "r", "w", "a", "rb", "wb", "ab", "r+", "w+", "a+", "rb+", "wb+", "ab+", ""};
    for (int i = 0; i < 14; ++i) EXPECT_STREQ(out::open_mode_string(i), expected[i]) << i;
    EXPECT_STREQ(out::open_mode_string(14), "");
    EXPECT_STREQ(out::open_mode_string(-1), "");
}

TEST(Channel, ShortWriteStopsTheFramingAndClosesTheChannel)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL, 5, "Job");
    out::Channel ch;
    ch.pInfo = &p;
    ASSERT_EQ(out::open(ch, "/dev/full", 0, nullptr), 0);
    out::job_start(ch, true);
    EXPECT_EQ(ch.nResult, 7);
    EXPECT_EQ(ch.backend, out::Backend::None);  // the step closed it
    EXPECT_EQ(out::close(ch), 0);
}

TEST(CommandLayer, JobStartWithCopiesAndJobEndWithReset)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL, 3, "Report");
    p.wCopies = 3;
    Bytes got = sent_by(p, [](out::Channel &ch) {
        out::job_start(ch, true);
        out::job_end(ch, true);
    });
    EXPECT_EQ(got, concat({kUel, panel("Report"), pjl("ENTER LANGUAGE = POSTSCRIPT"), pjl("SET COPIES = 3"), kUel,
                           panel(""), pjl("RESET"), kUel}));
    // Without the copies flag, or with no copies, no copies line.
    got = sent_by(p, [](out::Channel &ch) { out::job_start(ch, false); });
    EXPECT_EQ(got, concat({kUel, panel("Report"), pjl("ENTER LANGUAGE = POSTSCRIPT")}));
}

TEST(CommandLayer, LanguageSwitchKeepsTheLastSwitchValue)
{
    KxPrinterInfo p = printer(KX_PRINTER_ESCK, 3);
    auto send_switch = [&](std::uint8_t value) {
        return sent_by(p, [value](out::Channel &ch) { out::language_switch(ch, value); });
    };
    EXPECT_EQ(send_switch(0), (Bytes{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x08}));
    EXPECT_EQ(send_switch(0x35), (Bytes{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x35, 0x08}));
    EXPECT_EQ(send_switch(0), (Bytes{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x35, 0x08}));
    // Another language's template is untouched.
    p.nLanguage = 2;
    EXPECT_EQ(send_switch(0), (Bytes{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x01}));
}

TEST(CommandLayer, LanguageSwitchByLanguage)
{
    struct Case {
        int language;
        std::uint16_t copies;
        Bytes expected;
    } cases[] = {
        {0, 0, {}},
        {0, 2, bytes_of("\x1b&l2X")},
        {1, 4, {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x00}},
        {4, 0, {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x03}},
        {5, 3, concat({{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x02}, bytes_of("\x1b&l3X")})},
        {6, 65535, concat({{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x02}, bytes_of("\x1b&l65535X")})},
        {7, 3, {}},
        {-1, 3, {}},
    };
    for (const auto &c : cases) {
        KxPrinterInfo p = printer(KX_PRINTER_ESCK, c.language);
        p.wCopies = c.copies;
        EXPECT_EQ(hex(sent_by(p, [](out::Channel &ch) { out::language_switch(ch, 0); })), hex(c.expected))
            << "language " << c.language;
    }
}

TEST(CommandLayer, StorageDeviceNames)
{
    const char *names[] = {"", "ram", "flash1", "flash2", "disk1", "disk2", ""};
    for (int t = 0; t <= 6; ++t) EXPECT_EQ(out::storage_device_name(t), names[t]);
    EXPECT_EQ(out::storage_device_name(7), "");
}

// ---- Spooler back-end with a scripted spooler ----

namespace {
struct FakeSpooler {
    bool is_queue = true;
    std::uint32_t job_number = 41;
    bool page_ok = true;
    std::size_t accept = SIZE_MAX;  // bytes a write accepts
    std::string title;
    Bytes data;
    int opens = 0, closes = 0, end_docs = 0;
};
FakeSpooler g_fake;
int g_token;

const out::SpoolerOps kFakeOps = {
    [](const char *) { return g_fake.is_queue ? (++g_fake.opens, reinterpret_cast<out::SpoolJob *>(&g_token)) : nullptr; },
    [](out::SpoolJob *, const char *title) {
        g_fake.title = title;
        return g_fake.job_number;
    },
    [](out::SpoolJob *) { return g_fake.page_ok; },
    [](out::SpoolJob *, const void *b, std::size_t n) {
        std::size_t k = std::min(n, g_fake.accept);
        g_fake.data.insert(g_fake.data.end(), static_cast<const std::uint8_t *>(b), static_cast<const std::uint8_t *>(b) + k);
        return k;
    },
    [](out::SpoolJob *) {},
    [](out::SpoolJob *) { ++g_fake.end_docs; },
    [](out::SpoolJob *) { ++g_fake.closes; },
    []() { return 9; },
    [](out::SpoolJob *) { return 77L; },
};

struct CallbackModule {
    void *handle = dlopen(KX_CALLBACK_MODULE, RTLD_NOW);
    int calls() const
    {
        int c;
        std::intptr_t v;
        std::uint32_t j;
        reinterpret_cast<void (*)(int *, std::intptr_t *, std::uint32_t *)>(dlsym(handle, "callback_module_state"))(&c, &v, &j);
        return c;
    }
    std::pair<std::intptr_t, std::uint32_t> last() const
    {
        int c;
        std::intptr_t v;
        std::uint32_t j;
        reinterpret_cast<void (*)(int *, std::intptr_t *, std::uint32_t *)>(dlsym(handle, "callback_module_state"))(&c, &v, &j);
        return {v, j};
    }
    ~CallbackModule() { dlclose(handle); }
};

class SpoolerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_fake = FakeSpooler{};
        out::set_spooler(&kFakeOps);
    }
    void TearDown() override { out::set_spooler(nullptr); }
};
} // namespace

TEST_F(SpoolerTest, RawJobNamedAfterTheJobAndCallbackOncePerOpen)
{
    CallbackModule module;
    ASSERT_NE(module.handle, nullptr) << dlerror();
    KxPrinterInfo p = printer(0, 5);
    out::Channel ch;
    ch.pInfo = &p;
    ASSERT_EQ(out::open(ch, "queue", 1234, module.handle), 0);
    EXPECT_EQ(g_fake.title, "Vantrel Job");
    EXPECT_EQ(module.calls(), 1);
    EXPECT_EQ(module.last(), (std::pair<std::intptr_t, std::uint32_t>(1234, 41)));
    out::write(ch, std::string_view("\x1b" "E"));
    EXPECT_EQ(out::close(ch), 0);
    EXPECT_EQ(out::close(ch), 0);
    EXPECT_EQ(g_fake.closes, 1);
    EXPECT_EQ(g_fake.data, bytes_of("\x1b" "E"));

    // A later open without a module never calls back, though an earlier one found it.
    p.port.pszJobName = "Invoices";
    ASSERT_EQ(out::open(ch, "queue", 5, nullptr), 0);
    out::close(ch);
    EXPECT_EQ(g_fake.title, "Invoices");
    EXPECT_EQ(module.calls(), 1);
}

TEST_F(SpoolerTest, JobThatCannotStartCallsBackWithZeroAndFallsBackToAFile)
{
    CallbackModule module;
    g_fake.job_number = 0;
    TempDir dir;
    std::string path = dir.file("queue");
    KxPrinterInfo p = printer(0, 5);
    out::Channel ch;
    ch.pInfo = &p;
    ASSERT_EQ(out::open(ch, path.c_str(), 8, module.handle), 0);
    EXPECT_EQ(ch.backend, out::Backend::File);
    EXPECT_EQ(module.calls(), 1);
    EXPECT_EQ(module.last().second, 0u);
    EXPECT_EQ(g_fake.closes, 1);
    out::close(ch);
    EXPECT_TRUE(file_exists(path));

    // A page that cannot start ends the document, closes, and falls back too.
    g_fake = FakeSpooler{};
    g_fake.page_ok = false;
    ASSERT_EQ(out::open(ch, path.c_str(), 0, nullptr), 0);
    EXPECT_EQ(ch.backend, out::Backend::File);
    EXPECT_EQ(g_fake.end_docs, 1);
    EXPECT_EQ(g_fake.closes, 1);
    out::close(ch);
}

TEST_F(SpoolerTest, FailedWritePrintsTwoLinesAndClosesTheJob)
{
    g_fake.accept = 2;
    KxPrinterInfo p = printer(0, 5);
    out::Channel ch;
    ch.pInfo = &p;
    ASSERT_EQ(out::open(ch, "queue", 0, nullptr), 0);
    const char data[8] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};  // no terminator
    testing::internal::CaptureStdout();
    EXPECT_EQ(out::write(ch, data, 5), 2u);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "\nWritePrinter FAILED! 77 ABCDE 5 2 \nGetLastError: 9\n");
    EXPECT_EQ(ch.nResult, 14);
    EXPECT_EQ(g_fake.closes, 1);
    EXPECT_EQ(out::write(ch, data, 3), 0u);  // the closed job takes nothing more
    EXPECT_EQ(g_fake.data, bytes_of("AB"));
    EXPECT_EQ(out::close(ch), 0);
    EXPECT_EQ(g_fake.closes, 1);
}
