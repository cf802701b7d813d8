// The INI engine: loading, the section index, look-ups, changes and write-back.
#include "config/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "api/path_arg.h"
#include "platform/file.h"
#include "platform/path.h"

namespace kx::config {

namespace {

const char *mode_string(int mode)
{
    switch (mode) {
    case kIniModeRead: return "r";
    case kIniModeReadWrite: return "r+";
    case kIniModeTruncate: return "w+";
    case kIniModeAppend: return "a+";
    default: return nullptr;
    }
}

// A node ready to be linked; owns the node until then.
IniLinePtr make_line(std::string_view text) { return IniLinePtr(IniLine::create(text)); }

void note_length(KxIniHandle &h, const IniLine &line)
{
    std::uint64_t n = std::uint64_t(line.len) + 1;
    if (n > h.longest) h.longest = n;
}

// Adds a header line to the index (may throw; nothing changed then).
void index_add(KxIniHandle &h, IniLine *line)
{
    auto it = h.headers.find(line->text());
    if (it == h.headers.end()) it = h.headers.emplace(std::string(line->text()), std::vector<IniLine *>{}).first;
    try {
        it->second.push_back(line);
    } catch (...) {
        if (it->second.empty()) h.headers.erase(it);
        throw;
    }
}

void index_remove(KxIniHandle &h, IniLine *line) noexcept
{
    auto it = h.headers.find(line->text());
    if (it == h.headers.end()) return;
    auto &v = it->second;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == line) {
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    if (v.empty()) h.headers.erase(it);
}

// Links a prepared node after `after`; never throws.
IniLine *link_after(KxIniHandle &h, IniLine *after, IniLinePtr line) noexcept
{
    IniLine *n = line.release();
    n->prev = after;
    n->next = after->next;
    if (after->next) after->next->prev = n;
    after->next = n;
    if (h.tail == after) h.tail = n;
    ++h.count;
    note_length(h, *n);
    return n;
}

// Inserts a line after `after`, indexing it when it is a header.
IniLine *insert_after(KxIniHandle &h, IniLine *after, std::string_view text)
{
    auto line = make_line(text);
    if (line->is_header()) index_add(h, line.get());
    return link_after(h, after, std::move(line));
}

void unlink_line(KxIniHandle &h, IniLine *line) noexcept
{
    if (line->is_header()) index_remove(h, line);
    // A continued search that would resume at this line resumes after it.
    if (h.cursor == line) h.cursor = line->next;
    line->prev->next = line->next;
    if (line->next) line->next->prev = line->prev;
    if (h.tail == line) h.tail = line->prev;
    --h.count;
    IniLine::destroy(line);
}

// Replaces a line's text (strong guarantee). The line is a new block in the
// old one's place: pointers to the old text become invalid.
void replace_text(KxIniHandle &h, IniLine *old, std::string_view text)
{
    IniLinePtr line = make_line(text);
    if (line->is_header()) index_add(h, line.get());
    if (old->is_header()) index_remove(h, old);
    IniLine *n = line.release();
    n->prev = old->prev;
    n->next = old->next;
    n->prev->next = n;
    if (n->next) n->next->prev = n;
    if (h.tail == old) h.tail = n;
    if (h.cursor == old) h.cursor = n;
    IniLine::destroy(old);
    // Longer texts raise the longest-line figure that callers size buffers from.
    note_length(h, *n);
}

std::string entry_text(std::string_view key, std::string_view value)
{
    std::string t;
    t.reserve(key.size() + 1 + value.size());
    t.append(key);
    t.push_back('=');
    t.append(value);
    return t;
}

// Cuts a piece read from the file as the loader keeps it: trailing line
// feeds, then trailing blanks; blanks before the first '=' are removed.
// Returns false when the line is dropped (mode 1: comments, empty lines).
bool shape_line(std::string_view piece, bool read_mode, std::string &out)
{
    while (!piece.empty() && piece.back() == '\n') piece.remove_suffix(1);
    while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
    if (!piece.empty() && piece[0] == '[') {
        out.assign(piece);
        return true;
    }
    std::size_t eq = piece.find('=');
    if (eq != std::string_view::npos) {
        std::string_view key = piece.substr(0, eq);
        while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
        out = entry_text(key, piece.substr(eq + 1));
        return true;
    }
    if (read_mode && (piece.empty() || piece[0] == ';')) return false;
    out.assign(piece);
    return true;
}

bool read_stream(std::FILE *fp, std::vector<char> &data)
{
    char chunk[65536];
    for (;;) {
        std::size_t n = std::fread(chunk, 1, sizeof chunk, fp);
        data.insert(data.end(), chunk, chunk + n);
        if (n < sizeof chunk) break;
    }
    return !std::ferror(fp);
}

void load_lines(KxIniHandle &h, std::vector<char> &data, bool read_mode)
{
    // Text mode: a CR LF pair reads as one line feed.
    std::size_t w = 0;
    for (std::size_t r = 0; r < data.size(); ++r) {
        if (data[r] == '\r' && r + 1 < data.size() && data[r + 1] == '\n') continue;
        data[w++] = data[r];
    }
    data.resize(w);

    std::string text;
    std::size_t pos = 0;
    while (pos < data.size()) {
        // One read of the line buffer: up to and including a line feed, at
        // most kIniReadPiece characters; a longer line arrives in pieces.
        std::size_t limit = std::min(data.size() - pos, kIniReadPiece);
        const char *start = data.data() + pos;
        const void *nl = std::memchr(start, '\n', limit);
        std::size_t len = nl ? static_cast<std::size_t>(static_cast<const char *>(nl) - start) + 1 : limit;
        pos += len;
        // The buffer is a C string: a NUL byte ends the text.
        std::string_view piece(start, len);
        piece = piece.substr(0, piece.find('\0'));
        if (!shape_line(piece, read_mode, text)) continue;
        insert_after(h, h.tail, text);
    }
}

// The file a handle writes back to: symbolic links are followed so that the
// link stays and its target is replaced.
std::string write_target(const std::string &path)
{
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf)) return buf;
    return path;
}

} // namespace

