#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "kxapi.h"

extern "C" int kx_header_c_check_size(void);

TEST(GenQueryApiInfo, OverwritesAllWordsWithFixedValues)
{
    std::uint16_t words[64];
    std::memset(words, 0xAB, sizeof words);
    EXPECT_EQ(KxGenQueryApiInfo(words), 0);
    std::uint16_t expected[64] = {};
    expected[0] = 100;
    expected[1] = 32;
    expected[2] = 2;
    expected[3] = 2;
    for (int i : {11, 12, 16, 17, 20, 23, 26, 28}) expected[i] = 1;
    for (int i = 0; i < 64; ++i) EXPECT_EQ(words[i], expected[i]) << "word " << i;
}

TEST(GenQueryQueues, BufferAndLow16BitsOfSize)
{
    unsigned char buf[1024];
    std::memset(buf, 0x5A, sizeof buf);
    struct Case {
        void *buffer;
        std::uint32_t size;
        int result;
    } cases[] = {
        {buf, 1024, 0},        {buf, 1023, 1},       {nullptr, 1024, 1},
        {buf, 65536 + 1024, 0}, {buf, 65536, 1},     {buf, 0xFFFF, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(KxGenQueryQueues(0, 0, c.buffer, c.size), c.result) << c.size;
        EXPECT_EQ(KxGenQueryAdapters(7, 9, c.buffer, c.size), c.result) << c.size;
    }
    for (unsigned char b : buf) ASSERT_EQ(b, 0x5A);
}

TEST(MemFree, NullDoesNothing) { KxMemFree(nullptr); }

TEST(Header, CAndCppAgreeOnLayout) { EXPECT_EQ(kx_header_c_check_size(), 52); }
