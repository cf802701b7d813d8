// KxParseOptionInfo on arbitrary blocks; every text and array of a result is
// touched so that a wrong count or a missing terminator shows.
#include <cstring>

#include "fuzz_parse.h"
#include "kxapi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::size_t n = 0;
    auto block = kxfuzz::exact_block(data, size, n);
    if (!block) return 0;
    KxOptionInfo *info = KxParseOptionInfo(block.get());
    if (!info) return 0;
    volatile std::size_t sum = 0;
    const KxOptionEntry *options = info->pOptions;
    for (std::int32_t i = 0; i < info->nOptions; ++i)
        if (options[i].pszText) sum = sum + std::strlen(options[i].pszText);
    const KxOptionGroup *groups = info->pGroups;
    for (std::int32_t i = 0; i < info->nGroups; ++i) {
        if (groups[i].pszText1) sum = sum + std::strlen(groups[i].pszText1);
        if (groups[i].pszText2) sum = sum + std::strlen(groups[i].pszText2);
        const std::int32_t *values = groups[i].pnValues;
        for (std::int32_t v = 0; v < groups[i].nValues; ++v) sum = sum + std::size_t(values[v]);
    }
    KxFreeOptionInfo(info);
    return 0;
}
