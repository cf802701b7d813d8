// The printer command layer: PJL job control, ESC [ K language switches and
// storage-target commands written through an open Channel. The steps return
// nothing; their outcome is the channel's nResult. Job start, job end and the
// resource command close the channel when they see a failure.
#pragma once

#include <cstdint>
#include <string_view>

#include "output/channel.h"

namespace kx::output {

// Universal exit language.
inline constexpr std::string_view kUel = "\x1b%-12345X";
// ESC [ K sequence that ends a job (sent after a raw send).
inline constexpr std::uint8_t kJobEndSwitch[6] = {0x1B, 0x5B, 0x4B, 0x01, 0x00, 0x06};

// Storage device name of a target: 1 "ram", 2 "flash1", 3 "flash2",
// 4 "disk1", 5 "disk2"; "" for any other value.
std::string_view storage_device_name(int target);

// UEL, panel message, language line, and with with_copies the PJL copies line.
void job_start(Channel &ch, bool with_copies);
// UEL, empty panel message, optionally "@PJL RESET", UEL.
void job_end(Channel &ch, bool with_reset);
// The 8-byte language-switch template (byte 6 replaced by a non-zero
// switch_value, which stays for later sends), or the PCL copies command.
void language_switch(Channel &ch, std::uint8_t switch_value);
// Resource command, mode 1 (RAM), 2 (storage target), 3 (format), 4 (directory).
void resource_command(Channel &ch, int mode);

} // namespace kx::output
