#include "util/file_utils.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>

#include "common/test_support.h"
#include "common/word_checksum.h"
#include "platform/file.h"

namespace {

using kxtest::Bytes;

using kxtest::word_checksum;

std::uint16_t checksum_of_file(const std::string &path, std::uint16_t skip, int *result = nullptr)
{
    kx::platform::Fd fd(kx::util::open_by_mode(path, 4));
    EXPECT_TRUE(fd);
    std::uint16_t sum = 0xABCD;
    int r = kx::util::checksum_fd(fd.get(), skip, sum);
    if (result) *result = r;
    return sum;
}

TEST(FileChecksum, SmallCases)
{
    kxtest::TempDir dir;
    struct Case {
        Bytes data;
        std::uint16_t skip;
        std::uint16_t expected;
    } cases[] = {
        {{0x01, 0x00, 0x02, 0x00}, 0, 0xFFFD},
        {{0x01, 0x00, 0x02, 0x00}, 2, 0xFFFF},
        {{}, 0, 0x0000},
        {{0x05}, 0, 0xFFFB},                    // one byte: high byte of the buffer is 0
        {{0x01, 0x7F, 0x03}, 0, 0x01FC},       // odd last byte keeps the previous high byte 0x7F
        {{0x01, 0x7F, 0x03}, 2, 0x80FF},       // the odd last word can be the skipped one
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0, 0x0002}, // wraps at 16 bits
        {{0x01, 0x00}, 9, 0xFFFF},             // a skip past the end leaves out nothing
    };
    for (const auto &c : cases) {
        std::string path = dir.file("f.bin");
        kxtest::write_bytes(path, c.data);
        ASSERT_EQ(word_checksum(c.data, c.skip), c.expected) << kxtest::hex(c.data);
        int r = -1;
        EXPECT_EQ(checksum_of_file(path, c.skip, &r), c.expected) << kxtest::hex(c.data);
        EXPECT_EQ(r, 0);
    }
}

// Large files cross the internal block boundaries; the skipped word and the
// odd tail must be handled wherever they fall.
TEST(FileChecksum, LargeFilesMatchWordByWordDefinition)
{
    kxtest::TempDir dir;
    std::mt19937 rng(7);
    for (std::size_t size : {std::size_t(262143), std::size_t(262144), std::size_t(262145),
                             std::size_t(1000001), std::size_t(524288 + 17)}) {
        Bytes data(size);
        for (auto &b : data) b = static_cast<std::uint8_t>(rng());
        std::string path = dir.file("big.bin");
        kxtest::write_bytes(path, data);
        for (std::uint16_t skip : {std::uint16_t(0), std::uint16_t(1), std::uint16_t(2),
                                   std::uint16_t(65535), std::uint16_t(size / 2 + 1)})
            EXPECT_EQ(checksum_of_file(path, skip), word_checksum(data, skip)) << size << " " << skip;
    }
}

// The checksum reads from the start, whatever the descriptor's position, and
// leaves the descriptor open for its owner.
TEST(FileChecksum, ReadsFromStartOfOpenDescriptor)
{
    kxtest::TempDir dir;
    std::string path = dir.file("f.bin");
    kxtest::write_bytes(path, {0x01, 0x00, 0x02, 0x00});
    int fd = kx::util::open_by_mode(path, 4);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::lseek(fd, 3, SEEK_SET), 3);
    std::uint16_t sum = 0;
    EXPECT_EQ(kx::util::checksum_fd(fd, 0, sum), 0);
    EXPECT_EQ(sum, 0xFFFD);
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 4);  // still open
    ::close(fd);
}

TEST(FileChecksum, ReadErrorGives6)
{
    kxtest::TempDir dir;
    int fd = ::open(dir.path().c_str(), O_RDONLY);  // reading a directory fails
    ASSERT_GE(fd, 0);
    std::uint16_t sum = 1;
    EXPECT_EQ(kx::util::checksum_fd(fd, 0, sum), 6);
    EXPECT_EQ(sum, 0);
    ::close(fd);
}

TEST(OpenByMode, ModesCreateTruncateOrKeep)
{
    kxtest::TempDir dir;
    std::string path = dir.file("Data.BIN");
    // A read-only open of a missing file fails.
    EXPECT_LT(kx::util::open_by_mode(path, 4), 0);
    // Modes 2 and 5 create; the descriptor writes.
    for (int mode : {2, 5, 7, 8, 10, 11}) {
        kxtest::write_text(path, "old contents");
        int fd = kx::util::open_by_mode(path, mode);
        ASSERT_GE(fd, 0) << mode;
        ASSERT_EQ(::write(fd, "ab", 2), 2) << mode;
        ::close(fd);
        EXPECT_EQ(kxtest::read_text(path), "ab") << mode;
    }
    // Modes 3, 6, 9 and 12 write into the existing file without truncating.
    for (int mode : {3, 6, 9, 12}) {
        kxtest::write_text(path, "old contents");
        int fd = kx::util::open_by_mode(path, mode);
        ASSERT_GE(fd, 0) << mode;
        ASSERT_EQ(::write(fd, "NEW", 3), 3) << mode;
        ::close(fd);
        EXPECT_EQ(kxtest::read_text(path), "NEW contents") << mode;
    }
    // Writing modes on a missing file without create fail.
    EXPECT_LT(kx::util::open_by_mode(dir.file("missing"), 3), 0);
    // Reading modes find the name whatever its letter case; they cannot write.
    for (int mode : {4, 0, 1, 13}) {
        int fd = kx::util::open_by_mode(dir.file("data.bin"), mode);
        ASSERT_GE(fd, 0) << mode;
        EXPECT_LT(::write(fd, "x", 1), 0) << mode;
        ::close(fd);
    }
}

} // namespace
