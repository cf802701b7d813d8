// kx web: support web addresses for a printer and page kind.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli.h"

namespace {

using namespace kxcli;

extern const Command kWeb;

const char *const kPages[] = {"drivers",  "firmware", "homepage", "fleetwatch",
                              "registration", "supplies", "techsupport", "publications"};

int page_kind(const std::string &s)
{
    for (int i = 0; i < 8; ++i)
        if (s == kPages[i]) return i + 1;
    char *end = nullptr;
    long n = std::strtol(s.c_str(), &end, 0);
    return (!s.empty() && end && *end == '\0') ? static_cast<int>(n) : 0;
}

int run_web(const Args &args)
{
    Options opts(args, {"--printer", "--page", "--language", "--ini", "--family", "--model", "--langid"}, {});
    if (!opts.ok()) return usage_error(kWeb, opts.error());
    const auto &p = opts.positionals();
    if (p.size() != 1 || (p[0] != "url" && p[0] != "cgi")) return usage_error(kWeb, "give url or cgi");
    int kind = page_kind(opts.value("--page", "drivers"));
    bool ok = true;
    char buf[1024];
    int rc;
    if (p[0] == "url") {
        long long printer = opts.number("--printer", -1, ok);
        long long lang = opts.number("--language", 0, ok);
        if (!ok) return usage_error(kWeb, "--printer and --language take numbers");
        KxIniHandle *ini = nullptr;
        if (opts.has("--ini")) {
            ini = KxIniOpen2(opts.value("--ini").c_str(), KX_INI_READ);
            if (!ini) return report_result("web url: cannot open " + opts.value("--ini"), KX_ERR_OPEN);
        }
        rc = KxWebGetURL(static_cast<int>(printer), kind, static_cast<int>(lang), buf, sizeof buf, ini);
        KxIniClose(ini);
        if (rc == KX_INI_DEFAULT_USED) rc = 0;
    } else {
        long long family = opts.number("--family", 0, ok);
        long long model = opts.number("--model", 0, ok);
        long long langid = opts.number("--langid", 0x0409, ok);
        if (!ok) return usage_error(kWeb, "--family, --model and --langid take numbers");
        rc = KxWebGetCGIURL(static_cast<uint32_t>(family), static_cast<uint32_t>(model), kind,
                            static_cast<uint32_t>(langid), buf, sizeof buf);
    }
    if (rc == 0) std::printf("%s\n", buf);
    return report_result("web " + p[0], rc);
}

const Command kWeb = {"web", "build a support web address", R"(Usage: kx web url [--printer CODE] [--page KIND] [--language N] [--ini FILE]
       kx web cgi [--family N] [--model N] [--page KIND] [--langid ID]

KIND: drivers, firmware, homepage, fleetwatch, registration, supplies,
techsupport, publications, or 1-8 (default drivers).
  url  path-style address; --printer -1 (the default) leaves the printer out;
       --ini FILE overrides parts from its AREA_PREFIX, AREA, LANGUAGE and
       PRINTER sections
  cgi  query-style address for printer family and model, language --langid
       (a Windows language id, default 0x0409), the user's locale and system

Example: kx web cgi --family 1 --model 22 --page techsupport --langid 0x0407)",
                      run_web};

Registration reg_web{kWeb};

} // namespace
