#include "output/comm_library.h"

#include "kxapi.h"

namespace kx::output {

namespace {
// Fixed part of the job header: five 32-bit fields; the first string starts here.
constexpr std::uint32_t kJobHeaderFixed = 20;

void put_u32(std::vector<std::uint8_t> &out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

template <typename Fn>
bool lookup(platform::LibHandle lib, const char *name, Fn &fn)
{
    fn = reinterpret_cast<Fn>(platform::find_symbol(lib, name));
    return fn != nullptr;
}
} // namespace

CommLibrary &comm_library()
{
    static CommLibrary lib;
    return lib;
}

bool comm_load_all()
{
    CommLibrary &c = comm_library();
    c.handle = platform::load_library(kCommLibraryName);
    if (!c.handle) return false;
    bool all = lookup(c.handle, "BceOpen", c.open) & lookup(c.handle, "BceClose", c.close) &
               lookup(c.handle, "BceStartDoc", c.start_doc) & lookup(c.handle, "BceEndDoc", c.end_doc) &
               lookup(c.handle, "BceWrite", c.write) & lookup(c.handle, "BceGetPrtInfo", c.get_prt_info);
    if (!all) {
        comm_unload();
        return false;
    }
    return true;
}

void comm_unload()
{
    CommLibrary &c = comm_library();
    platform::free_library(c.handle);
    c = CommLibrary{};
}

std::vector<std::uint8_t> build_job_header(std::string_view computer, std::string_view user,
                                           std::string_view job_name)
{
    const auto lc = static_cast<std::uint32_t>(computer.size());
    const auto lu = static_cast<std::uint32_t>(user.size());
    const auto lp = static_cast<std::uint32_t>(kProductWord.size());
    const auto lj = static_cast<std::uint32_t>(job_name.size());
    const std::uint32_t total = 24 + lc + lu + lp + lj;  // fixed part plus four NULs
    std::vector<std::uint8_t> out(total, 0);
    put_u32(out, 0, total);
    put_u32(out, 4, kJobHeaderFixed);
    put_u32(out, 8, lc + 21);
    put_u32(out, 12, lc + lu + 22);
    put_u32(out, 16, lc + lu + lp + 23);
    std::size_t at = kJobHeaderFixed;
    for (std::string_view s : {computer, user, kProductWord, job_name}) {
        std::copy(s.begin(), s.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
        at += s.size() + 1;
    }
    return out;
}

} // namespace kx::output

extern "C" KXAPI_EXPORT int KxNetGetType(int device)
{
    using namespace kx::output;
    std::uint8_t info[kPrtInfoSize] = {};
    CommLibrary &c = comm_library();
    bool loaded_here = false;
    if (!c.get_prt_info) {
        // No communication-library channel is open: load just for this question.
        c.handle = kx::platform::load_library(kCommLibraryName);
        c.get_prt_info = reinterpret_cast<BceGetPrtInfoFn>(kx::platform::find_symbol(c.handle, "BceGetPrtInfo"));
        if (!c.get_prt_info) {
            kx::platform::free_library(c.handle);
            c.handle = nullptr;
            return KX_NETTYPE_NONE;
        }
        loaded_here = true;
    }
    c.get_prt_info(static_cast<std::uint16_t>(device), info, 0);
    const std::uint32_t bits = std::uint32_t(info[kPrtInfoTypeOffset]) |
                               std::uint32_t(info[kPrtInfoTypeOffset + 1]) << 8 |
                               std::uint32_t(info[kPrtInfoTypeOffset + 2]) << 16 |
                               std::uint32_t(info[kPrtInfoTypeOffset + 3]) << 24;
    int type = KX_NETTYPE_NONE;
    if (bits & 0x800)
        type = KX_NETTYPE_2048;
    else if (bits & 0x20)
        type = KX_NETTYPE_32;
    else if (bits & 0x04)
        type = KX_NETTYPE_4;
    else if (bits & 0x02)
        type = KX_NETTYPE_2;
    if (loaded_here) {
        kx::platform::free_library(c.handle);
        c.handle = nullptr;
        c.get_prt_info = nullptr;
    }
    return type;
}
