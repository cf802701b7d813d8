// Line and word scanning shared by the AFM and INF readers. Both formats are
// plain text read whole into memory; these helpers walk that image without
// ever forming a pointer past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kx::fonts::afm_text {

inline constexpr std::size_t kMaxLine = 255;  // longer lines are cut, their rest skipped
inline constexpr std::size_t kShortWord = 15; // character-metrics keys, true/false words
inline constexpr std::size_t kGlyphWord = 31; // glyph names of character metrics
inline constexpr std::size_t kLongWord = 79;  // everything else

// Lines of a text image. Leading blanks, tabs, CR and LF are skipped (so blank
// lines vanish); a line then runs to the next CR or LF, is cut at 255
// characters and at an embedded NUL. One line can be given back and is then
// returned again by the next call.
class Lines {
public:
    explicit Lines(std::span<const std::uint8_t> text) : text_(text) {}

    // The next line, or false at the end of the text. The view stays valid
    // as long as the text image.
    bool next(std::string_view &line);
    void give_back() { given_back_ = have_last_; }

private:
    std::span<const std::uint8_t> text_;
    std::size_t pos_ = 0;
    std::string_view last_;
    bool have_last_ = false;
    bool given_back_ = false;
};

// A cursor over one line.
class Cursor {
public:
    explicit Cursor(std::string_view line) : s_(line) {}

    void skip_blanks();
    // Skips blanks, then one character (normally the ";" ending an item).
    void skip_item_end();
    // Skips up to and past the next ';' (or to the end of the line).
    void skip_past_semicolon();
    // The next word: after blanks and tabs, up to a blank, a tab or the end;
    // a ';' ends the word and stays part of it. The whole word is consumed;
    // the result holds at most `max` characters of it.
    std::string_view word(std::size_t max);
    // After blanks and tabs: an optional '-', then decimal digits. A fraction
    // ('.' and digits) is consumed and dropped. No digits read as 0;
    // overlong values wrap rather than overflow.
    std::int32_t number();
    // A hexadecimal number (letters of either case), optionally written
    // "<hex>" as AFM files spell hexadecimal codes.
    std::int32_t hex_number();
    // ItalicAngle: the value times 10, truncated toward zero, as a signed
    // 16-bit value.
    std::int16_t tenths();
    // The rest of the line after blanks and tabs.
    std::string_view rest();

private:
    bool at(char c) const { return i_ < s_.size() && s_[i_] == c; }
    std::string_view s_;
    std::size_t i_ = 0;
};

// Copies at most dst_size - 1 characters and terminates.
void copy_text(char *dst, std::size_t dst_size, std::string_view src);

} // namespace kx::fonts::afm_text
