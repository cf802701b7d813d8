// System information the behaviour asks of the platform.
#pragma once

#include <cstdint>
#include <string>

namespace kx::platform {

// The computer name as a 16-byte buffer can hold it (at most 15 characters);
// empty when it cannot be read.
std::string computer_name();
// The effective user's login name as an 80-byte buffer can hold it (at most
// 79 characters); empty when it cannot be read.
std::string user_name();

// The user's language as a Windows language id (LANGID), from LC_ALL,
// LC_MESSAGES or LANG; 0x0409 (English, United States) when none is set or
// the language is not known.
std::uint16_t user_language_id();

// The operating-system version record the library reports: a fixed record,
// since callers use it only to choose between address forms.
struct VersionRecord {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t build;
    std::uint32_t platform_id;  // 2: the NT family
};
VersionRecord os_version();

} // namespace kx::platform
