// KxFonQueryInfo: recognition by extension (or by content for PCL soft
// fonts), the per-format readers, and the companion rules of the query modes.
#include "fonts/identify.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "api/path_arg.h"
#include "api/result.h"
#include "fonts/afm_reader.h"
#include "fonts/dlf_reader.h"
#include "fonts/font_info.h"
#include "fonts/pcl_softfont.h"
#include "fonts/pcm_reader.h"
#include "fonts/pfm_reader.h"
#include "fonts/type1_names.h"
#include "platform/file.h"
#include "platform/path.h"

namespace kx::fonts {

namespace {

// Extensions of files that are never fonts, refused without being opened.
constexpr std::array<std::string_view, 9> kExcluded = {"CFG", "FF", "TYP", "TXT", "ME",
                                                       "BAT", "CMD", "COM", "EXE"};

// Query modes that ask for companions.
constexpr int kModeAfm = 2;       // the AFM beside a Type 1 font, the FMF beside a DLF
constexpr int kModeMetrics = 4;   // the PFM, else the INF and the AFM; missing is a failure
constexpr int kModeLenient = 5;   // as 4, but a missing companion is no failure

bool is_separator(char c) { return c == '\\' || c == '/' || c == ':'; }

std::uint32_t file_size_of(std::string_view path)
{
    struct stat st;
    if (::stat(platform::resolve_for_read(path).c_str(), &st) != 0) return 0;
    return static_cast<std::uint32_t>(st.st_size);
}

// A companion file beside a font: its path as it exists on disk (matching
// the name whatever its case), or the composed name when there is none.
struct Companion {
    std::string path;
    bool found = false;
};

bool file_exists(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Tries the extension as given and in lower case before the directory scan
// of the case-insensitive lookup, which costs a pass over the whole
// directory; a missing companion is scanned for once.
Companion find_companion(std::string_view path, std::string_view ext)
{
    std::string spelled = replace_extension(path, ext);
    std::string lower(ext);
    for (char &c : lower) c = platform::ascii_lower(c);
    for (const std::string &candidate : {spelled, replace_extension(path, lower)}) {
        std::string native = platform::native_path(candidate);
        if (file_exists(native)) return {native, true};
    }
    std::string resolved = platform::resolve_for_read(spelled);
    return {resolved, file_exists(resolved)};
}

int ok() { return code(Result::Ok); }
int invalid() { return code(Result::InvalidFile); }

// Companion rules of PFA and PFB fonts.
int type1_companions(std::string_view path, KxFontInfo &info, int mode)
{
    if (mode == kModeMetrics || mode == kModeLenient) {
        Companion pfm = find_companion(path, "PFM");
        if (pfm.found) {
            set_text(info.szCompanion2, pfm.path);
            return ok();
        }
        if (!find_companion(path, "INF").found) return mode == kModeMetrics ? code(Result::NotSupported) : ok();
        // No PFM here: its composed name is what the companion rules record.
        Companion afm = find_companion(path, "AFM");
        if (!afm.found) return mode == kModeLenient ? ok() : code(Result::NotSupported);
        set_text(info.szCompanion, afm.path);
        set_text(info.szCompanion2, pfm.path);
        return ok();
    }
    if (mode == kModeAfm) {
        Companion afm = find_companion(path, "AFM");
        if (!afm.found) return code(Result::NotSupported);
        set_text(info.szCompanion, afm.path);
        set_text(info.szCompanion2, find_companion(path, "PFM").path);
    }
    return ok();
}

int identify_afm(std::string_view path, KxFontInfo &info, int mode)
{
    Companion inf = find_companion(path, "INF");
    bool strict = mode == kModeMetrics || mode == kModeLenient;
    if (strict && !inf.found) return mode == kModeMetrics ? code(Result::NotSupported) : ok();

    platform::File afm_file = platform::open_file(path, "r");
    if (!afm_file) return code(Result::CannotOpen);
    platform::File inf_file;
    if (inf.found) inf_file = platform::File(std::fopen(inf.path.c_str(), "r"));
    if (!inf_file && strict) return mode == kModeMetrics ? code(Result::CannotOpen) : ok();

    std::unique_ptr<AfmMetrics> metrics(new (std::nothrow) AfmMetrics());
    if (!metrics) return code(Result::NoMemory);
    std::string source(path);
    int rc = read_afm(afm_file.get(), inf_file.get(), source.c_str(), *metrics);
    if (rc != 0) return rc;
    std::string_view font_name(metrics->szFontName, strnlen(metrics->szFontName, sizeof metrics->szFontName));
    if (font_name.empty()) return invalid();
    set_text(info.szDescription, font_name);
    if (inf_file) {
        std::rewind(inf_file.get());
        set_text(info.szIdentifiers, inf_menu_name(inf_file.get()));
    }

    info.dwFlags |= FONT_FLAG_08;
    info.nFontClass = FONT_CLASS_AFM;
    info.nFontFormat = FORMAT_TYPE1;
    Companion pfb = find_companion(path, "PFB");
    if (!pfb.found) return code(Result::NotSupported);
    set_text(info.szCompanion, pfb.path);
    return ok();
}

int identify_pfa(std::string_view path, KxFontInfo &info, int mode)
{
    platform::File f = platform::open_file(path, "r");
    if (!f) return code(Result::CannotOpen);
    std::string name = pfa_font_name(f.get());
    f.close();
    if (name.empty()) return invalid();
    set_text(info.szDescription, name);
    info.dwFlags |= FONT_FLAG_08 | FONT_FLAG_20;
    info.nFontClass = FONT_CLASS_DOWNLOADABLE;
    info.nFontFormat = FORMAT_TYPE1;
    info.dwMemoryNeeded = memory_for_pfa(info.dwFileSize);
    return type1_companions(path, info, mode);
}

int identify_pfb(std::string_view path, KxFontInfo &info, int mode)
{
    platform::File f = platform::open_file(path, "rb");
    if (!f) return code(Result::CannotOpen);
    PfbNames names = pfb_names(f.get());
    f.close();
    if (names.font_name.empty()) return invalid();
    set_text(info.szDescription, names.font_name);
    if (!names.standard_encoding) info.dwFlags &= ~FONT_STANDARD_ENCODING;
    info.dwFlags |= FONT_BINARY | FONT_FLAG_08 | FONT_FLAG_20;
    info.nFontClass = FONT_CLASS_DOWNLOADABLE;
    info.nFontFormat = FORMAT_TYPE1;
    info.dwMemoryNeeded = memory_for_pfb(info.dwFileSize);
    return type1_companions(path, info, mode);
}

int identify_dlf(std::string_view path, KxFontInfo &info, int mode)
{
    platform::File f = platform::open_file(path, "rb");
    if (!f) return code(Result::CannotOpen);
    std::string line = dlf_listing(f.get());
    f.close();
    if (line.empty()) return invalid();
    set_text(info.szDescription, line);
    info.dwFlags |= FONT_BINARY | FONT_FLAG_08;
    info.nFontClass = FONT_CLASS_DOWNLOADABLE;
    info.nFontFormat = FORMAT_DLF;
    info.dwMemoryNeeded = memory_plus_header(info.dwFileSize);
    if (mode == kModeAfm) {
        Companion fmf = find_companion(path, "FMF");
        if (!fmf.found) return code(Result::NotSupported);
        set_text(info.szCompanion, fmf.path);
    }
    return ok();
}

int identify_fmf(std::string_view path, KxFontInfo &info)
{
    platform::File f = platform::open_file(path, "rb");
    if (!f) return code(Result::CannotOpen);
    std::string name = fmf_name(f.get());
    f.close();
    if (name.empty()) return invalid();
    set_text(info.szDescription, name);
    info.dwFlags |= FONT_BINARY | FONT_FLAG_08 | FONT_FLAG_20;
    info.nFontClass = FONT_CLASS_METRICS;
    info.nFontFormat = FORMAT_FMF;
    std::string dlf = find_companion(path, "DLF").path;
    set_text(info.szCompanion, dlf);
    set_text(info.szCompanion2, dlf);
    return ok();
}

int identify_pfm(std::string_view path, KxFontInfo &info)
{
    PfmImage image;
    if (open_pfm(path, image) != 0) return invalid();
    std::string face = pfm_face_name(image);
    if (face.empty()) return invalid();
    set_text(info.szDescription, face);
    info.dwFlags |= FONT_BINARY | FONT_FLAG_08 | FONT_FLAG_20;
    info.nFontClass = FONT_CLASS_METRICS;
    info.nFontFormat = FORMAT_PFM;
    return ok();
}

int identify_pcm(std::string_view path, KxFontInfo &info)
{
    platform::File f = platform::open_file(path, "rb");
    if (!f) return code(Result::CannotOpen);
    PcmListing listing;
    int rc = read_pcm(f.get(), info.dwFileSize, listing);
    f.close();
    if (rc != 0) return rc;
    if (listing.title.empty()) return invalid();
    set_text(info.szDescription, listing.title);

    KxFontName *head = nullptr;
    KxFontName **tail = &head;
    bool built = append_name(tail, listing.title);
    for (std::size_t i = 0; built && i < listing.faces.size(); ++i) built = append_name(tail, listing.faces[i]);
    if (!built) {
        free_name_list(head);
        return code(Result::NoMemory);
    }
    info.pNameList = head;
    info.dwFlags |= FONT_BINARY;
    info.nFontClass = FONT_CLASS_METRICS;
    info.nFontFormat = FORMAT_PCM;
    return ok();
}

int identify_pcl(std::string_view path, KxFontInfo &info)
{
    platform::File f = open_soft_font(path);
    if (!f) return invalid();
    int rc = read_descriptor(f.get(), info);
    if (rc != 0) return rc;
    info.dwFlags |= FONT_BINARY;
    info.nFontClass = FONT_CLASS_DOWNLOADABLE;
    info.dwMemoryNeeded = memory_plus_header(info.dwFileSize);
    if (info.nFontFormat == FORMAT_PCL_BOUND_SCALABLE || info.nFontFormat == FORMAT_PCL_UNBOUND_SCALABLE ||
        info.nFontFormat == FORMAT_PCL_TRUETYPE)
        info.dwFlags |= FONT_FLAG_08 | FONT_FLAG_20;
    return ok();
}

// Formats known by their extension alone.
int identify_by_name(std::string_view path, KxFontInfo &info, std::uint32_t font_class, std::uint32_t format,
                     int result)
{
    info.dwFlags |= FONT_BINARY;
    info.nFontClass = font_class;
    info.nFontFormat = format;
    set_text(info.szDescription, font_base_name(path));
    return result;
}

} // namespace

std::string replace_extension(std::string_view path, std::string_view ext)
{
    std::size_t start = 0;
    for (std::size_t i = path.size(); i > 0; --i)
        if (is_separator(path[i - 1])) {
            start = i;
            break;
        }
    std::size_t dot = path.rfind('.');
    std::string out;
    if (dot == std::string_view::npos || dot < start) {
        out.assign(path);
    } else {
        out.assign(path.substr(0, ext.starts_with('.') ? dot : dot + 1));
    }
    out += ext;
    return out;
}

std::string font_base_name(std::string_view path)
{
    std::size_t start = 0;
    for (std::size_t i = path.size(); i > 0; --i)
        if (path[i - 1] == '\\' || path[i - 1] == '/') {
            start = i;
            break;
        }
    std::string name;
    for (std::size_t i = start; i < path.size() && path[i] != '.'; ++i) {
        if (path[i] == ':')
            name.clear();
        else
            name += path[i];
    }
    return name;
}

std::string font_extension(std::string_view path)
{
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(path.substr(dot + 1, 3));
    for (char &c : ext) c = platform::ascii_upper(c);
    return ext;
}

std::string companion_path(std::string_view path, std::string_view ext) { return find_companion(path, ext).path; }

int query_font_info(const char *path, KxFontInfo &info, int mode, bool include_metrics)
{
    std::memset(&info, 0, sizeof info);
    if (!path || path_too_long(path)) return code(Result::InvalidArg);
    std::string_view p(path);
    if (p.empty() || !platform::exists(p)) return code(Result::NotFound);

    std::string ext = font_extension(p);
    if (ext.empty()) return code(Result::InvalidArg);
    for (auto x : kExcluded)
        if (ext == x) return invalid();

    info.dwFlags = FONT_STANDARD_ENCODING;
    info.dwFileSize = file_size_of(p);

    auto metrics_only = [&](auto &&identify) { return include_metrics ? identify() : invalid(); };
    if (ext == "AFM") return metrics_only([&] { return identify_afm(p, info, mode); });
    if (ext == "PFA") return identify_pfa(p, info, mode);
    if (ext == "PFB") return identify_pfb(p, info, mode);
    if (ext == "DLF") return identify_dlf(p, info, mode);
    if (ext == "FMF") return metrics_only([&] { return identify_fmf(p, info); });
    if (ext == "PFM" || ext == "PSM" || ext == "PBM") return metrics_only([&] { return identify_pfm(p, info); });
    if (ext == "PCM") return metrics_only([&] { return identify_pcm(p, info); });
    if (ext == "TFM")
        return metrics_only([&] { return identify_by_name(p, info, FONT_CLASS_METRICS, FORMAT_TFM, ok()); });
    // A font installer file of TrueType fonts is described but not usable.
    if (ext == "FOT") return identify_by_name(p, info, FONT_CLASS_METRICS, FORMAT_TRUETYPE_FILE, invalid());
    if (ext == "TTF") return identify_by_name(p, info, FONT_CLASS_TRUETYPE, FORMAT_TRUETYPE_FILE, ok());
    return identify_pcl(p, info);
}

} // namespace kx::fonts

extern "C" KXAPI_EXPORT int KxFonQueryInfo(const char *path, KxFontInfo *info, int nQueryMode, int bIncludeMetrics)
{
    if (!info) return KX_ERR_INVALID_ARG;
    try {
        return kx::fonts::query_font_info(path, *info, nQueryMode, bIncludeMetrics != 0);
    } catch (const std::bad_alloc &) {
        return KX_ERR_NO_MEMORY;
    } catch (...) {
        return KX_ERR_INVALID_FILE;
    }
}
