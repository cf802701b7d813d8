// A caller module for the tests: exports KVTravelPrintCallBack and lets the
// test read back how often it ran and with which values.
#include <cstdint>

namespace {
int g_calls = 0;
std::intptr_t g_value = 0;
std::uint32_t g_job = 0;
} // namespace

extern "C" {
__attribute__((visibility("default"))) int KVTravelPrintCallBack(std::intptr_t caller_value, std::uint32_t job)
{
    ++g_calls;
    g_value = caller_value;
    g_job = job;
    return 0;
}
__attribute__((visibility("default"))) void callback_module_state(int *calls, std::intptr_t *value, std::uint32_t *job)
{
    *calls = g_calls;
    *value = g_value;
    *job = g_job;
}
__attribute__((visibility("default"))) void callback_module_reset() { g_calls = 0; g_value = 0; g_job = 0; }
}
