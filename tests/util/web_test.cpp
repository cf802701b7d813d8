// Support web addresses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/test_support.h"
#include "kxapi.h"
#include "util/web_address.h"

namespace {

const std::string kBase(kx::web::support_base());

std::string url(int printer, int kind, int lang, KxIniHandle *ini, int &rc, uint32_t size = 256)
{
    std::string buf(size + 1, '#');
    rc = KxWebGetURL(printer, kind, lang, buf.data(), size, ini);
    return buf.c_str();
}

TEST(WebUrl, PathAddressWithoutIni)
{
    struct Case {
        int printer, kind, lang;
        int rc;
        std::string out;
    } cases[] = {
        {-1, 1, 2, 0, kBase + "/NA/drivers/2"},
        {0, 7, 1, 0, kBase + "/NA/techsupport/1/8"},
        {3, 8, 0, 0, kBase + "/NA/publications/0/4"},
        {25, 3, 5, 0, kBase + "/NA/homepage/5/1"},
        {19, 6, 5, 0, kBase + "/NA/supplies/5/11"},
        {21, 4, 5, 0, kBase + "/NA/fleetwatch/5/21"},
        {2, 1, 2, KX_ERR_TYPE_MISMATCH, ""},
        {9, 1, 2, KX_ERR_TYPE_MISMATCH, ""},
        {16, 1, 2, KX_ERR_TYPE_MISMATCH, ""},
        {-2, 1, 2, KX_ERR_TYPE_MISMATCH, ""},
        {-1, 0, 2, KX_ERR_INVALID_ARG, ""},
        {-1, 9, 2, KX_ERR_INVALID_ARG, ""},
    };
    for (const auto &c : cases) {
        int rc;
        EXPECT_EQ(url(c.printer, c.kind, c.lang, nullptr, rc), c.out) << c.printer << "/" << c.kind;
        EXPECT_EQ(rc, c.rc) << c.printer << "/" << c.kind;
    }
    EXPECT_EQ(KxWebGetURL(-1, 1, 2, nullptr, 10, nullptr), KX_ERR_INVALID_ARG);
}

TEST(WebUrl, BufferLimits)
{
    std::string full = kBase + "/NA/drivers/2";
    int rc;
    EXPECT_EQ(url(-1, 1, 2, nullptr, rc, static_cast<uint32_t>(full.size() + 1)), full);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(url(-1, 1, 2, nullptr, rc, static_cast<uint32_t>(full.size())), "");
    EXPECT_EQ(rc, KX_ERR_BUFFER_SMALL);
    EXPECT_EQ(url(-1, 1, 2, nullptr, rc, 3), "");
    EXPECT_EQ(rc, KX_ERR_BUFFER_SMALL);
    char one = '#';
    EXPECT_EQ(KxWebGetURL(2, 1, 2, &one, 0, nullptr), KX_ERR_TYPE_MISMATCH);
    EXPECT_EQ(one, '#');  // a zero-size buffer is never written
}

TEST(WebUrl, IniOverridesParts)
{
    kxtest::TempDir dir;
    std::string path = dir.file("web.ini");
    kxtest::write_text(path,
                       "[AREA_PREFIX]\nFIRMWARE=https://mirror.example.org/fw\n"
                       "[AREA]\nDRIVERS=\nFIRMWARE=fw\n"
                       "[LANGUAGE]\n2=de\n"
                       "[PRINTER]\n8=model-8\n");
    KxIniHandle *ini = KxIniOpen(path.c_str());
    ASSERT_NE(ini, nullptr);
    struct Case {
        int printer, kind, lang;
        int rc;
        std::string out;
    } cases[] = {
        // An empty AREA value leaves the area out; the printer look-up last used its default.
        {7, 1, 2, KX_INI_DEFAULT_USED, kBase + "/NA/de/5"},
        {0, 2, 2, 0, "https://mirror.example.org/fw/fw/de/model-8"},
        {-1, 1, 2, 0, kBase + "/NA/de"},
        {-1, 1, 3, KX_INI_DEFAULT_USED, kBase + "/NA/3"},
    };
    for (const auto &c : cases) {
        int rc;
        EXPECT_EQ(url(c.printer, c.kind, c.lang, ini, rc), c.out) << c.printer << "/" << c.kind;
        EXPECT_EQ(rc, c.rc) << c.printer << "/" << c.kind;
    }
    // A value longer than the caller's buffer ends the call with 42.
    int rc;
    EXPECT_EQ(url(0, 2, 2, ini, rc, 20), "");
    EXPECT_EQ(rc, KX_ERR_BUFFER_SMALL);
    KxIniClose(ini);
}

TEST(WebCgiUrl, QueryAddress)
{
    ASSERT_EQ(::setenv("LC_ALL", "en_US.UTF-8", 1), 0);
    // The platform's version record is NT 6.2: os value 5.
    std::string expected = kBase + "/MD/?func=support&lang=2&prtr=B001022&ctry=00000409&os=5";
    std::string buf(200, '#');
    EXPECT_EQ(KxWebGetCGIURL(1, 22, 7, 0x0407, buf.data(), 200), 0);
    EXPECT_EQ(std::string(buf.c_str()), expected);
    // Exactly enough: every part needs a spare byte beyond its terminator.
    EXPECT_EQ(KxWebGetCGIURL(1, 22, 7, 0x0407, buf.data(), static_cast<uint32_t>(expected.size() + 2)), 0);
    EXPECT_EQ(KxWebGetCGIURL(1, 22, 7, 0x0407, buf.data(), static_cast<uint32_t>(expected.size() + 1)),
              KX_ERR_BUFFER_SMALL);
    EXPECT_EQ(std::string(buf.c_str()), "");

    std::string prefix = kBase + "/MD/?";
    EXPECT_EQ(KxWebGetCGIURL(1, 22, 7, 0x0407, buf.data(), static_cast<uint32_t>(prefix.size() + 1)),
              KX_ERR_BUFFER_SMALL);
    EXPECT_EQ(KxWebGetCGIURL(1, 22, 0, 0x0407, buf.data(), 200), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxWebGetCGIURL(1, 22, 1, 0x0407, buf.data(), 0), KX_ERR_INVALID_ARG);
    EXPECT_EQ(KxWebGetCGIURL(1, 22, 1, 0x0407, nullptr, 200), KX_ERR_INVALID_ARG);

    ASSERT_EQ(::setenv("LC_ALL", "de_CH.UTF-8", 1), 0);
    EXPECT_EQ(KxWebGetCGIURL(2, 3, 1, 0x0409, buf.data(), 200), 0);
    EXPECT_EQ(std::string(buf.c_str()), kBase + "/MD/?func=drivers&lang=0&prtr=B002003&ctry=00000807&os=5");
    ::unsetenv("LC_ALL");
}

TEST(WebCgiUrl, LanguageValues)
{
    struct Case {
        uint16_t langid;
        unsigned value;
    } cases[] = {{0x0C04, 14}, {0x0804, 13}, {0x0404, 14}, {0x1004, 14}, {0x0406, 5}, {0x0407, 2},
                 {0x0C0A, 4},  {0x040B, 9},  {0x040C, 1},  {0x0410, 3},  {0x0411, 12}, {0x0413, 7},
                 {0x0414, 6},  {0x0415, 20}, {0x0416, 21}, {0x0419, 22}, {0x041D, 8},  {0x0409, 0},
                 {0x0412, 0}};
    for (const auto &c : cases) EXPECT_EQ(kx::web::language_value(c.langid), c.value) << std::hex << c.langid;
}

} // namespace
