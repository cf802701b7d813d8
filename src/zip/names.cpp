#include "zip/names.h"

#include "platform/path.h"

namespace kx::zip {

namespace {

// Matches one character against the set starting after '['. Sets `end` to
// the index after the closing ']'; false for an unclosed or empty set.
bool match_set(std::string_view pat, std::size_t start, char ch, std::size_t &end, bool &matched)
{
    std::size_t i = start;
    bool negate = false;
    if (i < pat.size() && (pat[i] == '!' || pat[i] == '^')) {
        negate = true;
        ++i;
    }
    bool hit = false;
    bool any = false;
    while (i < pat.size() && pat[i] != ']') {
        char lo = pat[i];
        if (lo == '\\' && i + 1 < pat.size()) lo = pat[++i];
        ++i;
        char hi = lo;
        if (i + 1 < pat.size() && pat[i] == '-' && pat[i + 1] != ']') {
            hi = pat[i + 1];
            i += 2;
            if (hi == '\\' && i < pat.size()) hi = pat[i++];
        }
        const unsigned char a = static_cast<unsigned char>(lo), b = static_cast<unsigned char>(hi);
        const unsigned char c = static_cast<unsigned char>(ch);
        if ((a <= c && c <= b) || (b <= c && c <= a)) hit = true;
        any = true;
    }
    if (i >= pat.size() || !any) return false;
    end = i + 1;
    matched = hit != negate;
    return true;
}

} // namespace

bool pattern_match(std::string_view pat, std::string_view name)
{
    std::size_t p = 0, n = 0;
    while (p < pat.size()) {
        const char c = pat[p];
        if (c == '*') {
            std::string_view rest = pat.substr(p + 1);
            if (rest.empty()) return true;
            const char next = rest[0];
            for (std::size_t i = n; i <= name.size(); ++i) {
                if (next != '[' && (i == name.size() || name[i] != next)) continue;
                if (pattern_match(rest, name.substr(i))) return true;
            }
            return false;
        }
        if (n >= name.size()) return false;
        if (c == '?') {
            ++p;
            ++n;
        } else if (c == '[') {
            std::size_t end = 0;
            bool hit = false;
            if (!match_set(pat, p + 1, name[n], end, hit) || !hit) return false;
            p = end;
            ++n;
        } else {
            if (platform::ascii_lower(c) != platform::ascii_lower(name[n])) return false;
            ++p;
            ++n;
        }
    }
    return n == name.size();
}

MappedName map_member_name(std::string_view name)
{
    MappedName m;
    std::vector<std::string> parts;
    std::string part;
    bool literal = false, in_angle = false, in_square = false;
    for (const char ch : name) {
        const unsigned char u = static_cast<unsigned char>(ch);
        if (literal) {
            literal = false;
            // Even a literal separator or NUL cannot be part of a file name.
            if (ch != '/' && ch != '\\' && ch != '\0') part += ch;
            continue;
        }
        if (in_angle) {
            in_angle = ch != '>';
            continue;
        }
        if (in_square) {
            in_square = ch != ']';
            continue;
        }
        if (ch == '/' || ch == '\\') {
            parts.push_back(std::move(part));
            part.clear();
            continue;
        }
        if (ch == ';') break;
        if (ch == ':') {
            part += '_';
        } else if (ch == '<') {
            in_angle = true;
        } else if (ch == '[') {
            in_square = true;
        } else if (u == 0x16) {
            literal = true;
        } else if (u < 0x20 || u == 0x7F || u == 0xFF) {
            // control characters are dropped
        } else {
            part += ch;
        }
    }
    m.directory_entry = !name.empty() && name.back() == '/';
    // A first part that maps to nothing, with more parts after it, would
    // make an absolute path: leading separators are not a way out.
    if (!parts.empty() && parts.front().empty()) m.refused = true;
    for (auto &p : parts) {
        if (p == "..") m.refused = true;
        if (p.empty() || p == ".") continue;
        m.dirs.push_back(std::move(p));
    }
    if (part == "..") m.refused = true;
    m.file = std::move(part);
    for (const auto &d : m.dirs) {
        m.path += d;
        m.path += '/';
    }
    m.path += m.file;
    return m;
}

} // namespace kx::zip
