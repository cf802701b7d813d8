// Constant tables of the font vocabulary and their look-ups.
#include "fonts/font_tables.h"

#include <cstring>

namespace kx::fonts {

// Ordered as the library has always listed them; ids are unique, names not
// ("Line Draw-7" names two ids).
const std::array<SymbolSetRow, kSymbolSetRows> kSymbolSets = {{
    {"7J", "DeskTop"},
    {"0N", "ISO 8859-1 Latin 1"},
    {"1E", "ISO  4: United Kingdom"},
    {"0U", "ISO  6: ASCII"},
    {"3S", "ISO 10: Swedish"},
    {"0S", "ISO 11: Swedish Names"},
    {"0K", "ISO 14: JIS ASCII"},
    {"0I", "ISO 15: Italian"},
    {"4S", "ISO 16: Portugese"},
    {"2S", "ISO 17: Spanish"},
    {"1G", "ISO 21: German"},
    {"0F", "ISO 25: French"},
    {"2K", "ISO 57: Chinese"},
    {"0D", "ISO 60: Norwegian v1"},
    {"1D", "ISO 61: Norwegian v2"},
    {"1F", "ISO 69: French"},
    {"5S", "ISO 84: Portugese"},
    {"6S", "ISO 85: Spanish"},
    {"1U", "Legal"},
    {"8M", "Math-8"},
    {"10U", "PC-8"},
    {"11U", "PC-8 D/N"},
    {"9T", "PC-8 Turkish"},
    {"12U", "PC-850"},
    {"17U", "PC-852"},
    {"10L", "PS ITC Zapf Dingbats"},
    {"5M", "PS Math"},
    {"10J", "PS Text"},
    {"8U", "Roman-8"},
    {"9U", "Windows 3.0 Latin 1"},
    {"19U", "Windows 3.1 Latin 1"},
    {"9E", "Windows 3.1 Latin 2"},
    {"5T", "Windows 3.1 Latin 5"},
    {"0G", "German"},
    {"1S", "Spanish"},
    {"16Q", "Ink Jet"},
    {"2U", "ISO  2: International Ref."},
    {"2N", "ISO 8859-2 Latin 2"},
    {"5N", "ISO 8859-9 Latin 5"},
    {"11L", "ITC Zapf Dingbats S100"},
    {"12L", "ITC Zapf Dingbats S200"},
    {"13L", "ITC Zapf Dingbats S300"},
    {"0B", "Line Draw-7"},
    {"0L", "Line Draw-7"},
    {"8L", "Line Draw-8"},
    {"12J", "MC Text"},
    {"6J", "Microsoft Publishing"},
    {"15U", "Pi Font"},
    {"22R", "Postscript"},
    {"0E", "Roman Extensions"},
    {"19M", "Symbol"},
    {"13J", "Ventura International"},
    {"9L", "Ventura ITC Zapf Dingbats"},
    {"6M", "Ventura Math"},
    {"14J", "Ventura US"},
    {"19L", "Windows Baltic"},
    {"9G", "Windows Greek"},
    {"9R", "Windows Cyrillic"},
    {"9H", "Windows Hebrew"},
    {"9V", "Windows Arabic"},
    {"579L", "Wingdings"},
}};

const char *symbol_set_name(std::string_view id)
{
    for (const SymbolSetRow &row : kSymbolSets)
        if (id == row.id) return row.name;
    return nullptr;
}

namespace {

// Weight part by stroke weight + 7 (-7..7).
constexpr const char *kWeightParts[15] = {"Ut", "Et", "Tn", "Xl", "Lt", "Dl", "Sl", "",
                                          "Sb", "Db", "Bd", "Xb", "Bk", "Ek", "Uk"};

// Typeface table by PCL typeface number: class letter, ",", family name, or
// empty. Unused numbers are empty.
constexpr const char *kTypefaces[kTypefaceEntries] = {
    "M,LinePrinter", "M,Pica", "M,Elite", "M,Courier", "W,Helv",                       // 0-4
    "R,Tms Rmn", "M,Letter Gothic", "S,Script", "M,Prestige Elite", "R,Caslon",       // 5-9
    "M,Orator", "M,Presentations", "W,Helv Condensed", "R,Serifa", "W,Futura",        // 10-14
    "R,Palatino", "R,ITC Souvenir", "W,Optima", "R,ITC Garamond", "D,Cooper Black",   // 15-19
    "S,Coronet", "D,Broadway", "R,Bodoni Condensed", "R,Century Schoolbook",          // 20-23
    "D,University Roman", "W,Helv Outline", "W,Futura Condensed", "R,ITC Korinna",    // 24-27
    "", "D,Cloister Black", "R,ITC Galliard", "W,ITC Avant Garde",                    // 28-31
    "S,Brush Script", "W,Blippo", "D,Hobo", "R,Windsor", "W,Helv Compressed",         // 32-36
    "W,Helv Extra Comp", "W,Peignot", "R,Baskerville", "R,ITC Garamond Cond",         // 37-40
    "W,News Gothic", "R,Goudy", "S,ITC Zapf Chancery", "R,Clarendon",                 // 41-44
    "D,ITC Zapf Dingbats", "R,Bitstream Cooper", "R,ITC Bookman", "", "", "",         // 45-50
    "W,Gill Sans", "W,Univers", "R,Bodoni", "R,Rockwell", "R,Melior",                 // 51-55
    "R,ITC Tiffany", "R,ITC Clearface", "D,Amelia", "S,Park Avenue",                  // 56-59
    "D,Handel Gothic", "D,Dom Casual", "R,ITC Benguiat", "R,ITC Cheltenham",          // 60-63
    "R,Century Expanded", "W,Franklin Gothic", "W,Franklin Gothic Condensed",         // 64-66
    "W,Franklin Gothic Ex Cond", "R,Plantin", "R,Trump Mediaeval", "D,Futura Black",  // 67-70
    "", "", "W,Uncial", "", "", "", "",                                               // 71-77
    "R,ITC Lubalin Graph", "W,Eurostile", "", "", "", "", "", "W,Univers Cond",       // 78-85
    "", "", "", "", "", "", "", "", "", "",                                           // 86-95
    "", "", "", "", "", "", "", "", "", "",                                           // 96-105
    "", "", "", "", "", "", "", "", "", "",                                           // 106-115
    "", "", "", "", "", "", "", "", "", "",                                           // 116-125
    "", "", "", "", "", "", "", "", "", "",                                           // 126-135
    "R,Bitstream Charter", "R,Symbol A Prop Serif", "M,Symbol A Mono Sans Serif",     // 136-138
    "R,Bitstream Amerigo",                                                            // 139
};

} // namespace

std::string weight_posture_code(std::int8_t stroke_weight, std::uint8_t style, std::string_view font_name)
{
    std::string code;
    if (stroke_weight >= -7 && stroke_weight <= 7) code = kWeightParts[stroke_weight + 7];
    switch (style & 3) {
    case 1: {
        std::string_view name = font_name.substr(0, font_name.find('\0'));
        if (name.find("Italic") == std::string_view::npos) code += "It";
        break;
    }
    case 2:
        code += "Al";
        break;
    default:
        break;
    }
    return code;
}

const char *typeface_text(unsigned number)
{
    return number < kTypefaceEntries ? kTypefaces[number] : "";
}

int windows_family_of(char class_letter)
{
    switch (class_letter) {
    case 'R': return kFamilyRoman;
    case 'W': return kFamilySwiss;
    case 'M': return kFamilyModern;
    case 'S': return kFamilyScript;
    case 'D': return kFamilyDecorative;
    default: return kFamilyDontCare;
    }
}

std::optional<TypefaceEntry> typeface_entry(unsigned number)
{
    const char *text = typeface_text(number);
    if (text[0] == '\0' || text[1] != ',') return std::nullopt;
    return TypefaceEntry{text[0], text + 2, windows_family_of(text[0])};
}

} // namespace kx::fonts
