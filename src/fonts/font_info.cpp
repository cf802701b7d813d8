// Field writers, memory estimates and the PCM name list of KxFontInfo.
#include "fonts/font_info.h"

#include <cmath>
#include <cstring>

#include "api/memory.h"

namespace kx::fonts {

void set_text(char *field, std::size_t field_size, std::string_view text)
{
    if (field_size == 0) return;
    std::size_t n = text.size() < field_size - 1 ? text.size() : field_size - 1;
    if (n) std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

// The estimates are the file size times a factor for the font's packing,
// truncated toward zero.
std::uint32_t memory_for_pfa(std::uint32_t file_size)
{
    return static_cast<std::uint32_t>(static_cast<double>(file_size) * 0.5172);
}

std::uint32_t memory_for_pfb(std::uint32_t file_size)
{
    double v = static_cast<double>(file_size) * 1.1531;
    return v >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(v);
}

std::uint32_t memory_plus_header(std::uint32_t file_size)
{
    return file_size > 0xFFFFFFFFu - 320 ? 0xFFFFFFFFu : file_size + 320;
}

Tenths to_tenths(double value)
{
    if (!(value > 0)) return {0, 0};
    double whole = std::floor(value + 0.5);
    if (whole >= 4294967295.0) return {0xFFFFFFFFu, 0};
    Tenths t{static_cast<std::uint32_t>(whole), 0};
    if (value - whole > 0) t.tenth = static_cast<std::uint32_t>(std::floor(10.0 * (value - whole) + 0.5));
    return t;
}

bool append_name(KxFontName **&tail, std::string_view text)
{
    auto *node = static_cast<KxFontName *>(caller_calloc(sizeof(KxFontName)));
    if (!node) return false;
    auto *copy = static_cast<char *>(caller_alloc(text.size() + 1));
    if (!copy) {
        caller_free(node);
        return false;
    }
    if (!text.empty()) std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    node->pszText = copy;
    node->pNext = nullptr;
    *tail = node;
    tail = &node->pNext;
    return true;
}

void free_name_list(KxFontName *head)
{
    while (head) {
        KxFontName *next = head->pNext;
        caller_free(head->pszText);
        caller_free(head);
        head = next;
    }
}

} // namespace kx::fonts
