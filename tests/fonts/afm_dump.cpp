// Prints what the AFM reader makes of a file, as JSON, for the comparison
// with an independent AFM parser (afm_compare.py).
//   afm_dump FILE.afm [FILE.inf]   the record
//   afm_dump --glyphs              the glyph-name table
#include <cstdio>
#include <cstring>
#include <memory>

#include "fonts/afm_reader.h"

namespace {

void print_string(const char *s)
{
    std::putchar('"');
    for (; *s; ++s) {
        unsigned char c = static_cast<unsigned char>(*s);
        if (c == '"' || c == '\\') std::printf("\\%c", c);
        else if (c < 0x20 || c >= 0x7F) std::printf("\\u%04x", c);
        else std::putchar(c);
    }
    std::putchar('"');
}

} // namespace

int main(int argc, char **argv)
{
    using namespace kx::fonts;
    if (argc == 2 && std::strcmp(argv[1], "--glyphs") == 0) {
        std::printf("[");
        for (std::size_t i = 0; i < kGlyphNames; ++i) {
            std::printf("%s[", i ? "," : "");
            print_string(kGlyphNameTable[i].name);
            std::printf(",%d]", kGlyphNameTable[i].code);
        }
        std::printf("]\n");
        return 0;
    }
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: afm_dump FILE.afm [FILE.inf] | --glyphs\n");
        return 2;
    }
    std::FILE *afm = std::fopen(argv[1], "rb");
    std::FILE *inf = argc == 3 ? std::fopen(argv[2], "rb") : nullptr;
    if (!afm || (argc == 3 && !inf)) {
        std::fprintf(stderr, "cannot open input\n");
        return 2;
    }
    auto m = std::make_unique<KxAfmMetrics>();
    int rc = read_afm(afm, inf, argv[1], *m);
    std::fclose(afm);
    if (inf) std::fclose(inf);
    std::printf("{\"result\":%d,\"FontName\":", rc);
    print_string(m->szFontName);
    std::printf(",\"MenuName\":");
    print_string(m->szMenuName);
    std::printf(",\"nWeight\":%d,\"nItalicAngle\":%d,\"bVariablePitch\":%d,\"nCharSet\":%d,\"nFamily\":%d",
                m->nWeight, m->nItalicAngle, m->bVariablePitch, m->nCharSet, m->nFamily);
    std::printf(",\"nAvgWidth\":%d,\"nMaxWidth\":%d,\"nPpdsAvgWidth\":%d,\"nCharLines\":%d", m->nAvgWidth,
                m->nMaxWidth, afm_average_width(*m, AfmAverage::Ppds), m->nCharLines);
    std::printf(",\"nUnderlinePos\":%d,\"nUnderlineThick\":%d,\"nCapHeight\":%d,\"nAscender\":%d,\"nDescender\":%d",
                m->nUnderlinePos, m->nUnderlineThick, m->nCapHeight, m->nAscender, m->nDescender);
    std::printf(",\"rcFontBBox\":[%d,%d,%d,%d]", m->rcFontBBox.left, m->rcFontBBox.top, m->rcFontBBox.right,
                m->rcFontBBox.bottom);
    std::printf(",\"charMetrics\":[");
    for (int c = 0; c < kAfmCodes; ++c) {
        const KxAfmCharMetrics &cm = m->charMetrics[c];
        std::printf("%s[%d,%d,%d,%d,%d]", c ? "," : "", cm.left, cm.top, cm.right, cm.bottom, cm.width);
    }
    std::printf("],\"kernPairs\":[");
    for (int i = 0; i < m->nKernPairs; ++i)
        std::printf("%s[%u,%d]", i ? "," : "", m->kernPairs[i].wKey, m->kernPairs[i].sAmount);
    std::printf("]}\n");
    return 0;
}
