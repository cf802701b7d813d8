#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "api/byte_reader.h"

using kx::ByteReader;

TEST(ByteReader, ReadsBothByteOrders)
{
    const std::uint8_t b[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    ByteReader r(b, sizeof b);
    EXPECT_EQ(r.u16le(), 0x0201);
    EXPECT_EQ(r.u16be(), 0x0304);
    EXPECT_EQ(r.u32le(), 0x08070605u);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.at_end());
}

TEST(ByteReader, ShortReadFailsAndStaysFailed)
{
    const std::uint8_t b[] = {0xAA, 0xBB, 0xCC};
    ByteReader r(b, sizeof b);
    EXPECT_EQ(r.u32le(), 0u);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.pos(), 0u);
    EXPECT_EQ(r.u8(), 0);  // a failed reader yields nothing further
    EXPECT_FALSE(r.ok());
}

TEST(ByteReader, SubRangesAreCheckedWithoutOverflow)
{
    const std::uint8_t b[16] = {};
    ByteReader r(b, sizeof b);
    EXPECT_TRUE(r.sub(0, 16).ok());
    EXPECT_TRUE(r.sub(16, 0).ok());
    EXPECT_FALSE(r.sub(15, 2).ok());
    EXPECT_FALSE(r.sub(17, 0).ok());
    EXPECT_FALSE(r.sub(8, std::numeric_limits<std::size_t>::max()).ok());
    EXPECT_FALSE(r.has_range(std::numeric_limits<std::size_t>::max(), 2));
    EXPECT_EQ(r.peek_u32le(13), 0u);
    EXPECT_FALSE(r.seek(17));
}
