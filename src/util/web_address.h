// Support web addresses: the support-site base address (a build setting) and
// the translations the two address forms use.
#pragma once

#include <cstdint>
#include <string_view>

namespace kx::web {

// Scheme and host of the support site, without a path.
std::string_view support_base();

// The number a printer code stands for in a path-style address: -1 for no
// printer part, -2 for a code that is refused.
int printer_number(int code);

// The "lang" value of a query-style address for a Windows language id.
unsigned language_value(std::uint16_t langid);

// The "os" value of a query-style address from the platform's version record.
unsigned os_value();

} // namespace kx::web
