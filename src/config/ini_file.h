// The in-memory INI engine: a whole file held as a list of lines in file
// order, with section headers ("[name]") and entries ("key=value"). The
// list order decides every result, so the list is kept as it is; an index of
// the header lines lets a look-up jump to its section instead of walking the
// file from the start on every call.
//
// Operations that allocate give the strong guarantee: when an allocation
// fails (std::bad_alloc) the list is as it was. The export shims catch it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kx::config {

// One line of the file, without its line terminator. A line and its text
// are one heap block (the text follows the node), which halves the memory
// and the allocations of a large file; create() and destroy() manage it.
// Only the dummy head of a list is a plain object, with no text.
struct IniLine {
    static constexpr std::uint32_t npos = 0xFFFFFFFFu;

    IniLine *prev = nullptr;
    IniLine *next = nullptr;
    std::uint32_t len = 0;        // text length
    std::uint32_t eq = npos;      // position of the first '=' (npos: not an entry)
    std::uint32_t key_hash = 0;   // ini_key_hash of the key part, for entries
    std::uint32_t has_text = 0;   // 1 when the text follows the node

    // A new line holding t (throws std::bad_alloc).
    static IniLine *create(std::string_view t);
    static void destroy(IniLine *line) noexcept;
    struct Deleter {
        void operator()(IniLine *l) const noexcept { destroy(l); }
    };

    const char *c_str() const { return has_text ? reinterpret_cast<const char *>(this + 1) : ""; }
    std::string_view text() const { return {c_str(), len}; }
    bool empty() const { return len == 0; }
    // A section header is any line starting with '['; it ends the section before it.
    bool is_header() const { return len != 0 && c_str()[0] == '['; }
    // An entry is any line holding '=': key before the first '=', value after it.
    bool is_entry() const { return eq != npos; }
    std::string_view key() const { return text().substr(0, eq); }
    std::string_view value() const { return text().substr(eq + 1); }
    const char *value_cstr() const { return c_str() + eq + 1; }
};
using IniLinePtr = std::unique_ptr<IniLine, IniLine::Deleter>;

// Open modes (indexes of the shared open-mode table).
constexpr int kIniModeRead = 1;        // "r": comments and empty lines dropped
constexpr int kIniModeReadWrite = 7;   // "r+"
constexpr int kIniModeTruncate = 8;    // "w+": emptied at open
constexpr int kIniModeAppend = 9;      // "a+"

constexpr std::uint32_t kIniModified = 0x01;
constexpr std::uint32_t kIniOpenedRead = 0x02;

// Lines are read in pieces of at most this many characters (a 1020-byte read buffer).
constexpr std::size_t kIniReadPiece = 1019;
// Section names are matched in a 1022-byte work buffer: "[" + name + "]" + NUL.
constexpr std::size_t kIniMaxSectionName = 1019;

// A hash that agrees with platform::iequals: keys compared in a section walk are
// first compared by it, so that most lines cost one integer comparison.
std::uint32_t ini_key_hash(std::string_view s) noexcept;

} // namespace kx::config

// The handle behind the C type KxIniHandle.
struct KxIniHandle {
    KxIniHandle();
    ~KxIniHandle();
    KxIniHandle(const KxIniHandle &) = delete;
    KxIniHandle &operator=(const KxIniHandle &) = delete;

    // Header texts hash and compare ignoring letter case, so that a look-up
    // needs no lower-cased copy of the name.
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept;
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    using HeaderIndex = std::unordered_map<std::string, std::vector<kx::config::IniLine *>, Hash, Equal>;

    std::string path;          // the path as the caller gave it
    std::string target;        // the file the lines came from and go back to
    std::uint32_t flags = 0;   // kIniModified, kIniOpenedRead
    std::uint64_t longest = 0; // length plus one of the longest line text inserted
    kx::config::IniLine *cursor = nullptr;  // next line of KxIniRead's continued search
    kx::config::IniLine head;               // dummy line before the first real one
    kx::config::IniLine *tail = &head;
    std::size_t count = 0;                  // real lines
    // Header lines by their text (case ignored); a name spelled by several
    // headers has several lines (see find_section for how ties are settled).
    HeaderIndex headers;
};

namespace kx::config {

// Loads a file; null when the mode is not 1, 7, 8 or 9, the path is null,
// empty or longer than 260 characters, or the file cannot be opened.
// Throws std::bad_alloc when memory runs out.
KxIniHandle *ini_open(const char *path, int mode);

// Loads lines from text as ini_open loads a file's contents; the handle has
// no file to write back to (release it with delete, not ini_close).
KxIniHandle *ini_from_text(std::string_view text, int mode);

// Writes the lines back when the handle was modified (through a temporary
// sibling renamed over the file) and releases the handle. 1 when nothing had
// to be written or the write succeeded; 0 when it failed (the file is then
// as it was before). Never throws.
int ini_close(KxIniHandle *h) noexcept;

// The header line of a section, or null.
IniLine *find_section(const KxIniHandle &h, std::string_view name);

// The exported operations over a valid handle; see kxapi.h for their results.
int ini_read2(KxIniHandle &h, const char *section, const char *key, const char *def, char *buffer,
              std::uint32_t size, std::uint32_t &length);
const char *ini_read(KxIniHandle &h, const char *section, const char *key);
int ini_write(KxIniHandle &h, std::string_view section, std::string_view key, std::string_view value);
int ini_write_all(KxIniHandle &h, std::string_view section, std::string_view key, std::string_view value);
int ini_delete(KxIniHandle &h, std::string_view section, const char *key, const char *value);

// Renders the lines as they would be written back, each followed by '\n'.
std::string ini_render(const KxIniHandle &h);

} // namespace kx::config
