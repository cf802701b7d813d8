// Option-information and job-accounting parsers over self-describing element
// blocks. Results are allocated with caller_alloc and released by the free
// functions (the release exports call them).
#pragma once

#include <cstdint>
#include <span>

#include "kxapi.h"

namespace kx::parse {

// Parse a block of exactly its L + 2 bytes; null for an invalid header or
// stream, or when memory runs out (nothing is left allocated then). May
// throw std::bad_alloc, also without leaving anything allocated.
KxOptionInfo *parse_option_info(std::span<const std::uint8_t> block);
KxJobAccount *parse_job_account(std::span<const std::uint8_t> block);

void free_option_info(KxOptionInfo *info);  // null does nothing
void free_job_account(KxJobAccount *account);  // null does nothing

} // namespace kx::parse
