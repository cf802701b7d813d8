// Support web addresses: a path-style address whose parts an INI file can
// override, and a query-style address from fixed rules and the system's
// language and version.
#include "util/web_address.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "config/ini_file.h"
#include "kxapi.h"
#include "platform/path.h"
#include "platform/sysinfo.h"

#ifndef KXAPI_SUPPORT_BASE_URL
#define KXAPI_SUPPORT_BASE_URL "https://support.example.com"
#endif

namespace kx::web {

namespace {

struct PageKind {
    const char *word;  // path-style word; its upper-case form is the INI key
    const char *func;  // query-style "func" value
};
constexpr PageKind kPages[] = {
    {"drivers", "drivers"},           {"firmware", "firmware"}, {"homepage", "homepage"},
    {"fleetwatch", "fleetwatch"},     {"registration", "registration"},
    {"supplies", "supplies"},         {"techsupport", "support"},
    {"publications", "publications"},
};
constexpr int kPageKinds = 8;

constexpr const char *kPathSuffix = "/NA";
constexpr const char *kQuerySuffix = "/MD/?";

struct LanguageValue {
    std::uint16_t primary;
    unsigned value;
};
constexpr LanguageValue kLanguages[] = {
    {6, 5},  {7, 2},   {10, 4},  {11, 9},  {12, 1},  {16, 3},  {17, 12},
    {19, 7}, {20, 6},  {21, 20}, {22, 21}, {25, 22}, {29, 8},
};
constexpr std::uint16_t kLangChinese = 4;

bool valid_kind(int kind) { return kind >= 1 && kind <= kPageKinds; }

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char &c : out) c = platform::ascii_upper(c);
    return out;
}

} // namespace

std::string_view support_base() { return KXAPI_SUPPORT_BASE_URL; }

int printer_number(int code)
{
    switch (code) {
    case -1: return -1;
    case 0: return 8;
    case 1: return 7;
    case 3:
    case 8: return 4;
    case 4: return 9;
    case 5: return 6;
    case 6: return 3;
    case 7: return 5;
    case 10:
    case 25: return 1;
    case 17: return 2;
    case 18:
    case 19: return 11;
    default: return code >= 20 ? code : -2;
    }
}

unsigned language_value(std::uint16_t langid)
{
    std::uint16_t primary = langid & 0x3FF;
    if (primary == kLangChinese) return ((langid & 0xFC00) == 0x800 || langid == 0x0804) ? 13 : 14;
    for (const auto &l : kLanguages)
        if (l.primary == primary) return l.value;
    return 0;
}

unsigned os_value()
{
    auto v = platform::os_version();
    if (v.platform_id == 0 || v.platform_id == 1) return 1;
    if (v.platform_id != 2 || v.major < 5) return 2;
    return v.minor == 0 ? 3 : 5;
}

int get_url(int printer, int kind, int language, char *buffer, std::uint32_t size, KxIniHandle *ini)
{
    auto fail = [&](int rc) {
        if (size > 0) buffer[0] = '\0';
        return rc;
    };
    if (!valid_kind(kind)) return fail(1);
    int number = printer_number(printer);
    if (number == -2) return fail(44);
    const PageKind &page = kPages[kind - 1];
    std::string key = upper(page.word);

    // One part: the INI value when a handle is given (default `def`), else `def`.
    int last = 0;
    auto lookup = [&](const char *section, const std::string &k, const std::string &def, std::string &out) {
        if (!ini) {
            out = def;
            return 0;
        }
        // The work buffer has the caller's size; no value is longer than the
        // longest line or the default, so a bigger buffer gains nothing.
        std::uint64_t cap = ini->longest + def.size() + 1;
        auto work_size = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, cap));
        std::string work(work_size ? work_size : 1, '\0');
        std::uint32_t len = 0;
        int rc = config::ini_read2(*ini, section, k.c_str(), def.c_str(), work.data(), work_size, len);
        if (rc != 0 && rc != 48) return rc;
        last = rc;
        out.assign(work.data(), len);
        return 0;
    };

    std::string address, part;
    int rc = lookup("AREA_PREFIX", key, std::string(support_base()) + kPathSuffix, part);
    if (rc != 0) return fail(rc);
    if (!part.empty()) {
        if (part.size() + 1 > size) return fail(42);
        address = part;
    }
    auto append = [&](const std::string &p) {
        if (p.empty()) return true;
        if (static_cast<std::uint64_t>(address.size()) + 1 + p.size() + 1 > size) return false;
        address += '/';
        address += p;
        return true;
    };
    rc = lookup("AREA", key, page.word, part);
    if (rc != 0) return fail(rc);
    if (!append(part)) return fail(42);
    std::string lang = std::to_string(language);
    rc = lookup("LANGUAGE", lang, lang, part);
    if (rc != 0) return fail(rc);
    if (!append(part)) return fail(42);
    if (number != -1) {
        std::string num = std::to_string(number);
        rc = lookup("PRINTER", num, num, part);
        if (rc != 0) return fail(rc);
        if (!append(part)) return fail(42);
    }
    std::memcpy(buffer, address.c_str(), address.size() + 1);
    return last;
}

int get_cgi_url(std::uint32_t family, std::uint32_t model, int kind, std::uint32_t langid, char *buffer,
                std::uint32_t size)
{
    auto fail = [&](int rc) {
        if (size > 0) buffer[0] = '\0';
        return rc;
    };
    if (!valid_kind(kind) || size == 0) return fail(1);
    std::string address = std::string(support_base()) + kQuerySuffix;
    if (size <= address.size() + 1) return fail(42);
    char part[64];
    // Each part is added only while the address and its terminator stay below the size.
    auto append = [&]() {
        std::size_t n = std::strlen(part);
        if (static_cast<std::uint64_t>(address.size()) + n + 1 >= size) return false;
        address.append(part, n);
        return true;
    };
    std::snprintf(part, sizeof part, "func=%s", kPages[kind - 1].func);
    if (!append()) return fail(42);
    std::snprintf(part, sizeof part, "&lang=%u", language_value(static_cast<std::uint16_t>(langid)));
    if (!append()) return fail(42);
    std::snprintf(part, sizeof part, "&prtr=B%03u%03u", family, model);
    if (!append()) return fail(42);
    std::snprintf(part, sizeof part, "&ctry=%08X", static_cast<unsigned>(platform::user_language_id()));
    if (!append()) return fail(42);
    std::snprintf(part, sizeof part, "&os=%u", os_value());
    if (!append()) return fail(42);
    std::memcpy(buffer, address.c_str(), address.size() + 1);
    return 0;
}

} // namespace kx::web

extern "C" {

KXAPI_EXPORT int KxWebGetURL(int printer, int kind, int language, char *buffer, uint32_t size, KxIniHandle *ini)
{
    if (!buffer) return KX_ERR_INVALID_ARG;
    try {
        return kx::web::get_url(printer, kind, language, buffer, size, ini);
    } catch (...) {
        if (size > 0) buffer[0] = '\0';
        return KX_ERR_NO_MEMORY;
    }
}

KXAPI_EXPORT int KxWebGetCGIURL(uint32_t family, uint32_t model, int kind, uint32_t langid, char *buffer,
                                uint32_t size)
{
    if (!buffer) return KX_ERR_INVALID_ARG;
    try {
        return kx::web::get_cgi_url(family, model, kind, langid, buffer, size);
    } catch (...) {
        if (size > 0) buffer[0] = '\0';
        return KX_ERR_NO_MEMORY;
    }
}

} // extern "C"
