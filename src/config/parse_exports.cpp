// Exported option-information and job-accounting parsers: the C boundary.
// The caller's block is read as exactly the L + 2 bytes its first field
// declares.
#include <new>

#include "config/element_stream.h"
#include "config/parse.h"
#include "kxapi.h"

using namespace kx::parse;

namespace {

std::span<const std::uint8_t> caller_block(const void *block)
{
    return {static_cast<const std::uint8_t *>(block), block_size(block)};
}

} // namespace

extern "C" {

KXAPI_EXPORT KxOptionInfo *KxParseOptionInfo(const void *pBlock)
{
    if (!pBlock) return nullptr;
    try {
        return parse_option_info(caller_block(pBlock));
    } catch (...) {
        return nullptr;  // out of memory: the partial result is already released
    }
}

KXAPI_EXPORT void KxFreeOptionInfo(KxOptionInfo *pInfo) { free_option_info(pInfo); }

KXAPI_EXPORT KxJobAccount *KxParseJobAccountingAlert(const void *pBlock)
{
    if (!pBlock) return nullptr;
    try {
        return parse_job_account(caller_block(pBlock));
    } catch (...) {
        return nullptr;
    }
}

KXAPI_EXPORT void KxFreeJobAccount(KxJobAccount *pAccount) { free_job_account(pAccount); }

} // extern "C"
