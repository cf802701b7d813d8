#include "cli.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "api/result.h"

namespace kxcli {

namespace {
std::vector<Command> &registry()
{
    static std::vector<Command> commands;
    return commands;
}

bool parse_long(std::string_view s, long long &out)
{
    if (s.empty()) return false;
    std::string tmp(s);
    char *end = nullptr;
    errno = 0;
    long long v = std::strtoll(tmp.c_str(), &end, 0);
    if (errno != 0 || !end || *end != '\0') return false;
    out = v;
    return true;
}

struct LanguageName {
    const char *name;
    int code;
};
constexpr LanguageName kLanguages[] = {{"none", 0}, {"switch", 1}, {"ppds", 2}, {"postscript", 3},
                                       {"ps", 3},   {"gl", 4},     {"pcl", 5},  {"pclxl", 6}};

void print_help_overview()
{
    std::printf("kx - printer-utility tool over the kxapi library\n\nUsage: kx COMMAND [ARGS...]\n"
                "       kx COMMAND --help\n\nCommands:\n");
    for (const auto &c : registry()) std::printf("  %-12s %s\n", c.name, c.summary);
}
} // namespace

Registration::Registration(const Command &c) { registry().push_back(c); }

std::string_view result_meaning(int code) { return kx::result_text(code); }

int usage_error(const Command &c, std::string_view message)
{
    std::fprintf(stderr, "kx %s: %.*s\nTry 'kx %s --help'.\n", c.name, static_cast<int>(message.size()),
                 message.data(), c.name);
    return kExitUsage;
}

int report_result(std::string_view what, int code)
{
    if (code == 0) return kExitOk;
    auto meaning = result_meaning(code);
    std::fprintf(stderr, "kx: %.*s: result %d (%.*s)\n", static_cast<int>(what.size()), what.data(), code,
                 static_cast<int>(meaning.size()), meaning.data());
    return kExitFailure;
}

bool wants_help(const Args &args)
{
    for (const auto &a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

Options::Options(const Args &args, std::vector<std::string> value_options, std::vector<std::string> flag_options)
{
    auto is_in = [](const std::vector<std::string> &v, std::string_view s) {
        for (const auto &x : v)
            if (x == s) return true;
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a.size() > 1 && a[0] == '-' && a != "-") {
            std::string name = a;
            std::string inline_value;
            bool has_inline = false;
            if (auto eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
                name = a.substr(0, eq);
                inline_value = a.substr(eq + 1);
                has_inline = true;
            }
            if (is_in(value_options, name)) {
                if (has_inline) {
                    values_.emplace_back(name, inline_value);
                } else if (i + 1 < args.size()) {
                    values_.emplace_back(name, args[++i]);
                } else {
                    error_ = "option " + name + " needs a value";
                    return;
                }
            } else if (is_in(flag_options, name) && !has_inline) {
                flags_.push_back(name);
            } else {
                error_ = "unknown option " + a;
                return;
            }
        } else {
            positionals_.push_back(a);
        }
    }
}

bool Options::flag(std::string_view name) const
{
    for (const auto &f : flags_)
        if (f == name) return true;
    return false;
}

bool Options::has(std::string_view name) const
{
    for (const auto &[k, v] : values_)
        if (k == name) return true;
    return flag(name);
}

std::string Options::value(std::string_view name, std::string_view fallback) const
{
    for (auto it = values_.rbegin(); it != values_.rend(); ++it)
        if (it->first == name) return it->second;
    return std::string(fallback);
}

long long Options::number(std::string_view name, long long fallback, bool &ok) const
{
    if (!has(name)) return fallback;
    long long v = 0;
    if (!parse_long(value(name), v)) {
        ok = false;
        return fallback;
    }
    return v;
}

const std::vector<std::string> kPrinterValueOptions = {"--language", "--copies", "--job-name", "--device-class",
                                                       "--switch-value", "--adapter", "--device"};
const std::vector<std::string> kPrinterFlagOptions = {"--pjl", "--esck"};

bool fill_printer_info(const Options &opts, KxPrinterInfo &info, std::string &job_name_storage, std::string &error)
{
    std::memset(&info, 0, sizeof info);
    if (opts.flag("--pjl")) info.bFlags |= KX_PRINTER_PJL;
    if (opts.flag("--esck")) info.bFlags |= KX_PRINTER_ESCK;
    if (opts.has("--language")) {
        std::string lang = opts.value("--language");
        long long n = -1;
        bool found = false;
        for (const auto &l : kLanguages)
            if (strcasecmp(l.name, lang.c_str()) == 0) {
                n = l.code;
                found = true;
            }
        if (!found && !parse_long(lang, n)) {
            error = "unknown language '" + lang + "' (none, switch, ppds, postscript, gl, pcl, pclxl or 0-6)";
            return false;
        }
        info.nLanguage = static_cast<int32_t>(n);
    }
    bool ok = true;
    info.wCopies = static_cast<uint16_t>(opts.number("--copies", 0, ok));
    info.nDeviceClass = static_cast<int32_t>(opts.number("--device-class", 0, ok));
    info.bSwitchValue = static_cast<uint8_t>(opts.number("--switch-value", 0, ok));
    info.port.wAdapter = static_cast<uint16_t>(opts.number("--adapter", 0, ok));
    info.port.wDevice = static_cast<uint16_t>(opts.number("--device", 0, ok));
    if (!ok) {
        error = "a numeric printer option has a malformed value";
        return false;
    }
    if (opts.has("--job-name")) {
        job_name_storage = opts.value("--job-name");
        info.port.pszJobName = job_name_storage.c_str();
    }
    return true;
}

void hex_dump(const std::vector<std::uint8_t> &bytes)
{
    for (std::size_t off = 0; off < bytes.size(); off += 16) {
        std::printf("%08zx ", off);
        for (std::size_t i = 0; i < 16; ++i) {
            if (off + i < bytes.size())
                std::printf(" %02X", bytes[off + i]);
            else
                std::printf("   ");
        }
        std::printf("  |");
        for (std::size_t i = 0; i < 16 && off + i < bytes.size(); ++i) {
            unsigned char c = bytes[off + i];
            std::putchar(c >= 0x20 && c < 0x7F ? c : '.');
        }
        std::printf("|\n");
    }
}

} // namespace kxcli

int main(int argc, char **argv)
{
    using namespace kxcli;
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        print_help_overview();
        return argc < 2 ? kExitUsage : kExitOk;
    }
    Args args(argv + 2, argv + argc);
    for (const auto &c : registry()) {
        if (std::strcmp(c.name, argv[1]) == 0) {
            if (wants_help(args)) {
                std::printf("%s\n", c.usage);
                return kExitOk;
            }
            return c.run(args);
        }
    }
    std::fprintf(stderr, "kx: unknown command '%s'. Try 'kx --help'.\n", argv[1]);
    return kExitUsage;
}
