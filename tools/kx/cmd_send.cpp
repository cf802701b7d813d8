// kx send: a file or a command string to a printer, framed as the descriptor asks.
#include <cstdio>
#include <string>

#include "cli.h"

namespace {

using namespace kxcli;

extern const Command kSend;

int run_send(const Args &args)
{
    std::vector<std::string> values = kPrinterValueOptions;
    values.push_back("--string");
    std::vector<std::string> flags = kPrinterFlagOptions;
    flags.push_back("--append");
    Options opts(args, values, flags);
    if (!opts.ok()) return usage_error(kSend, opts.error());
    const bool is_string = opts.has("--string");
    const auto &pos = opts.positionals();
    if (pos.size() != (is_string ? 1u : 2u))
        return usage_error(kSend, is_string ? "give the printer after --string TEXT" : "give a FILE and a PRINTER");
    KxPrinterInfo info;
    std::string job, error;
    if (!fill_printer_info(opts, info, job, error)) return usage_error(kSend, error);
    const std::string &printer = pos.back();
    const int append = opts.flag("--append") ? 1 : 0;
    int rc = is_string ? KxDatSendString(opts.value("--string").c_str(), printer.c_str(), &info, append)
                       : KxDatSendFile(pos[0].c_str(), printer.c_str(), &info, append);
    if (rc == 0)
        std::printf("sent %s to %s\n", is_string ? "command string" : pos[0].c_str(), printer.c_str());
    return report_result("send", rc);
}

const Command kSend = {"send", "send a file or a command string to a printer as it is",
                       R"(Usage: kx send [OPTIONS] FILE PRINTER
       kx send [OPTIONS] --string TEXT PRINTER

Sends FILE unchanged to PRINTER: a CUPS queue name (a raw job); any other name
is written as a file, and --device N sends through the communication library.

  --string TEXT   send a command string instead of a file:
                    $text   text with escapes: \n line feed, \xHH a byte, \c c itself
                    %path   the file at path, exactly as a file send
                    other   hexadecimal pairs, e.g. 1B45 sends ESC E
  --append        append to a file destination instead of replacing it
  --pjl           wrap the job in PJL (job start with copies, job end with reset)
  --esck          the printer takes ESC [ K: language switch before, job-end
                  sequence after (a file is then sent once)
  --language NAME|N     none, switch, ppds, postscript, gl, pcl, pclxl (0-6)
  --copies N      without --pjl/--esck the file is sent N times
  --job-name TEXT job name and panel message
  --switch-value N, --device-class N, --adapter N, --device N

Examples:
  kx send --pjl --language pcl --copies 2 --job-name Invoices invoice.pcl office-queue
  kx send --string '$\x1bE' out.prn)",
                       run_send};

Registration reg_send{kSend};

} // namespace
