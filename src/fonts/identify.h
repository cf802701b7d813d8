// Font identification: what kind of font file a path names, described in a
// KxFontInfo. Also the path helpers every font family uses for companion and
// output names.
#pragma once

#include <string>
#include <string_view>

#include "kxapi.h"

namespace kx::fonts {

// The path with the text after the last "." of its last component (components
// end at "\", "/" or ":") replaced by ext; when ext begins with "." the old
// dot goes too. Without a "." in the last component ext is appended as given
// ("FONT" + "PFM" gives "FONTPFM", "FONT" + ".PFM" gives "FONT.PFM").
std::string replace_extension(std::string_view path, std::string_view ext);

// The base name shown for formats that carry no name: the text after the
// last separator up to the first ".", restarted after any ":".
std::string font_base_name(std::string_view path);

// The text after the last "." of the whole path, cut to three characters and
// upper-cased; empty when there is none.
std::string font_extension(std::string_view path);

// Companion lookups: the path of a companion with the given extension as it
// exists beside the font (matching its name whatever the case), or the
// composed name when there is none.
std::string companion_path(std::string_view path, std::string_view ext);

// The work of KxFonQueryInfo once info is known to be non-null. Zeroes the
// record first; returns a result code.
int query_font_info(const char *path, KxFontInfo &info, int query_mode, bool include_metrics);

} // namespace kx::fonts
