// AFM metrics reader: global metrics, character metrics by glyph name, and
// kerning pairs, into KxAfmMetrics.
#include "fonts/afm_reader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "api/result.h"
#include "fonts/afm_text.h"

namespace kx::fonts {

namespace {

using afm_text::Cursor;
using afm_text::Lines;

constexpr int kSpace = 32;
constexpr int kHyphen = 45;
constexpr int kBullet = 149;
constexpr int kSpaceRequired = 160;
constexpr int kHyphenSyllable = 173;
constexpr int kOverline = 175;

struct WeightWord {
    const char *word;
    std::int32_t weight;
};
constexpr WeightWord kWeights[] = {
    {"Light", 300}, {"LightCondensed", 300}, {"Book", 400},           {"Medium", 400},
    {"Roman", 400}, {"Regular", 400},        {"Italic", 400},         {"MediumCondensed", 400},
    {"Bold", 700},  {"BoldItalic", 700},     {"Demi", 700},           {"Poster", 700},
    {"Heavy", 700}, {"Black", 700},          {"BlackCondensed", 700}, {"BoldCondensed", 700},
};

std::int32_t weight_of(std::string_view word)
{
    for (const WeightWord &w : kWeights)
        if (word == w.word) return w.weight;
    return 400;
}

// Letter frequencies (per thousand) of the PPDS average width.
struct LetterWeight {
    char ch;
    std::int32_t weight;
};
constexpr LetterWeight kLetterWeights[] = {
    {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42}, {'i', 63},
    {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20}, {'n', 56},  {'o', 56}, {'p', 17}, {'q', 4},  {'r', 49},
    {'s', 56}, {'t', 71}, {'u', 31}, {'v', 10}, {'w', 18},  {'x', 3},  {'y', 18}, {'z', 2},  {' ', 166},
};

// Fonts whose codes come from the file's own character codes rather than
// from glyph names: Pi fonts (by their INF) and menu names "Symbol...".
bool codes_by_number(const KxAfmMetrics &m)
{
    return m.nFamily == 80 || std::strncmp(m.szMenuName, "Symbol", 6) == 0;
}

void read_char_line(Cursor c, KxAfmMetrics &m)
{
    std::int32_t code = 0;
    std::string_view key = c.word(afm_text::kShortWord);
    if (key == "C") code = c.number();
    else if (key == "CH") code = c.hex_number();
    c.skip_item_end();

    c.word(afm_text::kShortWord); // WX
    std::int32_t width = c.number();
    c.skip_item_end();

    if (!codes_by_number(m)) {
        c.word(afm_text::kShortWord); // N
        code = glyph_code(c.word(afm_text::kGlyphWord));
        c.skip_item_end();
    } else {
        c.skip_past_semicolon();
    }

    c.word(afm_text::kShortWord); // B
    std::int32_t llx = c.number();
    std::int32_t lly = c.number();
    std::int32_t urx = c.number();
    std::int32_t ury = c.number();
    c.skip_item_end();

    if (code >= 1 && code <= 255) m.charMetrics[code] = KxAfmCharMetrics{llx, ury, urx, lly, width};
}

void read_char_metrics(Cursor &head, Lines &lines, KxAfmMetrics &m)
{
    std::int32_t count = head.number();
    for (KxAfmCharMetrics &cm : m.charMetrics) cm.width = -1;
    std::string_view line;
    for (std::int32_t i = 0; i < count && lines.next(line); ++i) {
        ++m.nCharLines;
        read_char_line(Cursor(line), m);
    }
    // Codes the font does not define show the bullet. A font without a
    // bullet leaves them empty (all zero) rather than with the -1 marker,
    // which would otherwise reach the widths and the average width.
    const KxAfmCharMetrics bullet = m.charMetrics[kBullet].width == -1 ? KxAfmCharMetrics{} : m.charMetrics[kBullet];
    for (KxAfmCharMetrics &cm : m.charMetrics)
        if (cm.width == -1) cm = bullet;
    lines.next(line); // EndCharMetrics
}

void read_kern_data(Lines &lines, KxAfmMetrics &m)
{
    std::string_view line;
    if (!lines.next(line)) return;
    Cursor head(line);
    head.word(afm_text::kLongWord); // StartKernPairs
    std::int32_t count = head.number();
    for (std::int32_t i = 0; i < count; ++i) {
        if (!lines.next(line)) break;
        Cursor c(line);
        if (c.word(afm_text::kLongWord) != "KPX") {
            lines.give_back();
            break;
        }
        int first = glyph_code(c.word(afm_text::kLongWord));
        int second = glyph_code(c.word(afm_text::kLongWord));
        std::int32_t amount = c.number();
        // A pair naming a glyph outside the code page has no code to kern;
        // keeping it would only take one of the limited slots from a real pair.
        if (first == 0 || second == 0) continue;
        if (m.nKernPairs >= kAfmMaxKernPairs) continue;
        m.kernPairs[m.nKernPairs++] =
            KxAfmKernPair{static_cast<std::uint16_t>(second << 8 | first), static_cast<std::int16_t>(amount)};
    }
    lines.next(line); // EndKernPairs
    std::stable_sort(m.kernPairs, m.kernPairs + m.nKernPairs,
                     [](const KxAfmKernPair &a, const KxAfmKernPair &b) { return a.wKey < b.wKey; });
}

void apply_afm_text(std::span<const std::uint8_t> afm, KxAfmMetrics &m)
{
    Lines lines(afm);
    std::string_view line;
    while (lines.next(line)) {
        Cursor c(line);
        std::string_view key = c.word(afm_text::kLongWord);
        if (key == "FontName") {
            afm_text::copy_text(m.szFontName, sizeof m.szFontName, c.rest());
            std::string_view name(m.szFontName);
            m.nCharSet = (name.starts_with("Symbol") || name == "ZapfDingbats") ? 2 : 0;
        } else if (key == "Weight") {
            m.nWeight = weight_of(c.word(afm_text::kLongWord));
        } else if (key == "ItalicAngle") {
            m.nItalicAngle = c.tenths();
        } else if (key == "IsFixedPitch") {
            m.bVariablePitch = c.word(afm_text::kShortWord) == "true" ? 0 : 1;
        } else if (key == "UnderlinePosition") {
            m.nUnderlinePos = c.number();
        } else if (key == "UnderlineThickness") {
            m.nUnderlineThick = c.number();
        } else if (key == "CapHeight") {
            m.nCapHeight = c.number();
        } else if (key == "Descender") {
            m.nDescender = c.number();
        } else if (key == "Ascender") {
            m.nAscender = c.number();
        } else if (key == "FontBBox") {
            std::int32_t llx = c.number(), lly = c.number(), urx = c.number(), ury = c.number();
            m.rcFontBBox = KxAfmRect{llx, ury, urx, lly};
        } else if (key == "StartCharMetrics") {
            read_char_metrics(c, lines, m);
        } else if (key == "StartKernData") {
            read_kern_data(lines, m);
        } else if (key == "EndFontMetrics") {
            break;
        }
    }

    // Codes that repeat another glyph in code page 1252.
    m.charMetrics[kSpaceRequired] = m.charMetrics[kSpace];
    m.charMetrics[kHyphenSyllable] = m.charMetrics[kHyphen];
    m.charMetrics[kOverline] = m.charMetrics[glyph_code("macron")];

    m.nFirstCode = 32;
    m.nLastCode = 255;
    if (!m.bVariablePitch)
        for (int code = 32; code <= 255; ++code) m.charMetrics[code].width = m.charMetrics[kSpace].width;
    m.nAvgWidth = afm_average_width(m, AfmAverage::Plain);
    m.nMaxWidth = 0;
    for (int code = 32; code <= 255; ++code) m.nMaxWidth = std::max(m.nMaxWidth, m.charMetrics[code].width);
}

// Reads a whole stream from its start into `image`: 0, 37 when longer than
// the limit, 6 on a read error, 11 without memory.
int read_image(std::FILE *fp, std::vector<std::uint8_t> &image)
{
    // A seekable stream tells its size up front: an oversized file is refused
    // unread and the image is allocated once. A stream that cannot seek is
    // read from where it is, the limit checked as it grows.
    long size = -1;
    if (std::fseek(fp, 0, SEEK_END) == 0) size = std::ftell(fp);
    std::fseek(fp, 0, SEEK_SET);
    if (size > static_cast<long>(kAfmMaxFileBytes)) return code(Result::Limit);
    try {
        if (size > 0) image.reserve(static_cast<std::size_t>(size));
        std::uint8_t chunk[8192];
        for (;;) {
            std::size_t got = std::fread(chunk, 1, sizeof chunk, fp);
            if (got == 0) break;
            if (image.size() + got > kAfmMaxFileBytes) return code(Result::Limit);
            image.insert(image.end(), chunk, chunk + got);
        }
    } catch (const std::bad_alloc &) {
        return code(Result::NoMemory);
    }
    if (std::ferror(fp)) return code(Result::ReadError);
    return 0;
}

} // namespace

void init_afm_metrics(KxAfmMetrics &m, const char *source_path)
{
    std::memset(&m, 0, sizeof m);
    m.nFirstCode = 32;
    m.nLastCode = 255;
    m.nWeight = 400;
    m.bVariablePitch = 1;
    std::memcpy(m.szPclSymbolSet, "9U", 3);
    if (source_path) afm_text::copy_text(m.szSourcePath, sizeof m.szSourcePath, source_path);
}

int read_afm_bytes(std::span<const std::uint8_t> afm, const std::span<const std::uint8_t> *inf,
                   const char *source_path, KxAfmMetrics &m)
{
    init_afm_metrics(m, source_path);
    if (inf) {
        if (inf->size() > kAfmMaxFileBytes) return code(Result::Limit);
        apply_inf_text(*inf, m);
    }
    if (afm.size() > kAfmMaxFileBytes) return code(Result::Limit);
    apply_afm_text(afm, m);
    return 0;
}

int read_afm(std::FILE *afm, std::FILE *inf, const char *source_path, KxAfmMetrics &m)
{
    init_afm_metrics(m, source_path);
    std::vector<std::uint8_t> image;
    if (inf) {
        if (int rc = read_image(inf, image)) return rc;
        apply_inf_text(image, m);
        image.clear();
    }
    if (int rc = read_image(afm, image)) return rc;
    apply_afm_text(image, m);
    return 0;
}

std::int32_t afm_average_width(const KxAfmMetrics &m, AfmAverage mode)
{
    if (mode == AfmAverage::Ppds) {
        std::int64_t sum = 0;
        for (const LetterWeight &lw : kLetterWeights)
            sum += static_cast<std::int64_t>(m.charMetrics[static_cast<unsigned char>(lw.ch)].width) * lw.weight;
        return static_cast<std::uint16_t>(static_cast<std::uint64_t>(sum / 1000));
    }
    if (!m.bVariablePitch) return m.charMetrics[kSpace].width;
    std::uint32_t sum = 0;
    for (const KxAfmCharMetrics &cm : m.charMetrics) sum += static_cast<std::uint32_t>(cm.width);
    return static_cast<std::int32_t>(sum / kAfmCodes);
}

} // namespace kx::fonts
