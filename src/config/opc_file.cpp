// Operator-panel configuration files: the shared registration table and the
// questions a panel-settings dialog asks of a model's "opcNNN.cfg".
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "config/ini_file.h"
#include "kxapi.h"

namespace kx::config {

namespace {

constexpr int kOpcSlots = 5;
constexpr std::uint32_t kOpcValueBuffer = 4000;  // every value is read into a buffer of this size
constexpr std::size_t kOpcDirMax = 260;
constexpr std::size_t kOpcPageNameMax = 64;

// One registered model. A slot is free when it holds no handle.
struct OpcSlot {
    std::int32_t model = 0;
    std::int32_t count = 0;
    KxIniHandle *ini = nullptr;
};
OpcSlot g_slots[kOpcSlots];

std::int32_t model_of(std::int32_t id) { return static_cast<std::int16_t>(id & 0xFFFF); }

std::string file_name(std::int32_t id)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "opc%03u.cfg", static_cast<unsigned>(model_of(id)));
    return buf;
}

// A value read as the file's buffers read it: the value or the default, or
// empty when neither is there. A value longer than the buffer is cut to the
// buffer's 4000 characters (and terminated here).
std::string read_value(KxIniHandle &h, const char *section, const std::string &key, const char *def)
{
    std::string buf(kOpcValueBuffer + 1, '\0');
    std::uint32_t len = 0;
    int rc = ini_read2(h, section, key.c_str(), def, buf.data(), kOpcValueBuffer, len);
    if (rc != 0 && rc != 48 && rc != 42) return {};
    buf.resize(len);
    return buf;
}

bool hex_style(KxIniHandle &h)
{
    std::string style = read_value(h, "Format", "Style", "");
    return !style.empty() && static_cast<unsigned char>(style[0]) >= '2';
}

std::string control_key(KxIniHandle &h, std::int32_t control, std::int32_t list)
{
    char buf[48];
    auto id = static_cast<unsigned>(model_of(control));
    int n = std::snprintf(buf, sizeof buf, hex_style(h) ? "%04x" : "%u", id);
    if (list != 0) std::snprintf(buf + n, sizeof buf - static_cast<std::size_t>(n), "-%u", static_cast<unsigned>(list));
    return buf;
}

// Pieces of a value split at any of the separators, empty pieces skipped.
std::vector<std::string> split(std::string_view s, std::string_view seps)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        i = s.find_first_not_of(seps, i);
        if (i == std::string_view::npos) break;
        std::size_t j = s.find_first_of(seps, i);
        if (j == std::string_view::npos) j = s.size();
        out.emplace_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

// Decimal as the C run-time reads it (leading blanks, sign, digits, the rest
// ignored); out-of-range values saturate.
std::int32_t decimal(const std::string &s)
{
    errno = 0;
    long v = std::strtol(s.c_str(), nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<std::int32_t>(v);
}

std::uint32_t hexadecimal(const std::string &s)
{
    return static_cast<std::uint32_t>(std::strtoul(s.c_str(), nullptr, 16));
}

// The section named for a page in "Dialogs" (at most 64 characters), or empty.
std::string page_section(KxIniHandle &h, std::int32_t page)
{
    std::string name = read_value(h, "Dialogs", std::to_string(page), "");
    if (name.size() > kOpcPageNameMax) name.resize(kOpcPageNameMax);
    return name;
}

// A count from the file: negative counts are no controls, and counts are
// capped so that the byte sizes computed from them stay in range.
std::int32_t count_of(const std::string &s, std::int32_t per_item)
{
    std::int32_t n = decimal(s);
    if (n < 0) return 0;
    if (n > INT_MAX / per_item) n = INT_MAX / per_item;
    return n;
}

} // namespace

KxIniHandle *opc_register(std::int32_t id, const char *directory)
{
    std::int32_t model = model_of(id);
    OpcSlot *slot = nullptr;
    for (auto &s : g_slots)
        if (s.ini && s.model == model) slot = &s;
    if (!slot)
        for (auto &s : g_slots)
            if (!s.ini) {
                slot = &s;
                break;
            }
    if (!slot) return nullptr;
    if (slot->ini) {
        ++slot->count;
        return slot->ini;
    }
    std::string path;
    if (directory && *directory) {
        path.assign(directory, strnlen(directory, kOpcDirMax));
        if (path.back() != '\\' && path.back() != '/') path += '/';
    }
    path += file_name(id);
    KxIniHandle *h = ini_open(path.c_str(), kIniModeRead);
    if (!h) return nullptr;  // the slot stays free; a later registration tries again
    slot->model = model;
    slot->ini = h;
    slot->count = 1;
    return h;
}

int opc_unregister(KxIniHandle *h)
{
    if (!h) return 0;
    for (auto &s : g_slots) {
        if (s.ini != h) continue;
        if (--s.count > 0) return 1;
        s = OpcSlot{};
        return ini_close(h);
    }
    return 0;
}

void opc_spin_limits(KxIniHandle &h, std::int32_t control, std::int32_t *first, std::int32_t *second,
                     std::int32_t *third)
{
    std::string value = read_value(h, "Spin Limits", control_key(h, control, 0), "");
    *first = 0;
    *second = 0;
    if (value.empty()) return;
    auto pieces = split(value, ";");
    std::size_t next = 0;
    auto take = [&]() { return next < pieces.size() ? decimal(pieces[next++]) : 0; };
    *first = take();
    if (*first != -1) *second = take();
    *third = take();
}