std::uint32_t ini_key_hash(std::string_view s) noexcept
{
    std::uint32_t x = 2166136261u;  // FNV-1a over the lower-cased bytes
    for (char c : s) x = (x ^ static_cast<unsigned char>(platform::ascii_lower(c))) * 16777619u;
    return x;
}

IniLine *IniLine::create(std::string_view t)
{
    if (t.size() >= npos) throw std::bad_alloc();
    void *mem = ::operator new(sizeof(IniLine) + t.size() + 1);
    auto *line = new (mem) IniLine;
    char *text = reinterpret_cast<char *>(line + 1);
    if (!t.empty()) std::memcpy(text, t.data(), t.size());
    text[t.size()] = '\0';
    line->has_text = 1;
    line->len = static_cast<std::uint32_t>(t.size());
    std::size_t eq = t.find('=');
    if (eq != std::string_view::npos) {
        line->eq = static_cast<std::uint32_t>(eq);
        line->key_hash = ini_key_hash(t.substr(0, eq));
    }
    return line;
}

void IniLine::destroy(IniLine *line) noexcept
{
    if (!line) return;
    line->~IniLine();
    ::operator delete(line);
}

KxIniHandle *ini_open(const char *path, int mode)
{
    const char *ms = mode_string(mode);
    if (!ms || !path || !*path || path_too_long(path)) return nullptr;
    std::string native = (mode == kIniModeRead || mode == kIniModeReadWrite) ? platform::resolve_for_read(path)
                                                                             : platform::native_path(path);
    platform::File fp = platform::open_file(native, ms);
    if (!fp) return nullptr;
    std::rewind(fp.get());
    auto h = std::make_unique<KxIniHandle>();
    h->path = path;
    h->target = write_target(native);
    if (mode == kIniModeRead) h->flags |= kIniOpenedRead;
    std::vector<char> data;
    if (!read_stream(fp.get(), data)) return nullptr;
    load_lines(*h, data, mode == kIniModeRead);
    return h.release();
}

KxIniHandle *ini_from_text(std::string_view text, int mode)
{
    if (!mode_string(mode)) return nullptr;
    auto h = std::make_unique<KxIniHandle>();
    if (mode == kIniModeRead) h->flags |= kIniOpenedRead;
    std::vector<char> data(text.begin(), text.end());
    load_lines(*h, data, mode == kIniModeRead);
    return h.release();
}

} // namespace kx::config

std::size_t KxIniHandle::Hash::operator()(std::string_view s) const noexcept
{
    std::uint64_t x = 1469598103934665603ull;  // FNV-1a over the lower-cased bytes
    for (char c : s) x = (x ^ static_cast<unsigned char>(kx::platform::ascii_lower(c))) * 1099511628211ull;
    return static_cast<std::size_t>(x);
}

