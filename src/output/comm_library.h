// Process-wide state of the communication library: its handle and six entry
// points, loaded for the life of one communication-library channel (and
// briefly by KxNetGetType). Callers serialise opens, as the library takes no locks.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "output/kvabcomm.h"
#include "platform/dynlib.h"

namespace kx::output {

struct CommLibrary {
    platform::LibHandle handle = nullptr;
    BceOpenFn open = nullptr;
    BceCloseFn close = nullptr;
    BceStartDocFn start_doc = nullptr;
    BceEndDocFn end_doc = nullptr;
    BceWriteFn write = nullptr;
    BceGetPrtInfoFn get_prt_info = nullptr;
};

CommLibrary &comm_library();

// Loads the library and looks up all six entry points; false (and nothing
// left loaded) when the library or any entry point is missing.
bool comm_load_all();
// Unloads the library and sets every entry point back to null.
void comm_unload();

// The job header handed to BceStartDoc: total length, four string offsets,
// then computer name, user name, product word and job name, each NUL-terminated.
std::vector<std::uint8_t> build_job_header(std::string_view computer, std::string_view user,
                                           std::string_view job_name);

// The product word in the job header and the default job name.
inline constexpr std::string_view kProductWord = "Vantrel";
inline constexpr std::string_view kDefaultJobName = "Vantrel Job";

} // namespace kx::output
