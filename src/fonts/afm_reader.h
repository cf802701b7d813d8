// Adobe Font Metrics (AFM) reader with its optional INF companion.
//
// Both text files are read whole (at most kAfmMaxFileBytes each) into one
// in-memory record, KxAfmMetrics: global font metrics, per-code character
// metrics for codes 0 to 255 in Windows code page 1252 order, kerning pairs,
// and the INF's menu name, family flags and PCL values. Character codes come
// from glyph names through the fixed glyph-name table below, so the record is
// always laid out in code page 1252 order whatever the AFM's own encoding.
//
// Font identification uses only the font name; font conversion writes printer
// font metrics from the whole record. The record is internal: it never crosses
// the library's C boundary.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

namespace kx::fonts {

// A longer AFM or INF file gives result 37. Real AFM files of full Type 1
// fonts (a thousand glyphs, thousands of kerning pairs) run well past 64 KB;
// the limit only keeps a runaway file from being loaded whole.
inline constexpr std::size_t kAfmMaxFileBytes = 16u * 1024u * 1024u;
inline constexpr int kAfmMaxKernPairs = 1024;
inline constexpr std::size_t kAfmTextBytes = 80;       // text fields hold at most 79 characters
inline constexpr int kAfmCodes = 256;

// One kerning pair: key = second code << 8 | first code.
struct KxAfmKernPair {
    std::uint16_t wKey;
    std::int16_t sAmount;
};

// A box in the order left (llx), top (ury), right (urx), bottom (lly).
struct KxAfmRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// Metrics of one character code: its box as above, then its width (WX).
struct KxAfmCharMetrics {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    std::int32_t width;
};

// The AFM/INF metrics record. Allocated by the caller (it is about 10 KB: do
// not put it on a small stack), filled by read_afm. Numbers are AFM units of
// 1/1000 em.
struct KxAfmMetrics {
    std::int32_t nCharLines;      // character-metrics lines read
    std::int32_t nFirstCode;      // 32 after reading
    std::int32_t nLastCode;       // 255 after reading
    std::int32_t nAvgWidth;       // plain average width (AfmAverage::Plain)
    std::int32_t nMaxWidth;       // largest width of codes 32..255, at least 0
    std::int32_t nItalicAngle;    // ItalicAngle x 10 truncated, as a signed 16-bit value
    std::int32_t nFamily;         // 80 INF Pi, 16 INF Serif, 32 other INF, 0 without INF
    std::int32_t nUnderlinePos;
    std::int32_t nUnderlineThick;
    std::int32_t nAscender;
    std::int32_t nDescender;
    std::int32_t nCharSet;        // 2 for FontName "Symbol..." or "ZapfDingbats", else 0
    std::int32_t nCapHeight;
    std::int32_t bVariablePitch;  // 1 unless IsFixedPitch is "true"
    char szSourcePath[kAfmTextBytes]; // the AFM path given by the caller
    char szFontName[kAfmTextBytes];
    char szMenuName[kAfmTextBytes];   // INF MSMenuName
    std::int32_t nWeight;         // from the Weight word; 400 by default
    std::int32_t nKernPairs;      // pairs kept, at most kAfmMaxKernPairs
    KxAfmKernPair kernPairs[kAfmMaxKernPairs]; // first nKernPairs sorted by key, ascending
    KxAfmRect rcFontBBox;
    KxAfmCharMetrics charMetrics[kAfmCodes];
    std::int32_t bSerif;          // INF Serif
    std::int32_t bPi;             // INF Pi
    std::int32_t nPclTypefaceId;  // INF PCLTypefaceID
    std::int32_t nPclStyle;       // INF PCLStyle
    std::int32_t nPclStrokeWeight; // INF PCLStrokeWeight
    char szPclSymbolSet[3];       // always "9U"
};
using AfmMetrics = KxAfmMetrics;

// Reads an AFM file and, when `inf` is non-null, its INF companion into `m`.
// Both streams are read from their start to their end; the caller keeps and
// closes them. `source_path` (may be null) is copied into szSourcePath.
// Results: 0; 37 when the INF or the AFM file is longer than kAfmMaxFileBytes
// (the INF is checked first); 6 when a stream cannot be read; 11 when memory
// for a file image runs out. Malformed lines never fail: missing items read
// as 0 or empty.
int read_afm(std::FILE *afm, std::FILE *inf, const char *source_path, KxAfmMetrics &m);

// Resets `m` to its starting state: zeros, codes 32 to 255, weight 400,
// variable pitch, symbol set "9U", and the source path (cut to 79 characters).
void init_afm_metrics(KxAfmMetrics &m, const char *source_path);

// The same from file images already in memory; `inf` null means no INF file.
// The size limits apply as above.
int read_afm_bytes(std::span<const std::uint8_t> afm, const std::span<const std::uint8_t> *inf,
                   const char *source_path, KxAfmMetrics &m);

// Processes INF text into `m` (menu name, Serif, Pi, PCL values) and sets
// nFamily. Used by read_afm_bytes before the AFM text; exposed for tests.
void apply_inf_text(std::span<const std::uint8_t> inf, KxAfmMetrics &m);

// Average character width modes.
enum class AfmAverage : int {
    Ppds = 2,  // letter-frequency weighted average for PPDS metrics (u16 result)
    Plain = 3, // sum of all 256 widths (unsigned) / 256; a fixed-pitch font's space width
};
std::int32_t afm_average_width(const KxAfmMetrics &m, AfmAverage mode);

// The glyph-name table: 215 names with their code page 1252 codes.
struct GlyphName {
    std::uint8_t code;
    const char *name;
};
inline constexpr std::size_t kGlyphNames = 215;
extern const GlyphName kGlyphNameTable[kGlyphNames];

// Code of a glyph name; 0 when not listed. The first listed entry wins, so
// "circumflex" gives 94 and "tilde" 126.
int glyph_code(std::string_view name);

} // namespace kx::fonts
