// INF companion of an AFM file: the Windows menu name, the Serif and Pi
// flags that choose the Windows font family, and the PCL typeface values.
// Lines are "Keyword value"; unknown keywords (and VPStyle) are ignored.
#include <cstring>

#include "fonts/afm_reader.h"
#include "fonts/afm_text.h"

namespace kx::fonts {

namespace {

using afm_text::Cursor;

// "true" sets the flag, "false" clears it, anything else leaves it.
void read_flag(Cursor &c, std::int32_t &flag)
{
    std::string_view w = c.word(afm_text::kShortWord);
    if (w == "true") flag = 1;
    else if (w == "false") flag = 0;
}

// "(Menu Name)" gives the text inside the parentheses; any other value is
// taken as it stands to the end of the line.
void read_menu_name(Cursor &c, KxAfmMetrics &m)
{
    std::string_view v = c.rest();
    if (!v.empty() && v.front() == '(') {
        v.remove_prefix(1);
        v = v.substr(0, v.find(')'));
    }
    afm_text::copy_text(m.szMenuName, sizeof m.szMenuName, v);
}

} // namespace

void apply_inf_text(std::span<const std::uint8_t> inf, KxAfmMetrics &m)
{
    afm_text::Lines lines(inf);
    std::string_view line;
    while (lines.next(line)) {
        Cursor c(line);
        std::string_view key = c.word(afm_text::kLongWord);
        if (key == "MSMenuName") read_menu_name(c, m);
        else if (key == "Serif") read_flag(c, m.bSerif);
        else if (key == "Pi") read_flag(c, m.bPi);
        else if (key == "PCLTypefaceID") m.nPclTypefaceId = c.number();
        else if (key == "PCLStyle") m.nPclStyle = c.number();
        else if (key == "PCLStrokeWeight") m.nPclStrokeWeight = c.number();
    }
    m.nFamily = m.bPi ? 80 : m.bSerif ? 16 : 32;
}

} // namespace kx::fonts
