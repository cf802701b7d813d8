// KxQsfIniGetSection over INI text: every list type, two section numbers.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "config/ini_file.h"
#include "kxapi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 1 << 16) return 0;
    std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    std::unique_ptr<KxIniHandle> h(kx::config::ini_from_text(text, kx::config::kIniModeRead));
    if (!h) return 0;
    for (int type = 1; type <= 4; ++type) {
        for (int number : {static_cast<int>(data[0]), 1}) {
            uint16_t *vars = nullptr, count = 0;
            int rc = KxQsfIniGetSection(h.get(), type, number, &vars, &count);
            if (rc != 0 && (vars || count)) std::abort();
            if (rc == 0) {
                // Touch every number handed out.
                unsigned sum = 0;
                for (unsigned i = 0; i < count; ++i) sum += vars[i];
                (void)sum;
            }
            KxMemFree(vars);
        }
    }
    return 0;
}
