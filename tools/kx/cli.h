// The kx command-line tool: a table of sub-commands, each registered by its
// family's source file, plus the small argument helpers they share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kxapi.h"

namespace kxcli {

using Args = std::vector<std::string>;

struct Command {
    const char *name;     // first word after "kx", e.g. "resource" or "zip"
    const char *summary;  // one line for "kx --help"
    const char *usage;    // full help text for "kx NAME --help"
    int (*run)(const Args &args);  // args after the command name; returns the exit status
};

// Registers a command at start-up: `static kxcli::Registration reg{{...}};`
struct Registration {
    explicit Registration(const Command &c);
};

// Exit statuses: 0 success, 1 the library returned a failure, 2 bad usage.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Prints "kx NAME: MESSAGE" and the usage hint to stderr; returns kExitUsage.
int usage_error(const Command &c, std::string_view message);
// Prints "kx: WHAT: result N (meaning)" to stderr when code is non-zero;
// returns kExitOk for 0 and kExitFailure otherwise.
int report_result(std::string_view what, int code);
// The meaning of a result code.
std::string_view result_meaning(int code);

// True when args holds "--help" or "-h".
bool wants_help(const Args &args);

// A simple option scanner: options "--name value" or "--flag", and positionals.
class Options {
public:
    // value_options: names that take a value; flag_options: names that do not.
    Options(const Args &args, std::vector<std::string> value_options, std::vector<std::string> flag_options);
    bool ok() const { return error_.empty(); }
    const std::string &error() const { return error_; }
    bool flag(std::string_view name) const;
    bool has(std::string_view name) const;
    std::string value(std::string_view name, std::string_view fallback = {}) const;
    // Parses an integer option; sets ok=false on a malformed value.
    long long number(std::string_view name, long long fallback, bool &ok) const;
    const std::vector<std::string> &positionals() const { return positionals_; }

private:
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::string> flags_;
    std::vector<std::string> positionals_;
    std::string error_;
};

// Parses the common printer options into a descriptor: --pjl, --esck,
// --language NAME|N, --copies N, --job-name TEXT, --device-class N,
// --switch-value N, --adapter N, --device N. The job name's storage must
// outlive the descriptor (it points into opts).
bool fill_printer_info(const Options &opts, KxPrinterInfo &info, std::string &job_name_storage, std::string &error);
// Names of the options fill_printer_info understands (value-taking and flags).
extern const std::vector<std::string> kPrinterValueOptions;
extern const std::vector<std::string> kPrinterFlagOptions;

// Prints bytes as a hex dump (offset, hex, printable text), for showing what was sent.
void hex_dump(const std::vector<std::uint8_t> &bytes);

} // namespace kxcli
