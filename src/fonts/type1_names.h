// Font names of PostScript Type 1 fonts, read from the clear-text header of
// the ASCII (PFA) and binary (PFB) forms, and the menu name of the INF file
// beside an AFM.
#pragma once

#include <cstdio>
#include <string>

namespace kx::fonts {

// The name of the first line beginning "/FontName /" of a PFA stream (lines
// read 255 characters at a time): the text after that prefix up to a space
// or the line end. Empty when there is none.
std::string pfa_font_name(std::FILE *fp);

struct PfbNames {
    std::string font_name;          // after "/FontName /"; empty when absent
    bool standard_encoding = false; // an "/Encoding" entry naming StandardEncoding
};

// Scans a PFB stream for its font name and encoding. In a segmented file
// (0x80, type, u32 length) only the ASCII segments are scanned; binary
// segments are skipped unread, and a segment longer than what is left of
// the file ends the font. A file without segment headers is scanned as it
// is. The scan stops once both the name and the encoding were seen.
PfbNames pfb_names(std::FILE *fp);

// The menu name of an INF stream (lines read 127 characters at a time): the
// text in parentheses of the last "MSMenuName " line, followed by "BOLD"
// and/or "ITALIC" when a "VPStyle " line says (B), (I) or (T).
std::string inf_menu_name(std::FILE *fp);

} // namespace kx::fonts