bool KxIniHandle::Equal::operator()(std::string_view a, std::string_view b) const noexcept
{
    return kx::platform::iequals(a, b);
}

KxIniHandle::KxIniHandle() = default;

KxIniHandle::~KxIniHandle()
{
    kx::config::IniLine *l = head.next;
    while (l) {
        kx::config::IniLine *next = l->next;
        kx::config::IniLine::destroy(l);
        l = next;
    }
}

namespace kx::config {

std::string ini_render(const KxIniHandle &h)
{
    std::size_t total = 0;
    for (const IniLine *l = h.head.next; l; l = l->next) total += l->len + 1;
    std::string out;
    out.reserve(total);
    for (const IniLine *l = h.head.next; l; l = l->next) {
        out += l->text();
        out += '\n';
    }
    return out;
}

namespace {

// Writes the lines to a new sibling of the target and renames it over the
// target, so that a failure part way leaves the old file untouched. The
// sibling's prefix is short and fixed: one built from the target's name
// would push a long name past the system's limit and the write would fail.
bool write_back(const KxIniHandle &h) noexcept
{
    try {
        struct stat st;
        int mode = ::stat(h.target.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
        auto write_lines = [&h](int fd) {
            bool ok = true;
            std::string buf;
            buf.reserve(1 << 16);
            for (const IniLine *l = h.head.next; l && ok; l = l->next) {
                buf += l->text();
                buf += '\n';
                if (buf.size() >= (1 << 16)) {
                    ok = platform::write_all(fd, buf.data(), buf.size());
                    buf.clear();
                }
            }
            if (ok && !buf.empty()) ok = platform::write_all(fd, buf.data(), buf.size());
            if (ok) ok = ::fsync(fd) == 0;
            return ok ? 0 : EIO;
        };
        return platform::replace_file(h.target, ".kxini.", mode, write_lines) == 0;
    } catch (...) {
        return false;
    }
}

} // namespace

int ini_close(KxIniHandle *h) noexcept
{
    if (!h) return 0;
    int result = 1;
    if (h->flags & kIniModified) result = write_back(*h) ? 1 : 0;
    delete h;
    return result;
}

IniLine *find_section(const KxIniHandle &h, std::string_view name)
{
    if (name.size() > kIniMaxSectionName) return nullptr;
    char key[kIniMaxSectionName + 3];
    key[0] = '[';
    std::memcpy(key + 1, name.data(), name.size());
    key[name.size() + 1] = ']';
    auto it = h.headers.find(std::string_view(key, name.size() + 2));
    if (it == h.headers.end() || it->second.empty()) return nullptr;
    const auto &v = it->second;
    if (v.size() == 1) return v[0];
    // Several headers spell the same section: the first in file order wins.
    // Insertions can place a header line before an earlier-indexed one, so
    // settle it by the list itself (rare: duplicate section headers).
    for (IniLine *l = h.head.next; l; l = l->next)
        for (IniLine *c : v)
            if (c == l) return l;
    return nullptr;
}

int ini_read2(KxIniHandle &h, const char *section, const char *key, const char *def, char *buffer,
              std::uint32_t size, std::uint32_t &length)
{
    length = 0;
    if (!section || !key || !buffer || size == 0) return 1;
    IniLine *hdr = find_section(h, section);
    const char *src = nullptr;
    if (hdr) {
        std::string_view k(key);
        std::uint32_t kh = ini_key_hash(k);
        for (IniLine *l = hdr->next; l && !l->is_header(); l = l->next) {
            if (l->is_entry() && l->key_hash == kh && platform::iequals(l->key(), k)) {
                src = l->value_cstr();
                break;
            }
        }
    }
    bool found = src != nullptr;
    if (!found) {
        if (!def) return hdr ? 41 : 45;
        src = def;
    }
    std::uint32_t n = 0;
    for (; src[n] != '\0'; ++n) {
        if (n == size) {
            length = size;
            return 42;  // the buffer holds exactly `size` characters, no terminator
        }
        buffer[n] = src[n];
    }
    if (n == size) {
        length = size;
        return 42;
    }
    buffer[n] = '\0';
    length = n;
    return found ? 0 : 48;
}

const char *ini_read(KxIniHandle &h, const char *section, const char *key)
{
    static const char kEmpty[] = "";
    IniLine *start;
    if (section) {
        IniLine *hdr = find_section(h, section);
        if (!hdr) return kEmpty;  // the cursor stays where it was
        start = hdr->next;
    } else {
        start = h.cursor;
        if (!start) return kEmpty;
    }
    for (IniLine *l = start; l && !l->is_header(); l = l->next) {
        if (key) {
            if (l->is_entry() && platform::iequals(l->key(), key)) {
                h.cursor = l->next;
                return l->value_cstr();
            }
        } else {
            h.cursor = l->next;
            return l->c_str();
        }
    }
    h.cursor = nullptr;
    return kEmpty;
}

namespace {

// A missing section goes at the end: a blank line (unless the file is empty
// or already ends with one), the header and the entry.
void append_section(KxIniHandle &h, std::string_view section, std::string_view key, std::string_view value)
{
    IniLinePtr blank;
    if (h.tail != &h.head && !h.tail->empty()) blank = make_line({});
    std::string header;
    header.reserve(section.size() + 2);
    header += '[';
    header += section;
    header += ']';
    auto hdr = make_line(header);
    auto entry = make_line(entry_text(key, value));
    if (hdr->is_header()) index_add(h, hdr.get());
    if (entry->is_header()) {
        try {
            index_add(h, entry.get());
        } catch (...) {
            index_remove(h, hdr.get());
            throw;
        }
    }
    if (blank) link_after(h, h.tail, std::move(blank));
    link_after(h, h.tail, std::move(hdr));
    link_after(h, h.tail, std::move(entry));
}

} // namespace

namespace {

// Sets key=value in the section, adding the section when it is missing. With
// replace, an entry of the key takes the new value; otherwise only an entry
// of the same key and value counts as present, and the new one is added at
// the section's end.
int write_entry(KxIniHandle &h, std::string_view section, std::string_view key, std::string_view value, bool replace)
{
    h.flags |= kIniModified;
    IniLine *hdr = find_section(h, section);
    if (!hdr) {
        append_section(h, section, key, value);
        return 1;
    }
    // The section ends at an empty line or a header.
    IniLine *last = hdr;
    for (IniLine *l = hdr->next; l && !l->empty() && !l->is_header(); l = l->next) {
        if (l->is_entry() && platform::iequals(l->key(), key)) {
            if (replace) {
                replace_text(h, l, entry_text(key, value));
                return 1;
            }
            if (platform::iequals(l->value(), value)) return 1;
        }
        last = l;
    }
    insert_after(h, last, entry_text(key, value));
    return 1;
}

} // namespace

int ini_write(KxIniHandle &h, std::string_view section, std::string_view key, std::string_view value)
{
    return write_entry(h, section, key, value, true);
}

int ini_write_all(KxIniHandle &h, std::string_view section, std::string_view key, std::string_view value)
{
    return write_entry(h, section, key, value, false);
}

namespace {

// The first two pieces of a line split at '=' with empty pieces skipped.
void split_pieces(std::string_view text, std::string_view &first, std::string_view &second, bool &has_first)
{
    std::string_view parts[2];
    int n = 0;
    std::size_t i = 0;
    while (n < 2 && i < text.size()) {
        while (i < text.size() && text[i] == '=') ++i;
        if (i == text.size()) break;
        std::size_t j = text.find('=', i);
        if (j == std::string_view::npos) j = text.size();
        parts[n++] = text.substr(i, j - i);
        i = j;
    }
    has_first = n >= 1;
    first = parts[0];
    second = parts[1];
}

} // namespace

int ini_delete(KxIniHandle &h, std::string_view section, const char *key, const char *value)
{
    h.flags |= kIniModified;
    IniLine *hdr = find_section(h, section);
    if (!hdr) return 1;
    if (!key) {
        // Only the header goes: its entries now belong to the section before it.
        unlink_line(h, hdr);
        return 1;
    }
    std::string_view k(key);
    // Here an empty line does not end the section; only a header does.
    for (IniLine *l = hdr->next; l && !l->is_header(); l = l->next) {
        std::string_view first, second;
        bool has_first;
        split_pieces(l->text(), first, second, has_first);
        if (!has_first || !platform::iequals(first, k)) continue;
        if (value && !platform::iequals(second, value)) continue;
        unlink_line(h, l);
        return 1;
    }
    return 1;
}

} // namespace kx::config
