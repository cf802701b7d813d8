// The communication-library back-end and KxNetGetType, against the recording
// stand-in libkvabcomm.so placed on the loader path by the test set-up.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "output_test_support.h"

using namespace kxtest;

namespace {

bool comm_library_loaded()
{
    void *h = dlopen("libkvabcomm.so", RTLD_NOW | RTLD_NOLOAD);
    if (h) dlclose(h);
    return h != nullptr;
}

Bytes unhex(const std::string &s)
{
    Bytes b;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) b.push_back(static_cast<std::uint8_t>(std::stoi(s.substr(i, 2), nullptr, 16)));
    return b;
}

std::uint32_t u32(const Bytes &b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

class CommLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        log_ = dir_.file("calls.log");
        setenv("KVABCOMM_LOG", log_.c_str(), 1);
        unsetenv("KVABCOMM_REFUSE");
        unsetenv("KVABCOMM_TYPE_BITS");
    }
    std::vector<std::string> calls() const
    {
        std::vector<std::string> lines;
        std::istringstream in(read_text(log_));
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        return lines;
    }
    TempDir dir_;
    std::string log_;
};

std::string host_name()
{
    char buf[256] = {};
    gethostname(buf, sizeof buf - 1);
    return std::string(buf).substr(0, 15);
}

std::string login_name() { return getpwuid(geteuid())->pw_name; }

} // namespace

TEST_F(CommLibraryTest, JobGoesThroughTheSixCallsInOrder)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL, 5, "Job");
    p.port.wAdapter = 3;
    p.port.wDevice = 7;
    ASSERT_EQ(KxGenResource(4, "ignored-name", &p, 1, 0, nullptr), 0);
    auto lines = calls();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines.front(), "load");
    EXPECT_EQ(lines[1], "BceOpen 3 7 0");
    EXPECT_EQ(lines[2].rfind("BceStartDoc 7 0 ", 0), 0u) << lines[2];
    Bytes sent;
    std::size_t i = 3;
    for (; i < lines.size() && lines[i].rfind("BceWrite 3 7 0 ", 0) == 0; ++i) {
        std::istringstream w(lines[i].substr(15));
        std::size_t count;
        int last;
        std::string data;
        w >> count >> last >> data;
        EXPECT_EQ(last, 1);
        Bytes chunk = unhex(data);
        EXPECT_EQ(chunk.size(), count);
        sent.insert(sent.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(sent, concat({kUel, panel("Job"), pjl("ENTER LANGUAGE = PCL"), kUel, pjl("KPRINTDIRECTORY"), kUel,
                            panel(""), kUel}));
    ASSERT_EQ(lines.size(), i + 3);
    EXPECT_EQ(lines[i], "BceEndDoc 7 0");
    EXPECT_EQ(lines[i + 1], "BceClose 3 7");
    EXPECT_EQ(lines[i + 2], "unload");
    EXPECT_FALSE(comm_library_loaded());
}

TEST_F(CommLibraryTest, JobHeaderLayout)
{
    for (const char *job : {"Quarterly report", static_cast<const char *>(nullptr)}) {
        std::remove(log_.c_str());
        KxPrinterInfo p = printer(0, 5, job);
        p.port.wDevice = 1;
        ASSERT_EQ(KxGenResource(1, "x", &p, 1, 0, nullptr), 0);
        auto lines = calls();
        ASSERT_GE(lines.size(), 3u);
        Bytes h = unhex(lines[2].substr(std::string("BceStartDoc 1 0 ").size()));
        const std::string computer = host_name(), user = login_name(), product = "Vantrel";
        const std::string name = job ? job : "Vantrel Job";
        const std::uint32_t lc = computer.size(), lu = user.size(), lp = 7, lj = name.size();
        ASSERT_EQ(h.size(), 24 + lc + lu + lp + lj);
        EXPECT_EQ(u32(h, 0), 24 + lc + lu + lp + lj);
        EXPECT_EQ(u32(h, 4), 20u);
        EXPECT_EQ(u32(h, 8), lc + 21);
        EXPECT_EQ(u32(h, 12), lc + lu + 22);
        EXPECT_EQ(u32(h, 16), lc + lu + lp + 23);
        std::string strings(h.begin() + 20, h.end());
        EXPECT_EQ(strings, computer + '\0' + user + '\0' + product + '\0' + name + '\0');
    }
}

TEST_F(CommLibraryTest, RefusedOpenOrStartLeavesNoLibraryLoaded)
{
    for (const char *refused : {"BceOpen", "BceStartDoc"}) {
        std::remove(log_.c_str());
        setenv("KVABCOMM_REFUSE", refused, 1);
        KxPrinterInfo p = printer(KX_PRINTER_PJL, 5);
        p.port.wDevice = 2;
        EXPECT_EQ(KxGenResource(4, "x", &p, 1, 0, nullptr), 26) << refused;
        EXPECT_FALSE(comm_library_loaded()) << refused;
        auto lines = calls();
        EXPECT_EQ(lines.back(), "unload") << refused;
        for (const auto &l : lines) {
            EXPECT_EQ(l.rfind("BceClose", 0), std::string::npos) << refused;
            EXPECT_EQ(l.rfind("BceWrite", 0), std::string::npos) << refused;
        }
    }
}

TEST_F(CommLibraryTest, RefusedWriteGives14)
{
    setenv("KVABCOMM_REFUSE", "BceWrite", 1);
    KxPrinterInfo p = printer(KX_PRINTER_PJL, 5);
    p.port.wDevice = 2;
    EXPECT_EQ(KxGenResource(4, "x", &p, 1, 0, nullptr), 14);
    EXPECT_FALSE(comm_library_loaded());
}

TEST_F(CommLibraryTest, NetGetTypeByTypeBits)
{
    struct Case {
        const char *bits;
        int type;
    } cases[] = {{"0x824", 2048}, {"0x24", 32}, {"0x06", 4}, {"0x02", 2}, {"0x01", 0}, {"0", 0}};
    for (const auto &c : cases) {
        setenv("KVABCOMM_TYPE_BITS", c.bits, 1);
        EXPECT_EQ(KxNetGetType(0x10005), c.type) << c.bits;
        EXPECT_FALSE(comm_library_loaded());
    }
    auto lines = calls();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "BceGetPrtInfo 5 0");  // the low 16 bits of the device number
}
