// Line and word scanning for the AFM and INF readers.
#include "fonts/afm_text.h"

#include <algorithm>
#include <cstring>

namespace kx::fonts::afm_text {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_line_end(std::uint8_t c) { return c == '\r' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

bool Lines::next(std::string_view &line)
{
    if (given_back_) {
        given_back_ = false;
        line = last_;
        return true;
    }
    const std::size_t n = text_.size();
    while (pos_ < n && (is_blank(static_cast<char>(text_[pos_])) || is_line_end(text_[pos_]))) ++pos_;
    if (pos_ >= n) {
        have_last_ = false;
        return false;
    }
    std::size_t start = pos_;
    while (pos_ < n && !is_line_end(text_[pos_])) ++pos_;
    std::size_t len = std::min(pos_ - start, kMaxLine);
    const char *p = reinterpret_cast<const char *>(text_.data() + start);
    const void *nul = std::memchr(p, '\0', len);
    if (nul) len = static_cast<std::size_t>(static_cast<const char *>(nul) - p);
    last_ = std::string_view(p, len);
    have_last_ = true;
    line = last_;
    return true;
}

void Cursor::skip_blanks()
{
    while (i_ < s_.size() && is_blank(s_[i_])) ++i_;
}

void Cursor::skip_item_end()
{
    skip_blanks();
    if (i_ < s_.size()) ++i_;
}

void Cursor::skip_past_semicolon()
{
    while (i_ < s_.size() && s_[i_] != ';') ++i_;
    if (i_ < s_.size()) ++i_;
}

std::string_view Cursor::word(std::size_t max)
{
    skip_blanks();
    std::size_t start = i_;
    while (i_ < s_.size() && !is_blank(s_[i_])) {
        if (s_[i_++] == ';') break;
    }
    return s_.substr(start, std::min(i_ - start, max));
}

std::int32_t Cursor::number()
{
    skip_blanks();
    bool negative = at('-');
    if (negative) ++i_;
    std::uint32_t v = 0;
    while (i_ < s_.size() && is_digit(s_[i_])) v = v * 10u + static_cast<std::uint32_t>(s_[i_++] - '0');
    if (at('.')) {
        ++i_;
        while (i_ < s_.size() && is_digit(s_[i_])) ++i_;
    }
    if (negative) v = 0u - v;
    return static_cast<std::int32_t>(v);
}

std::int32_t Cursor::hex_number()
{
    skip_blanks();
    bool bracketed = at('<');
    if (bracketed) ++i_;
    std::uint32_t v = 0;
    int d;
    while (i_ < s_.size() && (d = hex_value(s_[i_])) >= 0) {
        v = v * 16u + static_cast<std::uint32_t>(d);
        ++i_;
    }
    if (bracketed && at('>')) ++i_;
    return static_cast<std::int32_t>(v);
}

std::int16_t Cursor::tenths()
{
    skip_blanks();
    bool negative = at('-');
    if (negative) ++i_;
    std::uint32_t whole = 0;
    while (i_ < s_.size() && is_digit(s_[i_])) whole = whole * 10u + static_cast<std::uint32_t>(s_[i_++] - '0');
    std::uint32_t tenth = 0;
    if (at('.')) {
        ++i_;
        if (i_ < s_.size() && is_digit(s_[i_])) tenth = static_cast<std::uint32_t>(s_[i_] - '0');
        while (i_ < s_.size() && is_digit(s_[i_])) ++i_;
    }
    // Truncating value x 10 keeps the whole part and the first fraction digit.
    std::uint32_t v = whole * 10u + tenth;
    if (negative) v = 0u - v;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
}

std::string_view Cursor::rest()
{
    skip_blanks();
    std::string_view r = s_.substr(i_);
    i_ = s_.size();
    return r;
}

void copy_text(char *dst, std::size_t dst_size, std::string_view src)
{
    if (dst_size == 0) return;
    std::size_t n = std::min(src.size(), dst_size - 1);
    if (n) std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

} // namespace kx::fonts::afm_text
