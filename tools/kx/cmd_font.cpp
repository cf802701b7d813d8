// kx font info: identifies a font file and prints its record.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"

namespace {

using namespace kxcli;

struct Named {
    std::uint32_t value;
    const char *name;
};
const Named kFlags[] = {{FONT_BINARY, "FONT_BINARY"},
                        {FONT_STANDARD_ENCODING, "FONT_STANDARD_ENCODING"},
                        {FONT_PROPORTIONAL, "FONT_PROPORTIONAL"},
                        {FONT_FLAG_08, "FONT_FLAG_08"},
                        {FONT_FLAG_20, "FONT_FLAG_20"}};
const Named kClasses[] = {{FONT_CLASS_METRICS, "FONT_CLASS_METRICS"},
                          {FONT_CLASS_DOWNLOADABLE, "FONT_CLASS_DOWNLOADABLE"},
                          {FONT_CLASS_AFM, "FONT_CLASS_AFM"},
                          {FONT_CLASS_TRUETYPE, "FONT_CLASS_TRUETYPE"}};
const Named kFormats[] = {{FORMAT_TYPE1, "FORMAT_TYPE1"},
                          {FORMAT_DLF, "FORMAT_DLF"},
                          {FORMAT_PCL_RES_BITMAP, "FORMAT_PCL_RES_BITMAP"},
                          {FORMAT_PCL_BITMAP, "FORMAT_PCL_BITMAP"},
                          {FORMAT_PCL_BITMAP_ALT, "FORMAT_PCL_BITMAP_ALT"},
                          {FORMAT_PCL_BOUND_SCALABLE, "FORMAT_PCL_BOUND_SCALABLE"},
                          {FORMAT_PCL_UNBOUND_SCALABLE, "FORMAT_PCL_UNBOUND_SCALABLE"},
                          {FORMAT_PCL_TRUETYPE, "FORMAT_PCL_TRUETYPE"},
                          {FORMAT_TRUETYPE_FILE, "FORMAT_TRUETYPE_FILE"},
                          {FORMAT_TFM, "FORMAT_TFM"},
                          {FORMAT_FMF, "FORMAT_FMF"},
                          {FORMAT_PFM, "FORMAT_PFM"},
                          {FORMAT_PCM, "FORMAT_PCM"}};

template <std::size_t N>
const char *name_of(const Named (&table)[N], std::uint32_t value)
{
    for (const auto &n : table)
        if (n.value == value) return n.name;
    return "none";
}

std::vector<std::string> flag_names(std::uint32_t flags)
{
    std::vector<std::string> out;
    for (const auto &f : kFlags)
        if (flags & f.value) out.emplace_back(f.name);
    return out;
}

std::vector<std::string> name_list(const KxFontInfo &info)
{
    std::vector<std::string> out;
    for (const KxFontName *n = info.pNameList; n; n = n->pNext) out.emplace_back(n->pszText ? n->pszText : "");
    return out;
}

void free_name_list(KxFontInfo &info)
{
    for (KxFontName *n = info.pNameList; n;) {
        KxFontName *next = n->pNext;
        KxMemFree(n->pszText);
        KxMemFree(n);
        n = next;
    }
    info.pNameList = nullptr;
}

std::string json_string(std::string_view s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x80) {
                // Texts are in the single-byte code page: escape what is not ASCII.
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string json_list(const std::vector<std::string> &items)
{
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + json_string(items[i]);
    return out + "]";
}

void print_json(const std::string &path, int rc, const KxFontInfo &info)
{
    std::printf("{\n  \"file\": %s,\n  \"result\": %d,\n", json_string(path).c_str(), rc);
    std::printf("  \"flags\": %u,\n  \"flagNames\": %s,\n", info.dwFlags, json_list(flag_names(info.dwFlags)).c_str());
    std::printf("  \"class\": %u,\n  \"className\": %s,\n", info.nFontClass,
                json_string(name_of(kClasses, info.nFontClass)).c_str());
    std::printf("  \"format\": %u,\n  \"formatName\": %s,\n", info.nFontFormat,
                json_string(name_of(kFormats, info.nFontFormat)).c_str());
    std::printf("  \"xResolution\": %u,\n  \"yResolution\": %u,\n", info.wXResolution, info.wYResolution);
    std::printf("  \"fileSize\": %u,\n  \"memoryNeeded\": %u,\n", info.dwFileSize, info.dwMemoryNeeded);
    std::printf("  \"description\": %s,\n", json_string(info.szDescription).c_str());
    std::printf("  \"identifiers\": %s,\n", json_string(info.szIdentifiers).c_str());
    std::printf("  \"symbolSet\": %s,\n", json_string(info.szSymbolSet).c_str());
    std::printf("  \"companion\": %s,\n", json_string(info.szCompanion).c_str());
    std::printf("  \"companion2\": %s,\n", json_string(info.szCompanion2).c_str());
    std::printf("  \"names\": %s\n}\n", json_list(name_list(info)).c_str());
}

void print_text(const std::string &path, const KxFontInfo &info)
{
    std::string flags;
    for (const auto &f : flag_names(info.dwFlags)) flags += (flags.empty() ? "" : " ") + f;
    std::printf("file:          %s\n", path.c_str());
    std::printf("description:   %s\n", info.szDescription);
    std::printf("flags:         0x%02X %s\n", info.dwFlags, flags.c_str());
    std::printf("class:         %u %s\n", info.nFontClass, name_of(kClasses, info.nFontClass));
    std::printf("format:        %u %s\n", info.nFontFormat, name_of(kFormats, info.nFontFormat));
    if (info.wXResolution || info.wYResolution)
        std::printf("resolution:    %u x %u dpi\n", info.wXResolution, info.wYResolution);
    std::printf("file size:     %u bytes\n", info.dwFileSize);
    std::printf("memory needed: %u bytes\n", info.dwMemoryNeeded);
    if (info.szIdentifiers[0]) std::printf("identifiers:   %s\n", info.szIdentifiers);
    if (info.szSymbolSet[0]) std::printf("symbol set:    %s\n", info.szSymbolSet);
    if (info.szCompanion[0]) std::printf("companion:     %s\n", info.szCompanion);
    if (info.szCompanion2[0]) std::printf("companion 2:   %s\n", info.szCompanion2);
    auto names = name_list(info);
    for (std::size_t i = 0; i < names.size(); ++i)
        std::printf("%s %s\n", i == 0 ? "title:        " : "face:         ", names[i].c_str());
}

extern const Command kFont;

int run_info(const Args &args)
{
    Options opts(args, {"--mode"}, {"--metrics", "--json"});
    if (!opts.ok()) return usage_error(kFont, opts.error());
    if (opts.positionals().size() != 1) return usage_error(kFont, "give exactly one font file");
    bool ok = true;
    long long mode = opts.number("--mode", 0, ok);
    if (!ok) return usage_error(kFont, "--mode must be a number");
    const std::string &path = opts.positionals()[0];
    KxFontInfo info;
    int rc = KxFonQueryInfo(path.c_str(), &info, static_cast<int>(mode), opts.flag("--metrics") ? 1 : 0);
    // The record is meaningful on success and when only a companion is missing.
    bool filled = rc == KX_OK || rc == KX_ERR_NOT_SUPPORTED;
    if (opts.flag("--json")) {
        if (filled) {
            print_json(path, rc, info);
        } else {
            std::printf("{\n  \"file\": %s,\n  \"result\": %d\n}\n", json_string(path).c_str(), rc);
        }
    } else if (filled) {
        print_text(path, info);
    }
    if (filled) free_name_list(info);
    return report_result("font info", rc);
}

int run_font(const Args &args)
{
    if (args.empty()) return usage_error(kFont, "give a sub-command: info");
    if (args[0] == "--help" || args[0] == "-h") {
        std::printf("%s\n", kFont.usage);
        return kExitOk;
    }
    Args rest(args.begin() + 1, args.end());
    if (args[0] == "info") {
        if (wants_help(rest)) {
            std::printf("%s\n", kFont.usage);
            return kExitOk;
        }
        return run_info(rest);
    }
    return usage_error(kFont, "unknown sub-command " + args[0]);
}

const Command kFont = {"font", "identify font files", R"(Usage: kx font info FILE [--mode N] [--metrics] [--json]

Identifies FILE and prints what the library records about it: description,
flags by name, class, format, resolutions, file size, estimated printer memory,
identifiers, symbol set, companion files and, for PCM files, the title and face
names. The format comes from the extension (AFM, PFA, PFB, DLF, FMF, PFM, PSM,
PBM, PCM, TFM, FOT, TTF); any other extension is tested for a PCL soft font.

  --mode N    companion files to require: 2 the AFM of a PFA/PFB (the FMF of a
              DLF); 4 the PFM, else the INF and the AFM; 5 as 4 without failing
              when they are missing; other values none (default 0)
  --metrics   accept metric-only files (AFM, FMF, PFM, PSM, PBM, PCM, TFM)
  --json      print the record as JSON

Result 32 (a required companion is missing) still prints the record.

Example: kx font info --mode 2 /fonts/NimbusSans-Regular.pfb)",
                       run_font};

Registration reg_font{kFont};

} // namespace
