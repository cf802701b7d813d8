// Shared pieces of the output tests: the expected PJL lines and a descriptor builder.
#pragma once

#include <cstring>
#include <string>

#include "common/test_support.h"
#include "kxapi.h"

namespace kxtest {

inline const Bytes kUel = bytes_of("\x1b%-12345X");

inline Bytes panel(const std::string &text) { return bytes_of("@PJL RDYMSG DISPLAY = \"" + text + "\"\n"); }
inline Bytes pjl(const std::string &line) { return bytes_of("@PJL " + line + "\n"); }

inline KxPrinterInfo printer(std::uint8_t flags, int language, const char *job = nullptr)
{
    KxPrinterInfo p;
    std::memset(&p, 0, sizeof p);
    p.bFlags = flags;
    p.nLanguage = language;
    p.port.pszJobName = job;
    return p;
}

} // namespace kxtest
