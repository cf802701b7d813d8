// KxParseJobAccountingAlert on arbitrary blocks; the text fields of a result
// must be terminated within their sizes.
#include <cstdlib>
#include <cstring>

#include "fuzz_parse.h"
#include "kxapi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::size_t n = 0;
    auto block = kxfuzz::exact_block(data, size, n);
    if (!block) return 0;
    KxJobAccount *account = KxParseJobAccountingAlert(block.get());
    if (!account) return 0;
    if (KxJobRecord *job = account->pJob) {
        if (!std::memchr(job->sz1_7, 0, sizeof job->sz1_7) || !std::memchr(job->sz1_11, 0, sizeof job->sz1_11) ||
            !std::memchr(job->sz2_1, 0, sizeof job->sz2_1) || !std::memchr(job->sz2_2, 0, sizeof job->sz2_2) ||
            !std::memchr(job->sz2_3, 0, sizeof job->sz2_3))
            std::abort();
    }
    if (KxAlertRecord *alert = account->pAlert) {
        if (!std::memchr(alert->sz2_6, 0, sizeof alert->sz2_6) || !std::memchr(alert->sz2_8, 0, sizeof alert->sz2_8))
            std::abort();
    }
    KxFreeJobAccount(account);
    return 0;
}
