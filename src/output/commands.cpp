#include "output/commands.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace kx::output {

namespace {

// ESC [ K storage sequences.
constexpr std::uint8_t kTargetRamSwitch[8] = {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x32};
constexpr std::uint8_t kTargetDeviceSwitch[8] = {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x31};
constexpr std::uint8_t kFormatSwitch[8] = {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x46};
constexpr std::uint8_t kDirectorySwitch[8] = {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x50};
constexpr std::uint8_t kDeviceClassPrefix[6] = {0x1B, 0x5B, 0x4B, 0x01, 0x00, 0x01};

// Language-switch templates 1..5 (languages 1, 2, 3, 4, and 5/6). They are
// writable and process-wide: byte 6 keeps the last non-zero switch value.
constexpr std::size_t kSwitchValueByte = 6;
std::uint8_t g_language_templates[5][8] = {
    {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x00},
    {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x01},
    {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x08},
    {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x03},
    {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x02},
};

constexpr const char *kStorageDevices[] = {"", "ram", "flash1", "flash2", "disk1", "disk2", ""};

// PJL language names by nLanguage (null: no language line).
const char *pjl_language(int language)
{
    switch (language) {
    case KX_LANG_PPDS: return "PPDS";
    case KX_LANG_POSTSCRIPT: return "POSTSCRIPT";
    case KX_LANG_GL: return "GL";
    case KX_LANG_PCL:
    case KX_LANG_PCLXL: return "PCL";
    default: return nullptr;
    }
}

template <typename... Args>
void write_format(Channel &ch, const char *format, Args... args)
{
    char line[160];
    int n = std::snprintf(line, sizeof line, format, args...);
    if (n < 0) return;
    write(ch, line, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof line - 1));
}

void write_panel_message(Channel &ch, const char *text)
{
    write_format(ch, "@PJL RDYMSG DISPLAY = \"%-.20s\"\n", text);
}

void write_pcl_copies(Channel &ch) { write_format(ch, "\033&l%huX", static_cast<unsigned short>(ch.pInfo->wCopies)); }

bool failed(const Channel &ch) { return ch.nResult != 0; }

} // namespace

std::string_view storage_device_name(int target)
{
    return (target >= 0 && target <= 6) ? kStorageDevices[target] : "";
}

void job_start(Channel &ch, bool with_copies)
{
    const KxPrinterInfo &p = *ch.pInfo;
    write(ch, kUel);
    if (failed(ch)) {
        close(ch);
        return;
    }
    if (p.port.pszJobName) write_panel_message(ch, p.port.pszJobName);
    if (!failed(ch))
        if (const char *lang = pjl_language(p.nLanguage)) write_format(ch, "@PJL ENTER LANGUAGE = %s\n", lang);
    if (failed(ch)) {
        close(ch);
        return;
    }
    if (with_copies && p.wCopies != 0) write_format(ch, "@PJL SET %s = %i\n", "COPIES", static_cast<int>(p.wCopies));
}

void job_end(Channel &ch, bool with_reset)
{
    write(ch, kUel);
    if (failed(ch)) {
        close(ch);
        return;
    }
    write_panel_message(ch, "");
    if (failed(ch)) {
        close(ch);
        return;
    }
    if (with_reset) {
        write(ch, std::string_view("@PJL RESET\n"));
        if (failed(ch)) {
            close(ch);
            return;
        }
    }
    write(ch, kUel);
}

void language_switch(Channel &ch, std::uint8_t switch_value)
{
    const KxPrinterInfo &p = *ch.pInfo;
    int language = p.nLanguage;
    if (language == KX_LANG_NONE) {
        if (p.wCopies != 0) write_pcl_copies(ch);
        return;
    }
    if (language < KX_LANG_SWITCH_ONLY || language > KX_LANG_PCLXL) return;
    std::uint8_t *tmpl = g_language_templates[language == KX_LANG_PCLXL ? 4 : language - 1];
    if (switch_value != 0) tmpl[kSwitchValueByte] = switch_value;
    write(ch, tmpl, 8);
    if ((language == KX_LANG_PCL || language == KX_LANG_PCLXL) && p.wCopies != 0) write_pcl_copies(ch);
}

void resource_command(Channel &ch, int mode)
{
    const KxPrinterInfo &p = *ch.pInfo;
    const bool pjl = (p.bFlags & KX_PRINTER_PJL) != 0;
    const bool esck = (p.bFlags & KX_PRINTER_ESCK) != 0;
    if (mode == KX_RESOURCE_DEVICE && p.nDeviceClass == 2) write(ch, kDeviceClassPrefix, sizeof kDeviceClassPrefix);
    if (pjl) {
        write(ch, kUel);
        if (failed(ch)) {
            close(ch);
            return;
        }
    } else if (failed(ch)) {
        return;
    }
    std::string device(storage_device_name(ch.nTarget));
    switch (mode) {
    case KX_RESOURCE_RAM:
        if (pjl) write_format(ch, "@PJL SET %s = %s\n", "KDOWNLOADTARGET", "ram");
        if (esck) write(ch, kTargetRamSwitch, sizeof kTargetRamSwitch);
        break;
    case KX_RESOURCE_DEVICE:
        if (pjl) write_format(ch, "@PJL SET %s = %s\n", "KDOWNLOADTARGET", device.c_str());
        if (esck) write(ch, kTargetDeviceSwitch, sizeof kTargetDeviceSwitch);
        break;
    case KX_RESOURCE_FORMAT:
        if (pjl)
            write_format(ch, "@PJL %s DEVICE = %s\n", "KFORMAT", device.c_str());
        else
            write(ch, kFormatSwitch, sizeof kFormatSwitch);
        break;
    case KX_RESOURCE_DIRECTORY:
        if (pjl)
            write(ch, std::string_view("@PJL KPRINTDIRECTORY\n"));
        else
            write(ch, kDirectorySwitch, sizeof kDirectorySwitch);
        break;
    default:
        break;
    }
}

} // namespace kx::output
