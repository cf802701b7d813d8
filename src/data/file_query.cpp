// Directory queries: described configuration and PostScript setting files.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api/memory.h"
#include "kxapi.h"
#include "platform/file.h"
#include "platform/path.h"

namespace kx::data {

namespace {

constexpr std::size_t kPathField = sizeof(KxDatFileEntry::szPath);
constexpr std::size_t kDescrChars = sizeof(KxDatFileEntry::szDescr) - 1;

const char *pattern_of(int type)
{
    switch (type) {
    case KX_DAT_FILES_CFG: return "*.CFG";
    case KX_DAT_FILES_PSS: return "*.PSS";
    // "*.*" matches every name on the system this comes from, also names
    // without a dot; "*" says the same to our matcher.
    default: return "*";
    }
}

// The description of a file: the text after the first "#!" of its first
// line, at most kDescrChars characters. Reads no further than it needs.
std::string description_of(std::FILE *fp)
{
    std::string descr;
    int prev = EOF, c;
    bool marker = false;
    while ((c = std::getc(fp)) != EOF && c != '\n') {
        if (!marker) {
            marker = prev == '#' && c == '!';
            prev = c;
            continue;
        }
        // One character more than kept, to tell a line's closing carriage
        // return (a line end written by a Windows tool) from text.
        descr += static_cast<char>(c);
        if (descr.size() > kDescrChars) break;
    }
    if (c == '\n' && !descr.empty() && descr.back() == '\r') descr.pop_back();
    if (descr.size() > kDescrChars) descr.resize(kDescrChars);
    descr.resize(std::strlen(descr.c_str()));  // the text ends at a zero byte
    return descr;
}

} // namespace

KxDatFileEntry *query_files(const char *dir, int type, std::int16_t *count)
{
    if (!dir) return nullptr;
    if (count) *count = 0;
    std::string base = *dir ? dir : ".";
    KxDatFileEntry *first = nullptr, *last = nullptr;
    try {
        std::vector<platform::DirEntry> entries;
        if (!platform::list_directory(base, pattern_of(type), entries)) return nullptr;
        for (const auto &e : entries) {
            if (e.name.empty() || e.name[0] == '.') continue;
            std::string path = platform::join_path(base, e.name);
            // A path that does not fit the field is left out: cutting it
            // would name another file.
            if (path.size() >= kPathField) continue;
            platform::File fp = platform::open_file(path, "r");
            if (!fp) continue;
            std::string descr = description_of(fp.get());
            if (descr.empty()) continue;
            auto *entry = static_cast<KxDatFileEntry *>(caller_calloc(sizeof(KxDatFileEntry)));
            if (!entry) break;
            std::memcpy(entry->szPath, path.c_str(), path.size() + 1);
            std::memcpy(entry->szDescr, descr.c_str(), descr.size() + 1);
            // The record is packed: pNext is set through the entry, never
            // through a (misaligned) pointer to the field.
            (last ? last->pNext : first) = entry;
            last = entry;
            if (count && *count < INT16_MAX) ++*count;
        }
    } catch (...) {
        // Out of memory: the list built so far is returned.
    }
    return first;
}

void query_files_free(KxDatFileEntry *list)
{
    while (list) {
        KxDatFileEntry *next = list->pNext;
        caller_free(list);
        list = next;
    }
}

} // namespace kx::data

extern "C" {

KXAPI_EXPORT KxDatFileEntry *KxDatQueryFiles(const char *pszDir, int nType, int16_t *pnCount)
{
    return kx::data::query_files(pszDir, nType, pnCount);
}

KXAPI_EXPORT void KxDatQueryFilesFree(KxDatFileEntry *pList) { kx::data::query_files_free(pList); }

} // extern "C"
