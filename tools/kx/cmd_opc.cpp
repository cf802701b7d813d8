// kx opc: the questions a panel-settings dialog asks of an operator-panel file.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli.h"

namespace {

using namespace kxcli;

extern const Command kOpc;

bool to_int(const std::string &s, long &out)
{
    char *end = nullptr;
    out = std::strtol(s.c_str(), &end, 0);
    return !s.empty() && end && *end == '\0';
}

int run_opc(const Args &args)
{
    Options opts(args, {"--dir", "--list"}, {});
    if (!opts.ok()) return usage_error(kOpc, opts.error());
    const auto &p = opts.positionals();
    if (p.size() != 3) return usage_error(kOpc, "give an action (limits, listing, defaults, omvars), MODEL and a number");
    long model = 0, number = 0, list = 0;
    if (!to_int(p[1], model) || !to_int(p[2], number)) return usage_error(kOpc, "MODEL and the number must be numbers");
    if (opts.has("--list") && !to_int(opts.value("--list"), list)) return usage_error(kOpc, "--list takes a number");
    const std::string &action = p[0];
    if (action != "limits" && action != "listing" && action != "defaults" && action != "omvars")
        return usage_error(kOpc, "unknown action '" + action + "'");

    char name[32];
    KxOpcGetFileName(static_cast<int32_t>(model), name);
    std::string dir = opts.value("--dir");
    KxIniHandle *h = KxOpcRegisterCfg(static_cast<int32_t>(model), dir.empty() ? nullptr : dir.c_str());
    if (!h) return report_result(std::string("opc: cannot open ") + name, KX_ERR_OPEN);
    int status = kExitOk;
    auto id = static_cast<int32_t>(number);
    if (action == "limits") {
        int32_t a = 0, b = 0, c = 0;
        KxOpcGetSpinControlLimits(h, id, &a, &b, &c);
        std::printf("spin limits: %d %d %d\nedit length: %d\n", a, b, c, KxOpcGetMaxEditLength(h, id));
    } else if (action == "listing") {
        int needed = KxOpcGetTextListing(h, id, static_cast<int32_t>(list), nullptr, 0);
        if (needed < 0) {
            std::fprintf(stderr, "kx opc listing: no list for control %ld (%d)\n", number, needed);
            status = kExitFailure;
        } else {
            std::vector<int16_t> v(static_cast<std::size_t>(needed / 2) + 1);
            int n = KxOpcGetTextListing(h, id, static_cast<int32_t>(list), v.data(), needed);
            for (int i = 0; i < n; ++i) std::printf("%d\n", v[static_cast<std::size_t>(i)]);
        }
    } else if (action == "defaults") {
        int needed = KxOpcGetPageDefaults(h, id, nullptr, 0);
        if (needed < 0 || needed > 32767) {
            std::fprintf(stderr, "kx opc defaults: no page %ld\n", number);
            status = kExitFailure;
        } else {
            std::vector<KxOpcCtrlDefault> v(static_cast<std::size_t>(needed / 8) + 1, KxOpcCtrlDefault{});
            int n = KxOpcGetPageDefaults(h, id, v.data(), needed);
            for (int i = 0; i < n; ++i)
                std::printf("control 0x%04x default %d\n", v[static_cast<std::size_t>(i)].wControlId,
                            v[static_cast<std::size_t>(i)].nValue);
        }
    } else {
        int needed = KxOpcGetPageOmVars(h, id, nullptr, 0);
        if (needed < 0 || needed > 32767) {
            std::fprintf(stderr, "kx opc omvars: no page %ld\n", number);
            status = kExitFailure;
        } else {
            std::vector<uint8_t> v(static_cast<std::size_t>(needed) + 2);
            int n = KxOpcGetPageOmVars(h, id, v.data(), needed);
            for (int i = 0; i < n; ++i) std::printf("%02X%02X\n", v[2 * i], v[2 * i + 1]);
        }
    }
    KxOpcUnregisterCfg(h);
    return status;
}

const Command kOpc = {"opc", "query an operator-panel configuration file", R"(Usage: kx opc limits MODEL CONTROL [--dir DIR]
       kx opc listing MODEL CONTROL [--list N] [--dir DIR]
       kx opc defaults MODEL PAGE [--dir DIR]
       kx opc omvars MODEL PAGE [--dir DIR]

Reads DIR/opcNNN.cfg (NNN: the model number, three digits at least; DIR
defaults to the current directory).
  limits    the spin-control limits and the maximum edit length of CONTROL
  listing   the numbers of CONTROL's list (--list N: list number N)
  defaults  the default values of a page's controls
  omvars    the variable numbers of a page, hexadecimal

Example: kx opc limits 12 163 --dir /etc/panels)",
                      run_opc};

Registration reg_opc{kOpc};

} // namespace
