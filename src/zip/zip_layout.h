// Record layouts of the ZIP container, named after the format's own fields.
//
// NAME                    OFFSET TYPE  DESCRIPTION
// end of central directory record ("PK\5\6", 22 bytes + comment)
//   signature                 0  u32   0x06054B50
//   number_this_disk          4  u16   disk holding this record
//   disk_with_cd              6  u16   disk where the central directory starts
//   entries_this_disk         8  u16
//   entries_total            10  u16
//   cd_size                  12  u32   bytes of the central directory
//   cd_offset                16  u32   offset of the central directory
//   comment_length           20  u16
// central directory file header ("PK\1\2", 46 bytes + name + extra + comment)
//   version_made_by           4  u16
//   version_needed            6  u16   low byte version x 10, high byte host system
//   flags                     8  u16   bit 0 encrypted, bits 1-2 implode options, bit 3 data descriptor
//   method                   10  u16
//   mod_time, mod_date       12  u16 x2  DOS time and date
//   crc32                    16  u32
//   compressed_size          20  u32
//   uncompressed_size        24  u32
//   name_length              28  u16
//   extra_length             30  u16
//   comment_length           32  u16
//   disk_start               34  u16
//   internal_attributes      36  u16
//   external_attributes      38  u32
//   local_header_offset      42  u32
// local file header ("PK\3\4", 30 bytes + name + extra)
//   version_needed            4  u16
//   flags                     6  u16
//   method                    8  u16
//   mod_time, mod_date       10  u16 x2
//   crc32                    14  u32
//   compressed_size          18  u32
//   uncompressed_size        22  u32
//   name_length              26  u16
//   extra_length             28  u16
#pragma once

#include <cstddef>
#include <cstdint>

namespace kx::zip {

constexpr std::uint32_t kSigEnd = 0x06054B50;      // "PK\5\6"
constexpr std::uint32_t kSigCentral = 0x02014B50;  // "PK\1\2"
constexpr std::uint32_t kSigLocal = 0x04034B50;    // "PK\3\4"

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralFixedSize = 46;  // with the signature
constexpr std::size_t kLocalFixedSize = 30;    // with the signature

constexpr std::size_t kMaxComment = 65535;
constexpr std::size_t kEndSearchReach = kMaxComment + kEndRecordSize;  // 65557
constexpr std::size_t kBlock = 2048;        // input block; the end search reads these
constexpr std::size_t kHold = 3;            // bytes of the following block kept after a block
constexpr std::size_t kMaxName = 259;       // longer names are cut

constexpr unsigned kFlagEncrypted = 0x0001;
constexpr unsigned kFlagImplode8K = 0x0002;
constexpr unsigned kFlagImplodeLiteralTree = 0x0004;
constexpr unsigned kFlagDataDescriptor = 0x0008;

constexpr unsigned kHostVms = 2;
constexpr unsigned kMaxVersionNeeded = 20;  // 2.0

enum Method : unsigned {
    kStored = 0,
    kShrunk = 1,
    kReduced1 = 2,
    kReduced4 = 5,
    kImploded = 6,
    kTokenized = 7,
    kDeflated = 8,
};

} // namespace kx::zip
