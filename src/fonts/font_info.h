// Helpers around the public font record KxFontInfo: the field writers that
// cut text to the field, the memory estimates, and the PCM name list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kxapi.h"

namespace kx::fonts {

// Copies text into a fixed field, cut to the field's size minus one and
// NUL-terminated. The rest of the field is left as it was (zero after the
// record is cleared).
void set_text(char *field, std::size_t field_size, std::string_view text);

template <std::size_t N>
void set_text(char (&field)[N], std::string_view text)
{
    set_text(field, N, text);
}

// Estimated printer memory for a downloaded font of the given file size.
std::uint32_t memory_for_pfa(std::uint32_t file_size);   // size x 0.5172, truncated
std::uint32_t memory_for_pfb(std::uint32_t file_size);   // size x 1.1531, truncated
std::uint32_t memory_plus_header(std::uint32_t file_size); // PCL soft fonts and DLF: size + 320

// A value shown with one decimal as "W.T": W is the value rounded half up to
// a whole number; T is ten times what is left over, rounded half up, when the
// value lies above W, else 0 (10.4 shows 10.4, 10.6 shows 11.0).
struct Tenths {
    std::uint32_t whole;
    std::uint32_t tenth;
};
Tenths to_tenths(double value);

// Appends a node holding text at *tail (the null link that ends a list) and
// moves tail to the new node's link. False when out of memory (the list is
// unchanged).
bool append_name(KxFontName **&tail, std::string_view text);
// Releases every text and node of a list; null does nothing.
void free_name_list(KxFontName *head);

} // namespace kx::fonts
