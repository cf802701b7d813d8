// The font vocabulary built into the library: PCL symbol sets with their
// display names, the weight-and-posture code of a PCL font descriptor, and the
// PCL typeface numbers with their Windows font family and family name.
// All three are constant data; the look-ups never allocate except for the
// returned code text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx::fonts {

// One symbol-set row: the id as formatted from a PCL symbol-set word
// ("%d%c" of word >> 5 and (word & 31) + 64) and its display name.
struct SymbolSetRow {
    const char *id;
    const char *name;
};

inline constexpr std::size_t kSymbolSetRows = 61;
extern const std::array<SymbolSetRow, kSymbolSetRows> kSymbolSets;

// Display name of the first row whose id equals `id` exactly; nullptr when the
// id is not listed. The returned text is static.
const char *symbol_set_name(std::string_view id);

// Weight-and-posture code of a PCL font descriptor, at most four characters:
// a weight part from the signed stroke weight (-7..7; 0 or out of range gives
// none), then a posture part from style & 3 (1 "It" unless `font_name`
// contains "Italic", 2 "Al", 0 and 3 none). `font_name` is the descriptor's
// 16 name bytes; the search stops at the first NUL.
std::string weight_posture_code(std::int8_t stroke_weight, std::uint8_t style, std::string_view font_name);

// PCL typeface numbers 0 to 139 have a table entry (some of them empty).
inline constexpr unsigned kTypefaceEntries = 140;

// Windows font family values given by the class letter of a typeface entry.
inline constexpr int kFamilyDontCare = 0x00;
inline constexpr int kFamilyRoman = 0x10;      // "R"
inline constexpr int kFamilySwiss = 0x20;      // "W"
inline constexpr int kFamilyModern = 0x30;     // "M"
inline constexpr int kFamilyScript = 0x40;     // "S"
inline constexpr int kFamilyDecorative = 0x50; // "D"

struct TypefaceEntry {
    char class_letter;  // 'R', 'W', 'M', 'S' or 'D'
    const char *family; // family name, static text
    int windows_family; // kFamily* value of the class letter
};

// The raw table text of typeface `number`: "" for an empty entry or a number
// above 139, else class letter, ",", family name (for example "W,Helv").
const char *typeface_text(unsigned number);

// The entry of typeface `number`; none for an empty entry or a number above 139.
std::optional<TypefaceEntry> typeface_entry(unsigned number);

// Windows font family value of a class letter; 0 for any other letter.
int windows_family_of(char class_letter);

} // namespace kx::fonts
