// Type 1 font names: the "/FontName /" line of a PFA file and the byte scan
// of a PFB file's clear text.
#include "fonts/type1_names.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace kx::fonts {

namespace {

constexpr std::string_view kPfaPrefix = "/FontName /";
constexpr std::string_view kFontNameKey = "FontName /";
constexpr std::string_view kEncodingKey = "Encoding ";
constexpr std::string_view kStandardEncoding = "StandardEncoding";
// Line buffer of the PFA reader (255 characters and the terminator).
constexpr int kPfaLine = 256;
// Bytes tested after each "/" in a PFB file (39 and the terminator).
constexpr int kPfbChunk = 40;

// PFB segment header: 0x80, a type (1 ASCII, 2 binary, 3 end), u32le length.
constexpr int kSegmentMarker = 0x80;
constexpr int kSegmentAscii = 1;
constexpr int kSegmentBinary = 2;

bool ends_name(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\0'; }

// Bytes of a PFB font as the scan sees them: the contents of its ASCII
// segments one after the other, or the whole stream for an unsegmented file.
class PfbBytes {
public:
    explicit PfbBytes(std::FILE *fp) : fp_(fp)
    {
        long start = std::ftell(fp);
        if (start >= 0 && std::fseek(fp, 0, SEEK_END) == 0) {
            long end = std::ftell(fp);
            if (end >= start) file_size_ = static_cast<std::uint64_t>(end);
            std::fseek(fp, start, SEEK_SET);
            pos_ = static_cast<std::uint64_t>(start);
        }
        int c = std::fgetc(fp);
        if (c == EOF) {
            done_ = true;
            return;
        }
        std::ungetc(c, fp);
        segmented_ = c == kSegmentMarker;
    }

    // The next byte, or EOF at the end of the font.
    int next()
    {
        if (done_) return EOF;
        if (segmented_) {
            while (left_ == 0)
                if (!next_segment()) return EOF;
            --left_;
        }
        int c = std::fgetc(fp_);
        if (c == EOF) {
            done_ = true;
            return EOF;
        }
        ++pos_;
        return c;
    }

private:
    // Moves to the next ASCII segment, skipping binary ones.
    bool next_segment()
    {
        for (;;) {
            std::uint8_t h[6];
            if (std::fread(h, 1, 6, fp_) != 6 || h[0] != kSegmentMarker) return finish();
            pos_ += 6;
            std::uint64_t len = std::uint64_t(h[2]) | std::uint64_t(h[3]) << 8 | std::uint64_t(h[4]) << 16 |
                                std::uint64_t(h[5]) << 24;
            // A length beyond the end of the file ends the font rather than
            // sending the scan through whatever follows.
            if (len > file_size_ - (pos_ < file_size_ ? pos_ : file_size_)) return finish();
            if (h[1] == kSegmentAscii) {
                if (len == 0) continue;
                left_ = len;
                return true;
            }
            if (h[1] != kSegmentBinary || std::fseek(fp_, static_cast<long>(len), SEEK_CUR) != 0) return finish();
            pos_ += len;
        }
    }
    bool finish()
    {
        done_ = true;
        return false;
    }

    std::FILE *fp_;
    std::uint64_t file_size_ = 0;
    std::uint64_t pos_ = 0;
    std::uint64_t left_ = 0;
    bool segmented_ = false;
    bool done_ = false;
};

} // namespace

std::string pfa_font_name(std::FILE *fp)
{
    char line[kPfaLine];
    while (std::fgets(line, kPfaLine, fp)) {
        if (std::strncmp(line, kPfaPrefix.data(), kPfaPrefix.size()) != 0) continue;
        const char *p = line + kPfaPrefix.size();
        std::size_t n = 0;
        while (!ends_name(p[n])) ++n;
        return std::string(p, n);
    }
    return {};
}

std::string inf_menu_name(std::FILE *fp)
{
    constexpr int kInfLine = 128;
    constexpr std::string_view kMenuKey = "MSMenuName ";
    constexpr std::string_view kStyleKey = "VPStyle ";
    std::string name;
    bool bold = false, italic = false;
    char line[kInfLine];
    while (std::fgets(line, kInfLine, fp)) {
        std::string_view text(line);
        if (text.starts_with(kMenuKey)) {
            name.clear();
            std::size_t open = text.find('(');
            if (open == std::string_view::npos) continue;
            std::size_t end = text.find_first_of(")\r\n", open + 1);
            name.assign(text.substr(open + 1, end == std::string_view::npos ? end : end - open - 1));
        } else if (text.starts_with(kStyleKey)) {
            std::size_t open = text.find('(');
            char style = open != std::string_view::npos && open + 1 < text.size() ? text[open + 1] : '\0';
            bold = style == 'B' || style == 'T';
            italic = style == 'I' || style == 'T';
        }
    }
    if (!name.empty()) {
        if (bold) name += "BOLD";
        if (italic) name += "ITALIC";
    }
    return name;
}

PfbNames pfb_names(std::FILE *fp)
{
    PfbNames out;
    bool saw_encoding = false;
    PfbBytes bytes(fp);
    for (int c; (c = bytes.next()) != EOF;) {
        if (c != '/') continue;
        // The chunk after the slash: up to 39 bytes, ending after a line end.
        char chunk[kPfbChunk];
        int n = 0;
        while (n < kPfbChunk - 1) {
            int b = bytes.next();
            if (b == EOF) break;
            chunk[n++] = static_cast<char>(b);
            if (b == '\n') break;
        }
        std::string_view text(chunk, static_cast<std::size_t>(n));
        std::size_t at = 0;
        if (text.starts_with(kFontNameKey)) {
            std::size_t start = kFontNameKey.size();
            std::size_t end = start;
            while (end < text.size() && !ends_name(text[end])) ++end;
            if (out.font_name.empty()) out.font_name.assign(text.substr(start, end - start));
            at = end;
        }
        std::string_view rest = text.substr(at);
        if (rest.starts_with(kEncodingKey)) {
            saw_encoding = true;
            out.standard_encoding = rest.substr(kEncodingKey.size()).find(kStandardEncoding) != std::string_view::npos;
        }
        if (!out.font_name.empty() && saw_encoding) break;
    }
    return out;
}

} // namespace kx::fonts
