// kx resource, kx net-type: the storage commands and the printer-type query.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli.h"

namespace {

using namespace kxcli;

struct ModeName {
    const char *name;
    int mode;
} const kModes[] = {{"ram", KX_RESOURCE_RAM},
                    {"device", KX_RESOURCE_DEVICE},
                    {"format", KX_RESOURCE_FORMAT},
                    {"directory", KX_RESOURCE_DIRECTORY}};

struct TargetName {
    const char *name;
    int target;
} const kTargets[] = {{"ram", 1}, {"flash1", 2}, {"flash2", 3}, {"disk1", 4}, {"disk2", 5}};

extern const Command kResource;

int run_resource(const Args &args)
{
    std::vector<std::string> values = kPrinterValueOptions;
    values.insert(values.end(), {"--mode", "--target"});
    Options opts(args, values, kPrinterFlagOptions);
    if (!opts.ok()) return usage_error(kResource, opts.error());
    if (opts.positionals().size() != 1) return usage_error(kResource, "give exactly one destination printer or file");
    int mode = 0;
    for (const auto &m : kModes)
        if (opts.value("--mode", "directory") == m.name) mode = m.mode;
    if (mode == 0) return usage_error(kResource, "--mode must be ram, device, format or directory");
    int target = 0;
    std::string t = opts.value("--target", "ram");
    for (const auto &n : kTargets)
        if (t == n.name) target = n.target;
    if (target == 0) target = std::atoi(t.c_str());
    KxPrinterInfo info;
    std::string job, error;
    if (!fill_printer_info(opts, info, job, error)) return usage_error(kResource, error);
    int rc = KxGenResource(mode, opts.positionals()[0].c_str(), &info, target, 0, nullptr);
    if (rc == 0) std::printf("sent %s command to %s\n", opts.value("--mode", "directory").c_str(),
                             opts.positionals()[0].c_str());
    return report_result("resource", rc);
}

const Command kResource = {
    "resource", "send a storage command (download target, format, directory) to a printer", R"(Usage: kx resource [OPTIONS] PRINTER

Sends a storage command to PRINTER: a CUPS queue name (a raw job), any other
name is written as a file, and --device N sends through the communication library.

  --mode ram|device|format|directory   what to do (default directory):
        ram        point downloads at printer memory
        device     point downloads at the --target storage device
        format     format the --target storage device
        directory  print the storage directory
  --target ram|flash1|flash2|disk1|disk2|1-5   storage device (default ram)
  --pjl                 wrap the command in a PJL job
  --esck                the printer takes ESC [ K command sequences
  --language NAME|N     none, switch, ppds, postscript, gl, pcl, pclxl (0-6)
  --job-name TEXT       job name and panel message
  --device-class N      2: storage downloads start with the device-class prefix
  --switch-value N      byte 6 of the language switch
  --copies N, --adapter N, --device N

Example: kx resource --mode directory --pjl --language pcl office-queue)",
    run_resource};

extern const Command kNetType;

int run_net_type(const Args &args)
{
    if (args.size() != 1) return usage_error(kNetType, "give one device number");
    char *end = nullptr;
    long device = std::strtol(args[0].c_str(), &end, 0);
    if (!end || *end) return usage_error(kNetType, "the device number must be a number");
    std::printf("%d\n", KxNetGetType(static_cast<int>(device)));
    return kExitOk;
}

const Command kNetType = {"net-type", "ask the communication library for a printer's type",
                          R"(Usage: kx net-type DEVICE

Prints the printer type the communication library (libkvabcomm.so) reports for
DEVICE: 2048, 32, 4 or 2 by its type bits, 0 when none is set or no
communication library is available.)",
                          run_net_type};

Registration reg_resource{kResource};
Registration reg_net_type{kNetType};

} // namespace