std::int16_t opc_max_edit_length(KxIniHandle &h, std::int32_t control)
{
    return static_cast<std::int16_t>(decimal(read_value(h, "Edit Lengths", control_key(h, control, 0), "0")));
}

int opc_text_listing(KxIniHandle &h, std::int32_t control, std::int32_t list, std::int16_t *buffer, std::int16_t size)
{
    std::string value = read_value(h, "Combos", control_key(h, control, list), "");
    if (value.empty()) return -2;
    auto pieces = split(value, ";");
    int needed = static_cast<int>(pieces.size()) * 2;
    if (!buffer) return needed;
    bool fits = true;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (static_cast<int>((i + 1) * 2) > size) {
            fits = false;
            break;
        }
        buffer[i] = static_cast<std::int16_t>(decimal(pieces[i]));
    }
    if (!fits) {
        // The needed size goes into the first element only when there is one.
        if (size >= 2) buffer[0] = static_cast<std::int16_t>(needed);
        return -1;
    }
    return static_cast<int>(pieces.size());
}

int opc_page_defaults(KxIniHandle &h, std::int32_t page, KxOpcCtrlDefault *records, std::int16_t size)
{
    std::string section = page_section(h, page);
    if (section.empty()) return -2;
    std::int32_t n = count_of(read_value(h, section.c_str(), "NumCtrls", ""), 8);
    int needed = 8 * n;
    if (!records) return needed;
    if (size < needed) {
        if (size >= 2) records[0].wControlId = static_cast<std::uint16_t>(needed);
        return -1;
    }
    auto pieces = split(read_value(h, section.c_str(), "Defaults", ""), ";");
    std::size_t next = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        if (next >= pieces.size()) break;
        records[i].wControlId = static_cast<std::uint16_t>(hexadecimal(pieces[next++]));
        if (next >= pieces.size()) break;
        records[i].nValue = decimal(pieces[next++]);
    }
    return n;
}

int opc_page_omvars(KxIniHandle &h, std::int32_t page, std::uint8_t *buffer, std::int16_t size)
{
    std::string section = page_section(h, page);
    if (section.empty()) return -2;
    std::int32_t n = count_of(read_value(h, section.c_str(), "NumOMVAR", ""), 2);
    int needed = 2 * n;
    if (!buffer) return needed;
    if (size < needed) {
        if (size >= 2) {
            buffer[0] = static_cast<std::uint8_t>(needed & 0xFF);
            buffer[1] = static_cast<std::uint8_t>((needed >> 8) & 0xFF);
        }
        return -1;
    }
    auto pieces = split(read_value(h, section.c_str(), "OMVAR", ""), " ");
    int stored = 0;
    for (const auto &p : pieces) {
        if ((stored + 1) * 2 > size) break;
        std::uint32_t v = hexadecimal(p);
        buffer[stored * 2] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        buffer[stored * 2 + 1] = static_cast<std::uint8_t>(v & 0xFF);
        ++stored;
    }
    return stored;
}

std::string opc_file_name(std::int32_t id) { return file_name(id); }

} // namespace kx::config

using namespace kx::config;

extern "C" {

KXAPI_EXPORT KxIniHandle *KxOpcRegisterCfg(int32_t modelId, const char *directory)
{
    try {
        return opc_register(modelId, directory);
    } catch (...) {
        return nullptr;
    }
}

KXAPI_EXPORT int KxOpcUnregisterCfg(KxIniHandle *handle) { return opc_unregister(handle); }

KXAPI_EXPORT int KxOpcGetFileName(int32_t modelId, char *buffer)
{
    if (!buffer) return 0;
    try {
        std::string name = opc_file_name(modelId);
        std::memcpy(buffer, name.c_str(), name.size() + 1);
        return 1;
    } catch (...) {
        return 0;
    }
}

KXAPI_EXPORT void KxOpcGetSpinControlLimits(KxIniHandle *handle, int32_t controlId, int32_t *first, int32_t *second,
                                            int32_t *third)
{
    if (!handle || !first || !second || !third) return;
    try {
        opc_spin_limits(*handle, controlId, first, second, third);
    } catch (...) {
        // out of memory: nothing written
    }
}

KXAPI_EXPORT int16_t KxOpcGetMaxEditLength(KxIniHandle *handle, int32_t controlId)
{
    if (!handle) return 0;
    try {
        return opc_max_edit_length(*handle, controlId);
    } catch (...) {
        return 0;
    }
}

KXAPI_EXPORT int KxOpcGetTextListing(KxIniHandle *handle, int32_t controlId, int32_t listNumber, int16_t *buffer,
                                     int32_t size)
{
    if (!handle) return -2;
    try {
        return opc_text_listing(*handle, controlId, listNumber, buffer, static_cast<int16_t>(size));
    } catch (...) {
        return -3;
    }
}

KXAPI_EXPORT int KxOpcGetPageDefaults(KxIniHandle *handle, int32_t page, KxOpcCtrlDefault *records, int32_t size)
{
    if (!handle) return -2;
    try {
        return opc_page_defaults(*handle, page, records, static_cast<int16_t>(size));
    } catch (...) {
        return -2;
    }
}

KXAPI_EXPORT int KxOpcGetPageOmVars(KxIniHandle *handle, int32_t page, uint8_t *buffer, int32_t size)
{
    if (!handle) return -2;
    try {
        return opc_page_omvars(*handle, page, buffer, static_cast<int16_t>(size));
    } catch (...) {
        return -2;
    }
}

} // extern "C"
