// Operator-panel configuration files: registration table and the queries.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/test_support.h"
#include "kxapi.h"

namespace {

const char kPanel[] =
    "[Format]\n"
    "Style=1\n"
    "[Spin Limits]\n"
    "163=1;10;1\n"
    "164=-1;5\n"
    "165=7\n"
    "166=\n"
    "[Edit Lengths]\n"
    "163=32\n"
    "[Combos]\n"
    "163=3;5;7\n"
    "163-2=9;;11\n"
    "[Dialogs]\n"
    "1=Paper Page\n"
    "2=Empty Page\n"
    "[Paper Page]\n"
    "NumCtrls=3\n"
    "Defaults=00a3;12;a4;-5;1ff\n"
    "NumOMVAR=2\n"
    "OMVAR=1A2B 00FF\n"
    "[Empty Page]\n";

// A panel file for model `model` in a fresh directory.
struct Panel {
    kxtest::TempDir dir;
    explicit Panel(int model, const std::string &text = kPanel)
    {
        char name[32];
        EXPECT_EQ(KxOpcGetFileName(model, name), 1);
        kxtest::write_text(dir.file(name), text);
    }
};

TEST(OpcRegister, SharedHandleCountedAndFiveSlots)
{
    Panel p(12);
    KxIniHandle *a = KxOpcRegisterCfg(12, p.dir.path().c_str());
    ASSERT_NE(a, nullptr);
    // The same model (by its low 16 bits) shares the handle.
    EXPECT_EQ(KxOpcRegisterCfg(12 + 0x10000, p.dir.path().c_str()), a);
    EXPECT_EQ(KxOpcUnregisterCfg(a), 1);
    EXPECT_EQ(KxOpcUnregisterCfg(a), 1);  // closes
    EXPECT_EQ(KxOpcUnregisterCfg(a), 0);  // no longer registered

    kxtest::TempDir dir;
    KxIniHandle *h[5];
    for (int i = 0; i < 5; ++i) {
        char name[32];
        KxOpcGetFileName(i, name);  // model 0 is a model like any other
        kxtest::write_text(dir.file(name), "[Format]\nStyle=1\n");
        h[i] = KxOpcRegisterCfg(i, (dir.path() + "/").c_str());
        ASSERT_NE(h[i], nullptr) << i;
        for (int j = 0; j < i; ++j) EXPECT_NE(h[i], h[j]);
    }
    kxtest::write_text(dir.file("opc005.cfg"), "[Format]\nStyle=1\n");
    EXPECT_EQ(KxOpcRegisterCfg(5, dir.path().c_str()), nullptr);  // a sixth model
    EXPECT_EQ(KxOpcRegisterCfg(3, dir.path().c_str()), h[3]);     // a registered one still works
    EXPECT_EQ(KxOpcUnregisterCfg(h[3]), 1);
    for (auto *x : h) EXPECT_EQ(KxOpcUnregisterCfg(x), 1);
    EXPECT_EQ(KxOpcUnregisterCfg(nullptr), 0);
}

TEST(OpcRegister, FailedOpenDoesNotHoldASlot)
{
    kxtest::TempDir dir;
    for (int i = 0; i < 8; ++i) EXPECT_EQ(KxOpcRegisterCfg(100 + i, dir.path().c_str()), nullptr);
    Panel p(7);
    KxIniHandle *h = KxOpcRegisterCfg(7, p.dir.path().c_str());
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(KxOpcUnregisterCfg(h), 1);
}

TEST(OpcFileName, Formats)
{
    char buf[32];
    struct Case {
        int32_t id;
        const char *name;
    } cases[] = {{7, "opc007.cfg"}, {12, "opc012.cfg"}, {32767, "opc32767.cfg"}, {0x10007, "opc007.cfg"},
                 {-1, "opc4294967295.cfg"}};
    for (const auto &c : cases) {
        EXPECT_EQ(KxOpcGetFileName(c.id, buf), 1);
        EXPECT_STREQ(buf, c.name);
    }
    EXPECT_EQ(KxOpcGetFileName(1, nullptr), 0);
}

TEST(OpcQueries, SpinLimitsAndEditLength)
{
    Panel p(12);
    KxIniHandle *h = KxOpcRegisterCfg(12, p.dir.path().c_str());
    ASSERT_NE(h, nullptr);
    struct Case {
        int32_t control;
        int32_t a, b, c;
    } cases[] = {{163, 1, 10, 1}, {164, -1, 0, 5}, {165, 7, 0, 0}, {166, 0, 0, 99}, {999, 0, 0, 99}};
    for (const auto &c : cases) {
        int32_t a = 55, b = 55, third = 99;
        KxOpcGetSpinControlLimits(h, c.control, &a, &b, &third);
        EXPECT_EQ(a, c.a) << c.control;
        EXPECT_EQ(b, c.b) << c.control;
        EXPECT_EQ(third, c.c) << c.control;
    }
    EXPECT_EQ(KxOpcGetMaxEditLength(h, 163), 32);
    EXPECT_EQ(KxOpcGetMaxEditLength(h, 164), 0);
    EXPECT_EQ(KxOpcUnregisterCfg(h), 1);
}

TEST(OpcQueries, StyleSelectsHexadecimalKeys)
{
    struct Case {
        const char *style;
        int16_t expected;
    } cases[] = {{"Style=2\n", 20}, {"Style=A\n", 20}, {"Style=1\n", 10}, {"", 10}};
    for (const auto &c : cases) {
        Panel p(3, std::string("[Format]\n") + c.style + "[Edit Lengths]\n00a3=20\n163=10\n");
        KxIniHandle *h = KxOpcRegisterCfg(3, p.dir.path().c_str());
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(KxOpcGetMaxEditLength(h, 163), c.expected) << c.style;
        EXPECT_EQ(KxOpcUnregisterCfg(h), 1);
    }
}

TEST(OpcQueries, TextListing)
{
    Panel p(12);
    KxIniHandle *h = KxOpcRegisterCfg(12, p.dir.path().c_str());
    ASSERT_NE(h, nullptr);
    int16_t buf[5] = {-9, -9, -9, -9, -9};
    EXPECT_EQ(KxOpcGetTextListing(h, 163, 0, buf, 4), -1);
    EXPECT_EQ(buf[0], 6);
    EXPECT_EQ(buf[1], 5);
    EXPECT_EQ(buf[2], -9);  // no more than two numbers stored
    EXPECT_EQ(KxOpcGetTextListing(h, 163, 0, nullptr, 0), 6);
    EXPECT_EQ(KxOpcGetTextListing(h, 163, 0, buf, 8), 3);
    EXPECT_EQ(buf[0], 3);
    EXPECT_EQ(buf[1], 5);
    EXPECT_EQ(buf[2], 7);
    EXPECT_EQ(KxOpcGetTextListing(h, 163, 2, buf, 10), 2);  // key 163-2, empty piece skipped
    EXPECT_EQ(buf[0], 9);
    EXPECT_EQ(buf[1], 11);
    EXPECT_EQ(KxOpcGetTextListing(h, 999, 0, buf, 10), -2);
    // A buffer without room for the needed size is not written at all.
    buf[0] = -9;
    EXPECT_EQ(KxOpcGetTextListing(h, 163, 0, buf, 1), -1);
    EXPECT_EQ(buf[0], -9);
    EXPECT_EQ(KxOpcGetTextListing(nullptr, 163, 0, buf, 10), -2);
    EXPECT_EQ(KxOpcUnregisterCfg(h), 1);
}

TEST(OpcQueries, PageDefaultsAndOmVars)
{
    Panel p(12);
    KxIniHandle *h = KxOpcRegisterCfg(12, p.dir.path().c_str());
    ASSERT_NE(h, nullptr);

    EXPECT_EQ(KxOpcGetPageDefaults(h, 1, nullptr, 0), 24);
    KxOpcCtrlDefault rec[3];
    std::memset(rec, 0xEE, sizeof rec);
    EXPECT_EQ(KxOpcGetPageDefaults(h, 1, rec, 16), -1);
    EXPECT_EQ(rec[0].wControlId, 24);
    std::memset(rec, 0xEE, sizeof rec);
    EXPECT_EQ(KxOpcGetPageDefaults(h, 1, rec, sizeof rec), 3);
    EXPECT_EQ(rec[0].wControlId, 0x00a3);
    EXPECT_EQ(rec[0].nValue, 12);
    EXPECT_EQ(rec[1].wControlId, 0x00a4);
    EXPECT_EQ(rec[1].nValue, -5);
    EXPECT_EQ(rec[2].wControlId, 0x01ff);
    EXPECT_EQ(rec[2].nValue, static_cast<int32_t>(0xEEEEEEEE));  // pieces ran out: left unchanged
    EXPECT_EQ(rec[0].reserved[0], 0xEE);                          // never written
    EXPECT_EQ(KxOpcGetPageDefaults(h, 2, rec, sizeof rec), 0);
    EXPECT_EQ(KxOpcGetPageDefaults(h, 9, rec, sizeof rec), -2);

    uint8_t vars[6] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(KxOpcGetPageOmVars(h, 1, nullptr, 0), 4);
    EXPECT_EQ(KxOpcGetPageOmVars(h, 1, vars, 2), -1);
    EXPECT_EQ(vars[0], 4);
    EXPECT_EQ(vars[1], 0);
    EXPECT_EQ(KxOpcGetPageOmVars(h, 1, vars, 4), 2);
    EXPECT_EQ(kxtest::hex(kxtest::Bytes(vars, vars + 6)), kxtest::hex({0x1A, 0x2B, 0x00, 0xFF, 0xEE, 0xEE}));
    EXPECT_EQ(KxOpcGetPageOmVars(h, 9, vars, 4), -2);
    EXPECT_EQ(KxOpcUnregisterCfg(h), 1);
}

} // namespace
